#include "device/device_tab.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {
constexpr int kVisibleEntries = 20;
}

DeviceTab::DeviceTab(QWidget* page, Geraetedaten& geraet, FrameLink& frames, PollCycle& poll,
                     Dialogs& dialogs, const LanguageTable& texts, QObject* parent)
    : QObject(parent),
      page_(page),
      geraet_(geraet),
      frames_(frames),
      poll_(poll),
      dialogs_(dialogs),
      texts_(texts),
      c_(build_device_controls(page)) {
    wire();
    connect(&poll_, &PollCycle::phase_changed, this, &DeviceTab::show_link_phase);
    show_link_phase(poll_.phase());
}

void DeviceTab::wire() {
    for (int n = 0; n < 7; ++n) {
        QComboBox* list = c_.cb_t[size_t(n)];
        // Focus by click or keyboard only: a wheel passing over a list must not
        // write a timing to the device.
        list->setFocusPolicy(Qt::StrongFocus);
        // About 20 entries of the 256 at a time, with a scroll bar, whatever
        // the style would do with a list of this length.
        list->setMaxVisibleItems(kVisibleEntries);
        list->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        list->installEventFilter(this);
        connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this, n] { cb_t_changed(n); });
    }
    connect(c_.cmd_t_reset, &QPushButton::clicked, this, &DeviceTab::cmd_t_reset_click);
    connect(c_.cmd_setbstd, &QPushButton::clicked, this, &DeviceTab::cmd_setbstd_click);
    connect(c_.cmd_resetbstd, &QPushButton::clicked, this, &DeviceTab::cmd_resetbstd_click);
    connect(c_.cmd_setsn, &QPushButton::clicked, this, &DeviceTab::cmd_setsn_click);
    connect(c_.t_sn, &QLineEdit::textEdited, this, &DeviceTab::t_sn_edited);
    c_.t_sn->installEventFilter(this);
    // A click on an empty part of the tab takes the focus, which ends the edit
    // of a timing list or the serial number.
    page_->setFocusPolicy(Qt::ClickFocus);
}

bool DeviceTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.t_sn) {
        if (event->type() == QEvent::FocusOut) t_sn_focus_lost();
        return false;
    }
    for (int n = 0; n < 7; ++n) {
        if (watched == c_.cb_t[size_t(n)]) return timing_event(n, event);
    }
    return false;
}
