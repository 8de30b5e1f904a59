#include "device/lamp.h"

#include <QPainter>

Lamp::Lamp(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {
    setAccessibleDescription(QStringLiteral("off"));
}

void Lamp::set_lit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    setAccessibleDescription(lit ? QStringLiteral("on") : QStringLiteral("off"));
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(lit_ ? QBrush(colour_) : QBrush(Qt::NoBrush));
    painter.drawEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}
