#include "protocol/picture_box.h"

#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void PictureBox::clear() {
    const qreal ratio = devicePixelRatioF();
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    image_ = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(ratio);
    // Fonts in points come out as large as on the box's screen.
    image_.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image_.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image_.fill(Qt::white);
    update();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    // The drawing belongs to the old size; whoever drew it draws again.
    if (image_.isNull() || image_.deviceIndependentSize().toSize() != contentsRect().size())
        clear();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.setClipRect(inside & event->rect());
    painter.drawImage(inside.topLeft(), image_);
}
