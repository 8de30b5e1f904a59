// The seven valve timings: one byte each, 0.04 s a step, shown as seconds.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLocale>
#include <QPushButton>
#include <QStringListModel>

#include "device/timing_settings.h"
#include "link/device_data.h"
#include "link/frame.h"
#include "link/poll_cycle.h"
#include "link/requests.h"

namespace {
constexpr int kEntries = 256;
constexpr double kStepSeconds = 0.04;
constexpr int kWriteSettleMs = 200;
constexpr int kVisibleEntries = 20;
}  // namespace

TimingSettings::TimingSettings(const std::array<QComboBox*, 7>& lists, QPushButton* reset,
                               Geraetedaten& geraet, FrameLink& frames, PollCycle& poll,
                               QObject* parent)
    : QObject(parent), lists_(lists), geraet_(geraet), frames_(frames), poll_(poll) {
    for (int n = 0; n < 7; ++n) {
        QComboBox* list = lists_[size_t(n)];
        // Focus by click or keyboard only: a wheel passing over a list must not
        // write a timing to the device.
        list->setFocusPolicy(Qt::StrongFocus);
        // About 20 entries of the 256 at a time, with a scroll bar (the lists
        // are ScrollingLists).
        list->setMaxVisibleItems(kVisibleEntries);
        list->installEventFilter(this);
        connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this, n] { cb_t_changed(n); });
    }
    connect(reset, &QPushButton::clicked, this, [this, reset] {
        cmd_t_reset_click();
        // The focus leaves the button that wrote, for the page around it (its
        // group would hand it straight back): the next Enter must not write
        // the standard values again.
        QWidget* page = reset->parentWidget()->parentWidget();
        if (reset->hasFocus() && page) page->setFocus(Qt::OtherFocusReason);
    });
}

void TimingSettings::fill_timing_lists() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QStringList entries;
    entries.reserve(kEntries);
    for (int v = 0; v < kEntries; ++v) entries.append(locale.toString(v * kStepSeconds, 'f', 2));
    // One model serves the seven lists; each keeps its own position in it.
    QStringListModel* previous = entries_;
    entries_ = new QStringListModel(entries, this);
    selecting_ = true;
    for (QComboBox* list : lists_) list->setModel(entries_);
    selecting_ = false;
    delete previous;
}

void TimingSettings::select_timing(int n, int value) {
    QComboBox* list = lists_[size_t(n)];
    if (list->currentIndex() == value) return;
    selecting_ = true;
    list->setCurrentIndex(value);
    selecting_ = false;
}

void TimingSettings::cb_t_changed(int n) {
    // Positions set by the program are never sent; nor is anything while the
    // list is not being edited or nobody is there to hear it.
    if (selecting_ || !unlocked_[size_t(n)] || !geraet_.verbunden) return;
    const int value = lists_[size_t(n)]->currentIndex();
    if (value < 0) return;
    frames_.enqueue(req_set_zeit(n, value));
    wait_keeping_focus(n, kWriteSettleMs);
    if (geraet_.verbunden) frames_.enqueue(req_zeit(n));
}

// The wait disables the window, which takes the focus from the list; the list
// stays the one being edited and gets its focus back, so arrow keys go on
// stepping through it.
void TimingSettings::wait_keeping_focus(int n, int ms) {
    QComboBox* list = lists_[size_t(n)];
    const bool had_focus = list->hasFocus();
    const int outer = waiting_list_;
    waiting_list_ = n;
    poll_.wait_busy(ms);
    waiting_list_ = outer;
    if (had_focus && unlocked_[size_t(n)] && !list->hasFocus() &&
        QApplication::focusWidget() == nullptr)
        list->setFocus(Qt::OtherFocusReason);
}

void TimingSettings::show(const std::array<quint8, 7>& zeiten) {
    for (int n = 0; n < 7; ++n) {
        if (!unlocked_[size_t(n)]) select_timing(n, zeiten[size_t(n)]);
    }
}

void TimingSettings::show_disconnected() {
    for (int n = 0; n < 7; ++n) {
        unlocked_[size_t(n)] = false;
        // Nothing read, nothing shown: no "0,00" the device never said.
        select_timing(n, -1);
    }
}

void TimingSettings::cmd_t_reset_click() {
    // Deliberately not gated on the connection: the standard values are queued
    // either way. Without a device the lists keep showing the empty display,
    // though, rather than values that were never written.
    for (int n = 0; n < 7; ++n) {
        const int value = kStandardZeiten[size_t(n)];
        if (geraet_.verbunden) select_timing(n, value);
        frames_.enqueue(req_set_zeit(n, value));
    }
    poll_.wait_busy(kWriteSettleMs);
    for (int n = 0; n < 7; ++n) frames_.enqueue(req_zeit(n));
}

bool TimingSettings::eventFilter(QObject* watched, QEvent* event) {
    for (int n = 0; n < 7; ++n) {
        if (watched == lists_[size_t(n)]) return timing_event(n, event);
    }
    return false;
}

// Locked lists show the device's value and take no input; a list unlocks while
// the technician works in it.
bool TimingSettings::timing_event(int n, QEvent* event) {
    QComboBox* list = lists_[size_t(n)];
    bool& unlocked = unlocked_[size_t(n)];
    switch (event->type()) {
        case QEvent::FocusIn:
            unlocked = true;
            return false;
        case QEvent::FocusOut: {
            // Opening the drop-down, or our own wait, does not end the edit.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            const bool popup = reason == Qt::PopupFocusReason || list->view()->isVisible();
            if (!popup && waiting_list_ != n) unlocked = false;
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
            // Working in a list that still holds the focus after a lost
            // connection locked it starts a new edit.
            if (list->hasFocus()) unlocked = true;
            return false;
        case QEvent::Wheel:
            // Never a new timing by the wheel, edited or not.
            event->ignore();
            return true;
        default:
            return false;
    }
}
