#include "shell/thumb_style.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace {

class ThumbStyle final : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !slider || slider->maximum <= slider->minimum) return;
        const QRect thumb = subControlRect(control, option, SC_ScrollBarSlider, widget);
        if (thumb.isEmpty()) return;
        const QPalette& palette = option->palette;
        painter->save();
        painter->setPen(palette.color(QPalette::Dark));
        painter->setBrush(palette.color(slider->state & State_Enabled ? QPalette::Active
                                                                      : QPalette::Disabled,
                                        QPalette::Mid));
        painter->drawRect(thumb.adjusted(1, 1, -2, -2));
        painter->restore();
    }
};

}  // namespace

void use_dark_thumbs(QAbstractScrollArea* area) {
    auto* style = new ThumbStyle;
    style->setParent(area);
    for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
        bar->setStyle(style);
}
