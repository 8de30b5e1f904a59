#include "device/scrolling_list.h"

void ScrollingList::showPopup() {
    if (!popup_styled_) {
        popup_styled_ = true;
        setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    }
    QComboBox::showPopup();
}
