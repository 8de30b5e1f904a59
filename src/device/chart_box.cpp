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
    if (!image_.isNull() && !qFuzzyCompare(dpr, devicePixelRatioF()))
        QMetaObject::invokeMethod(this, &ChartBox::pixel_ratio_changed, Qt::QueuedConnection);
}

void ChartBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit double_clicked();
}
