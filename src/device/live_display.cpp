// The projection of the device data onto the "Gerät" tab.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include "device/colours.h"
#include "device/device_tab.h"
#include "device/lamp.h"
#include "link/device_data.h"
#include "platform/language_table.h"

namespace {

// Called about ten times a second: leave controls alone whose content is
// already right, so nothing is laid out or repainted for nothing.
void show_text(QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
}

void paint(QLabel* label, int colour) {
    const QColor wanted = colour_from_int(colour);
    if (label->autoFillBackground() && label->palette().color(QPalette::Window) == wanted) return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, wanted);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->setAccessibleDescription(colour_name(colour));
}

void paint_bit(QLabel* label, int bits, int mask) {
    paint(label, (bits & mask) ? kRed : kGreen);
}

// Any kind of text control the window's "t_" boxes come as.
void clear_text(QWidget* control) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        if (!line->text().isEmpty()) line->clear();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        if (!plain->document()->isEmpty()) plain->clear();
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        if (!rich->document()->isEmpty()) rich->clear();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->clear();
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        if (list->isEditable()) list->setEditText(QString());
    }
}

}  // namespace

void DeviceTab::show_link_phase(LinkPhase phase) {
    struct Look {
        int text_id;
        QColor text;
        QColor background;  // invalid: the page's own
    };
    const Look look = phase == LinkPhase::Connected ? Look{6300, QColor(0, 120, 0), QColor()}
                      : phase == LinkPhase::Starting
                          ? Look{6302, QColor(150, 80, 0), QColor()}
                          : Look{phase == LinkPhase::Searching ? 6301 : 6303, Qt::white,
                                 colour_from_int(kRed)};
    QLabel* label = c_.lbl_verbindung;
    QPalette palette = page_->palette();
    palette.setColor(QPalette::WindowText, look.text);
    if (look.background.isValid()) palette.setColor(QPalette::Window, look.background);
    label->setPalette(palette);
    label->setAutoFillBackground(look.background.isValid());
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setText(texts_.lang_text(look.text_id));
    label->setAccessibleName(label->text());
}

void DeviceTab::update_display() {
    if (geraet_.verbunden)
        show_connected();
    else
        show_disconnected();
}

void DeviceTab::show_connected() {
    const Geraetedaten& g = geraet_;
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto fixed = [&locale](double value, int decimals) {
        return locale.toString(value, 'f', decimals);
    };

    show_text(c_.t_bstd, g.bstd);
    show_text(c_.t_c, fixed(g.c, 1));
    show_text(c_.t_druck, fixed(g.druck, 0));
    show_text(c_.t_gastemp, fixed(g.gastemp, 1));
    show_text(c_.t_kompressortemp, fixed(g.kompressortemp, 0));
    show_text(c_.t_lp, g.lp);
    show_text(c_.t_o2, fixed(g.o2, 1));
    show_text(c_.t_mwO2, fixed(g.mwo2, 1));
    show_text(c_.t_Amplitude, fixed(g.amplitude, 1));
    show_text(c_.t_sensor1, fixed(g.sensor1, 0));
    // The save button is up while the technician edits the serial number:
    // the typed text stays.
    if (c_.cmd_setsn->isHidden()) show_text(c_.t_sn, g.sn);
    show_text(c_.t_spannung, fixed(g.spannung, 1));
    show_text(c_.t_sw, g.sw.left(2) + u'.' + g.sw.mid(2));

    for (int n = 0; n < 7; ++n) {
        if (!unlocked_[size_t(n)]) select_timing(n, g.zeiten[size_t(n)]);
    }

    const QString phase = QString::number(g.phase);
    if (c_.lbl_Phase->text() != phase) c_.lbl_Phase->setText(phase);

    // Bit 0 tells which of the two inlet valves is active: exactly one is red.
    const bool e2 = g.ventile & 1;
    paint(c_.lbl_VentilE1, e2 ? kWhite : kRed);
    paint(c_.lbl_VentilE2, e2 ? kRed : kWhite);
    paint(c_.lbl_VentilA1, (g.ventile & 2) ? kRed : kWhite);
    paint(c_.lbl_VentilA2, (g.ventile & 4) ? kRed : kWhite);

    paint_bit(c_.lbl_AlarmT, g.alarme, 1);
    paint_bit(c_.lbl_AlarmO21, g.alarme, 2);
    paint_bit(c_.lbl_AlarmO22, g.alarme, 4);
    paint_bit(c_.lbl_AlarmDruck, g.alarme, 8);
    paint_bit(c_.lbl_AlarmNetz, g.alarme, 16);
    paint_bit(c_.lbl_AlarmSens, g.alarme, 32);
    paint_bit(c_.lbl_AlarmTempSensor, g.alarme, 128);

    c_.Sh_Temp->set_lit(g.leds & 1);
    c_.Sh_Druck->set_lit(g.leds & 2);
    c_.Sh_O2ok->set_lit(g.leds & 4);
    c_.sh_o2Fehler->set_lit(g.leds & 8);
    c_.sh_Technik->set_lit(g.leds & 16);

    // Levels beyond 3 are not ours to show; the labels keep what they had.
    if (g.alarmstufe <= 3) {
        paint(c_.lbl_Alarmlow, g.alarmstufe == 1 ? kRed : kGreen);
        paint(c_.lbl_Alarmmid, g.alarmstufe == 2 ? kRed : kGreen);
        paint(c_.lbl_Alarmhigh, g.alarmstufe == 3 ? kRed : kGreen);
    }
}

void DeviceTab::show_disconnected() {
    for (int n = 0; n < 7; ++n) {
        unlocked_[size_t(n)] = false;
        select_timing(n, 0);
    }
    // The whole window, whatever tab, except the service protocol: a link
    // that drops for a moment must not take the technician's entries with it.
    QWidget* window = page_->window();
    const QWidget* protocol = window->findChild<QWidget*>(QStringLiteral("frm_protokoll"));
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (protocol && protocol->isAncestorOf(control)) continue;
        if (name.startsWith(QLatin1String("t_"))) {
            clear_text(control);
        } else if (name.startsWith(QLatin1String("lbl_Ventil")) ||
                   name.startsWith(QLatin1String("lbl_Alarm"))) {
            if (auto* label = qobject_cast<QLabel*>(control)) paint(label, kWhite);
        }
    }
    c_.cmd_setsn->hide();
    // Without a device nothing is lit and no phase runs: a lamp or a phase
    // left from the last record would look like a live state.
    for (Lamp* lamp : {c_.Sh_Temp, c_.Sh_Druck, c_.Sh_O2ok, c_.sh_o2Fehler, c_.sh_Technik})
        lamp->set_lit(false);
    c_.lbl_Phase->clear();
    if (auto* sysstat = window->findChild<QWidget*>(QStringLiteral("sysstatout"))) {
        if (auto* plain = qobject_cast<QPlainTextEdit*>(sysstat))
            plain->clear();
        else if (auto* rich = qobject_cast<QTextEdit*>(sysstat))
            rich->clear();
    }
}
