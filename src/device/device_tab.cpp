#include "device/device_tab.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

#include "device/colours.h"
#include "device/live_display.h"
#include "link/device_data.h"
#include "platform/language_table.h"

DeviceTab::DeviceTab(QWidget* page, Geraetedaten& geraet, FrameLink& frames, PollCycle& poll,
                     Dialogs& dialogs, const LanguageTable& texts, QObject* parent)
    : QObject(parent),
      page_(page),
      poll_(poll),
      geraet_(geraet),
      texts_(texts),
      c_(build_device_controls(page)),
      timing_(c_.cb_t, c_.cmd_t_reset, geraet, frames, poll, this),
      hours_serial_({c_.cmd_setbstd, c_.cmd_resetbstd, c_.t_sn, c_.cmd_setsn, c_.t_bstd}, geraet,
                    frames, poll, dialogs, texts, this) {
    // A click on an empty part of the tab takes the focus, which ends the edit
    // of a timing list or the serial number.
    page_->setFocusPolicy(Qt::ClickFocus);
    connect(&poll, &PollCycle::phase_changed, this, &DeviceTab::show_link_phase);
    show_link_phase(poll.phase());
}

void DeviceTab::show_link_phase(LinkPhase phase) {
    struct Look {
        int text_id;
        QColor text;
        QColor background;  // invalid: the page's own
    };
    const Look look =
        phase == LinkPhase::Connected ? Look{6300, QColor(0, 120, 0), QColor()}
        : phase == LinkPhase::Starting
            ? Look{6302, QColor(150, 80, 0), QColor()}
            : Look{phase == LinkPhase::Searching ? 6301 : 6303, Qt::white, colour_from_int(kRed)};
    QLabel* label = c_.lbl_verbindung;
    // A converter held by another program is named, with the system's reason.
    const QString text =
        phase == LinkPhase::InUse ? poll_.in_use_detail() : texts_.lang_text(look.text_id);
    QPalette palette = page_->palette();
    palette.setColor(QPalette::WindowText, look.text);
    if (look.background.isValid()) palette.setColor(QPalette::Window, look.background);
    label->setPalette(palette);
    label->setAutoFillBackground(look.background.isValid());
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setText(text);
    label->setAccessibleName(label->text());
}

void DeviceTab::update_display() {
    if (geraet_.verbunden) {
        show_connected(c_, geraet_);
        timing_.show(geraet_.zeiten);
    } else {
        timing_.show_disconnected();
        show_disconnected(c_, page_->window(), protocol_frame_);
    }
}
