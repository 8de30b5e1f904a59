#include "device/fit_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "platform/mnemonic.h"

namespace {
constexpr int kNarrowest = 60;  // percent; below this a caption is no longer worth reading
}

void FitLabel::paintEvent(QPaintEvent* event) {
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString caption = text();
    // Only a label with a buddy turns "&" into a shortcut mark, as QLabel does.
    const bool marked = buddy() && caption.contains(u'&');
    const QString shown = marked ? without_mnemonic(caption) : caption;
    const int needed = fontMetrics().horizontalAdvance(shown);
    if (needed <= area.width() || area.width() <= 0 || caption.contains(u'\n')) {
        QLabel::paintEvent(event);
        return;
    }
    QFont narrow = font();
    int stretch = std::max(kNarrowest, area.width() * 100 / needed);
    narrow.setStretch(stretch);
    // Glyph widths do not scale exactly; step down until the caption fits.
    while (stretch > kNarrowest && QFontMetrics(narrow).horizontalAdvance(shown) > area.width()) {
        stretch -= 2;
        narrow.setStretch(stretch);
    }
    int flags = QStyle::visualAlignment(layoutDirection(), alignment());
    if (marked) {
        QStyleOption option;
        option.initFrom(this);
        flags |= Qt::TextShowMnemonic;
        if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
            flags |= Qt::TextHideMnemonic;
    }
    QFrame::paintEvent(event);  // the frame only; the background is filled already
    QPainter painter(this);
    painter.setFont(narrow);
    painter.setClipRect(area);
    style()->drawItemText(&painter, area, flags, palette(), isEnabled(), caption, foregroundRole());
}
