#include "device/chart_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/geometry.h"

ChartBox::ChartBox(QWidget* parent) : QWidget(parent) {
    // The image covers the whole box: Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartBox::clear_image(const QColor& fill) {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (image_.size() != pixels) image_ = QImage(pixels, QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    // Text in points follows the screen's resolution, as on the box itself.
    image_.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image_.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image_.fill(fill);
    update();
}

namespace {
constexpr int kLegendPad = 3;      // pixels around the lines
constexpr int kLegendStroke = 14;  // length of a curve's stroke
}  // namespace

void ChartBox::set_legend(const QList<LegendLine>& lines, QPoint corner) {
    update(legend_rect());
    legend_ = lines;
    legend_corner_ = corner;
    update(legend_rect());
}

QRect ChartBox::legend_rect() const {
    if (legend_.isEmpty()) return QRect();
    const QFontMetrics metrics(font());
    int text_width = 0;
    for (const LegendLine& line : legend_)
        text_width = qMax(text_width, metrics.horizontalAdvance(line.text));
    const int width = 3 * kLegendPad + kLegendStroke + text_width;
    const int height = 2 * kLegendPad + int(legend_.size()) * metrics.height();
    return QRect(legend_corner_.x() - width, legend_corner_.y(), width, height);
}

void ChartBox::paint_legend(QPainter& painter) const {
    const QRect box = legend_rect();
    if (box.isEmpty()) return;
    painter.setFont(font());
    painter.fillRect(box, Qt::white);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    int y = box.top() + kLegendPad;
    for (const LegendLine& line : legend_) {
        const int middle = y + metrics.height() / 2;
        painter.fillRect(box.left() + kLegendPad, middle - 1, kLegendStroke, 2, line.colour);
        painter.setPen(Qt::black);
        painter.drawText(box.left() + 2 * kLegendPad + kLegendStroke, y + metrics.ascent(),
                         line.text);
        y += metrics.height();
    }
}

int ChartBox::width_twips() const {
    return to_twips(width());
}

int ChartBox::height_twips() const {
    return to_twips(height());
}

void ChartBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const qreal dpr = image_.devicePixelRatio();
    const QRect drawn = QRect(QPoint(0, 0), image_.deviceIndependentSize().toSize());
    for (const QRect& rect : event->region()) {
        const QRect from_image = rect & drawn;
        if (!from_image.isEmpty())
            painter.drawImage(
                from_image, image_,
                QRectF(QPointF(from_image.topLeft()) * dpr, QSizeF(from_image.size()) * dpr));
        // A box grown since its last set-up shows its background there until
        // the set-up that follows every resize.
        for (const QRect& rest : QRegion(rect).subtracted(drawn))
            painter.fillRect(rest, palette().color(QPalette::Window));
    }
    paint_legend(painter);
    if (!image_.isNull() && !qFuzzyCompare(dpr, devicePixelRatioF()))
        QMetaObject::invokeMethod(this, &ChartBox::pixel_ratio_changed, Qt::QueuedConnection);
}

void ChartBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit double_clicked();
}
