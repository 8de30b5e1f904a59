#pragma once

#include <QFont>
#include <QStringList>

#include "platform/print_target.h"

class QPaintDevice;
class QPainter;

// The QFont a print font stands for, with the printer's own glyph advances.
QFont qfont_of(const PrintFont& font);

// A print target on a QPainter: the printer page or a picture box's image.
// `dots_per_unit` converts the target's units into the painter's device
// pixels (printer resolution / 25.4 for millimetres, 1 for a widget image).
class PainterTarget final : public PrintTarget {
public:
    PainterTarget(QPainter& painter, double dots_per_unit);

    double text_width(const QString& text) override;
    double text_height(const QString& text) override;
    bool draw_text(const QString& text) override;
    void draw_line(double x1, double y1, double x2, double y2, int width_px) override;

    // When set, every text drawn is also appended here (for screen readers).
    QStringList* transcript = nullptr;
    // Line widths are given in a printer's device pixels; a page drawn at
    // screen resolution scales them so a ruled line stays a thin line.
    double line_width_scale = 1.0;

private:
    // Brings the painter's font in line with `font` after a change.
    void apply_font();

    QPainter& painter_;
    double dots_per_unit_;
    PrintFont applied_;
    bool has_font_ = false;
};

// Measures as a painter on `device` would, and draws nothing: the page's
// layout can be worked out before anything is printed.
class MeasuringTarget final : public PrintTarget {
public:
    MeasuringTarget(const QPaintDevice& device, double dots_per_unit);

    double text_width(const QString& text) override;
    double text_height(const QString& text) override;
    bool draw_text(const QString& text) override;
    void draw_line(double, double, double, double, int) override {}

private:
    const QPaintDevice& device_;
    double dots_per_unit_;
};
