#include "device/live_display.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include "device/colours.h"
#include "device/device_controls.h"
#include "device/lamp.h"
#include "link/device_data.h"

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
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->clear();
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        if (list->isEditable()) list->setEditText(QString());
    }
}

}  // namespace

void show_connected(const DeviceControls& c, const Geraetedaten& g) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto fixed = [&locale](double value, int decimals) {
        return locale.toString(value, 'f', decimals);
    };

    show_text(c.t_bstd, g.bstd);
    show_text(c.t_c, fixed(g.c, 1));
    show_text(c.t_druck, fixed(g.druck, 0));
    show_text(c.t_gastemp, fixed(g.gastemp, 1));
    show_text(c.t_kompressortemp, fixed(g.kompressortemp, 0));
    show_text(c.t_lp, g.lp);
    show_text(c.t_o2, fixed(g.o2, 1));
    show_text(c.t_mwO2, fixed(g.mwo2, 1));
    show_text(c.t_Amplitude, fixed(g.amplitude, 1));
    show_text(c.t_sensor1, fixed(g.sensor1, 0));
    // The save button is up while the technician edits the serial number:
    // the typed text stays.
    if (c.cmd_setsn->isHidden()) show_text(c.t_sn, g.sn);
    show_text(c.t_spannung, fixed(g.spannung, 1));
    show_text(c.t_sw, g.sw.left(2) + u'.' + g.sw.mid(2));

    const QString phase = QString::number(g.phase);
    if (c.lbl_Phase->text() != phase) c.lbl_Phase->setText(phase);

    // Bit 0 tells which of the two inlet valves is active: exactly one is red.
    const bool e2 = g.ventile & 1;
    paint(c.lbl_VentilE1, e2 ? kWhite : kRed);
    paint(c.lbl_VentilE2, e2 ? kRed : kWhite);
    paint(c.lbl_VentilA1, (g.ventile & 2) ? kRed : kWhite);
    paint(c.lbl_VentilA2, (g.ventile & 4) ? kRed : kWhite);

    paint_bit(c.lbl_AlarmT, g.alarme, 1);
    paint_bit(c.lbl_AlarmO21, g.alarme, 2);
    paint_bit(c.lbl_AlarmO22, g.alarme, 4);
    paint_bit(c.lbl_AlarmDruck, g.alarme, 8);
    paint_bit(c.lbl_AlarmNetz, g.alarme, 16);
    paint_bit(c.lbl_AlarmSens, g.alarme, 32);
    paint_bit(c.lbl_AlarmTempSensor, g.alarme, 128);

    c.Sh_Temp->set_lit(g.leds & 1);
    c.Sh_Druck->set_lit(g.leds & 2);
    c.Sh_O2ok->set_lit(g.leds & 4);
    c.sh_o2Fehler->set_lit(g.leds & 8);
    c.sh_Technik->set_lit(g.leds & 16);

    // Levels beyond 3 are not ours to show; the labels keep what they had.
    if (g.alarmstufe <= 3) {
        paint(c.lbl_Alarmlow, g.alarmstufe == 1 ? kRed : kGreen);
        paint(c.lbl_Alarmmid, g.alarmstufe == 2 ? kRed : kGreen);
        paint(c.lbl_Alarmhigh, g.alarmstufe == 3 ? kRed : kGreen);
    }
}

void show_disconnected(const DeviceControls& c, QWidget* window, const QWidget* spared) {
    // The whole window, whatever tab, except the service protocol: a link
    // that drops for a moment must not take the technician's entries with it.
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (spared && spared->isAncestorOf(control)) continue;
        if (name.startsWith(QLatin1String("t_"))) {
            clear_text(control);
        } else if (name.startsWith(QLatin1String("lbl_Ventil")) ||
                   name.startsWith(QLatin1String("lbl_Alarm"))) {
            if (auto* label = qobject_cast<QLabel*>(control)) paint(label, kWhite);
        }
    }
    c.cmd_setsn->hide();
    // Without a device nothing is lit and no phase runs: a lamp or a phase
    // left from the last record would look like a live state.
    for (Lamp* lamp : {c.Sh_Temp, c.Sh_Druck, c.Sh_O2ok, c.sh_o2Fehler, c.sh_Technik})
        lamp->set_lit(false);
    c.lbl_Phase->clear();
    // The status memory table is not live data: it stays, to be saved after a
    // lost link too, until the next read replaces it.
}
