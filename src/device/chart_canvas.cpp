#include "device/chart_canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTransform>
#include <cmath>

#include "device/colours.h"

namespace {

constexpr double kTwipsPerPixel = 15.0;

}  // namespace

QFont chart_font() {
    QFont font;
    // The design font first, then the narrowest sans-serifs a system is likely
    // to have: the amplitude caption is as long as its panel is high.
    font.setFamilies({QStringLiteral("MSSansSerif"), QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

ChartCanvas::ChartCanvas(QImage& image) : painter_(&image), dpr_(image.devicePixelRatio()) {
    painter_.setFont(chart_font());
}

double ChartCanvas::px(double twips) const {
    return std::round(twips * dpr_ / kTwipsPerPixel) / dpr_;
}

void ChartCanvas::add_damage(const QRectF& rect) {
    damage_ += rect.toAlignedRect();
}

void ChartCanvas::fill_box(int x1, int y1, int x2, int y2, int colour) {
    // The far corner's pixel is a whole pixel of 15 twips at any pixel ratio,
    // so the strips of consecutive segments meet without a seam.
    const QRectF box(QPointF(px(qMin(x1, x2)), px(qMin(y1, y2))),
                     QPointF(px(qMax(x1, x2) + kTwipsPerPixel), px(qMax(y1, y2) + kTwipsPerPixel)));
    painter_.fillRect(box, colour_from_int(colour));
    add_damage(box);
}

void ChartCanvas::line(double x1, double y1, double x2, double y2, int colour) {
    painter_.setPen(QPen(colour_from_int(colour), 1));
    const QPointF a(px(x1), px(y1));
    const QPointF b(px(x2), px(y2));
    painter_.drawLine(a, b);
    add_damage(QRectF(a, b).normalized().adjusted(-1, -1, 2, 2));
}

void ChartCanvas::print(double x, double y, const QString& text) {
    print_rotated(x, y, text, 0);
}

void ChartCanvas::print_rotated(double x, double y, const QString& text, double angle) {
    if (text.isEmpty()) return;
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    QTransform at;
    at.translate(px(x), px(y));
    at.rotate(-angle);
    painter_.save();
    painter_.setTransform(at);
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(0, metrics.ascent()), text);
    painter_.restore();
    const QRectF cell(0, 0, metrics.horizontalAdvance(text), metrics.height());
    add_damage(at.mapRect(cell).adjusted(-1, -1, 1, 1));
}

double ChartCanvas::text_width(const QString& text) const {
    return QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(text) *
           kTwipsPerPixel;
}

double ChartCanvas::text_height() const {
    return QFontMetricsF(painter_.font(), painter_.device()).height() * kTwipsPerPixel;
}
