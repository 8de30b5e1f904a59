#include "shell/tab_layout.h"

#include <QtGlobal>

QRect chart_geometry(const QSize& page, const QRect& chart) {
    const int margin = chart.left();
    return QRect(chart.topLeft(), QSize(qMax(page.width() - 2 * margin, 0),
                                        qMax(page.height() - chart.top() - margin, 0)));
}

SysstatGeometry sysstat_geometry(const QSize& page, const SysstatGeometry& current) {
    const int m = current.text.top();
    // On a page too short for the buttons they stay just below the text box's top.
    const int button_top = qMax(page.height() - m - current.read.height(), m);
    SysstatGeometry next = current;
    next.read.moveTop(button_top);
    next.save.moveTop(button_top);
    next.text.setSize(QSize(qMax(page.width() - 2 * current.text.left(), 0),
                            qMax(button_top - m - current.text.top(), 0)));
    return next;
}
