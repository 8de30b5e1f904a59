#pragma once

#include <QString>

// The font a print target writes with. It belongs to the target and stays in
// force across calls until a markup tag or the caller changes it.
struct PrintFont {
    QString name = QStringLiteral("Arial");
    double size = 11;  // points
    bool bold = false;
    bool underline = false;
};

// Something the print engine draws on: the printer page (millimetres) or the
// device data box on the protocol form (pixels). Positions and sizes are in the
// target's own units; the current position is the top left of the next text.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;

    double current_x = 0;
    double current_y = 0;
    PrintFont font;

    // Width and height of a text in the current font; the height of any text
    // is the font's line height.
    virtual double text_width(const QString& text) = 0;
    virtual double text_height(const QString& text) = 0;
    // Writes `text` with its top left at the current position and moves the
    // current x to its end. False when the target refuses the output.
    virtual bool draw_text(const QString& text) = 0;
    // A straight line in the target's units, `width_px` device pixels wide.
    virtual void draw_line(double x1, double y1, double x2, double y2, int width_px) = 0;
    // False for a font size the target cannot write with.
    virtual bool accepts_size(double size) const { return size > 0 && size <= 2048; }
};
