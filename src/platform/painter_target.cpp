#include "platform/painter_target.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

PainterTarget::PainterTarget(QPainter& painter, double dots_per_unit)
    : painter_(painter), dots_per_unit_(dots_per_unit > 0 ? dots_per_unit : 1) {
    // Text is written with a transparent background, so rules and boxes drawn
    // before stay visible under it.
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QFont qfont_of(const PrintFont& font) {
    QFont f(font.name);
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    // Keep the glyph advances the printer's, not the screen's: the columns
    // must line up on paper.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void PainterTarget::apply_font() {
    if (has_font_ && applied_.name == font.name && applied_.size == font.size &&
        applied_.bold == font.bold && applied_.underline == font.underline)
        return;
    painter_.setFont(qfont_of(font));
    applied_ = font;
    has_font_ = true;
}

double PainterTarget::text_width(const QString& text) {
    apply_font();
    return QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(text) /
           dots_per_unit_;
}

double PainterTarget::text_height(const QString&) {
    apply_font();
    return QFontMetricsF(painter_.font(), painter_.device()).height() / dots_per_unit_;
}

bool PainterTarget::draw_text(const QString& text) {
    if (!painter_.isActive()) return false;
    apply_font();
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    const QPointF baseline(current_x * dots_per_unit_,
                           current_y * dots_per_unit_ + metrics.ascent());
    painter_.setPen(QPen(Qt::black));
    painter_.drawText(baseline, text);
    if (transcript) transcript->append(text);
    current_x += metrics.horizontalAdvance(text) / dots_per_unit_;
    return true;
}

void PainterTarget::draw_line(double x1, double y1, double x2, double y2, int width_px) {
    QPen pen(Qt::black);
    pen.setWidthF(width_px * line_width_scale);
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
    painter_.drawLine(QPointF(x1 * dots_per_unit_, y1 * dots_per_unit_),
                      QPointF(x2 * dots_per_unit_, y2 * dots_per_unit_));
}

MeasuringTarget::MeasuringTarget(const QPaintDevice& device, double dots_per_unit)
    : device_(device), dots_per_unit_(dots_per_unit > 0 ? dots_per_unit : 1) {}

double MeasuringTarget::text_width(const QString& text) {
    // QFontMetricsF wants a non-const device but only reads its metrics.
    return QFontMetricsF(qfont_of(font), const_cast<QPaintDevice*>(&device_))
               .horizontalAdvance(text) /
           dots_per_unit_;
}

double MeasuringTarget::text_height(const QString&) {
    return QFontMetricsF(qfont_of(font), const_cast<QPaintDevice*>(&device_)).height() /
           dots_per_unit_;
}

bool MeasuringTarget::draw_text(const QString& text) {
    current_x += text_width(text);
    return true;
}
