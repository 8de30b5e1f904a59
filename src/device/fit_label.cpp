#include "device/fit_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {
constexpr int kNarrowest = 60;  // percent; below this a caption is no longer worth reading
}

void FitLabel::paintEvent(QPaintEvent* event) {
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString caption = text();
    const int needed = fontMetrics().horizontalAdvance(caption);
    if (needed <= area.width() || area.width() <= 0 || caption.contains(u'&') ||
        caption.contains(u'\n')) {
        QLabel::paintEvent(event);
        return;
    }
    QFont narrow = font();
    int stretch = std::max(kNarrowest, area.width() * 100 / needed);
    narrow.setStretch(stretch);
    // Glyph widths do not scale exactly; step down until the caption fits.
    while (stretch > kNarrowest && QFontMetrics(narrow).horizontalAdvance(caption) > area.width()) {
        stretch -= 2;
        narrow.setStretch(stretch);
    }
    QFrame::paintEvent(event);  // the frame only; the background is filled already
    QPainter painter(this);
    painter.setFont(narrow);
    painter.setClipRect(area);
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), caption, foregroundRole());
}
