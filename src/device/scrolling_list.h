#pragma once

#include <QComboBox>

// A selection list whose drop-down is a scrolling list under the box, showing
// about maxVisibleItems() entries, whatever the style would do with a long
// list. The drop-down takes that form when it first opens: making it earlier
// builds every list's drop-down at start-up, which the first window does not
// need.
class ScrollingList final : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override;

private:
    bool popup_styled_ = false;
};
