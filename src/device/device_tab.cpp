#include "device/device_tab.h"

#include <QWidget>

#include "device/live_display.h"
#include "link/device_data.h"

DeviceTab::DeviceTab(QWidget* page, Geraetedaten& geraet, FrameLink& frames, PollCycle& poll,
                     Dialogs& dialogs, const LanguageTable& texts, QObject* parent)
    : QObject(parent),
      page_(page),
      geraet_(geraet),
      c_(build_device_controls(page)),
      timing_(c_.cb_t, c_.cmd_t_reset, geraet, frames, poll, this),
      hours_serial_({c_.cmd_setbstd, c_.cmd_resetbstd, c_.t_sn, c_.cmd_setsn}, geraet, frames, poll,
                    dialogs, texts, this) {
    // A click on an empty part of the tab takes the focus, which ends the edit
    // of a timing list or the serial number.
    page_->setFocusPolicy(Qt::ClickFocus);
}

void DeviceTab::update_display() {
    if (geraet_.verbunden) {
        show_connected(c_, geraet_);
        timing_.show(geraet_.zeiten);
    } else {
        timing_.show_disconnected();
        show_disconnected(c_, page_->window(), protocol_frame_, sysstat_out_);
    }
}
