#include "device/device_controls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device/chart_box.h"
#include "device/colours.h"
#include "device/fit_label.h"
#include "device/lamp.h"
#include "device/scrolling_list.h"
#include "platform/control_name.h"
#include "platform/geometry.h"

namespace {

constexpr int kRowTops[] = {720, 1080, 1440, 1800, 2160};
constexpr int kRowLabelHeight = 315;
constexpr int kBoxWidth = 1755;
constexpr int kBoxHeight = 285;

QLabel* label(QWidget* parent, const char* name, const QString& caption, int text_id,
              const QRect& rect) {
    QLabel* l = name_control(new FitLabel(caption, parent), name, text_id);
    l->setGeometry(rect);
    return l;
}

// Caption widths of the three value columns: each caption may reach almost
// to its value box, so the longer German captions stay whole.
constexpr int kCaptionWidths[] = {1575, 1800, 2115};

// One caption label and its value box on a row of the three value columns.
QLineEdit* value_row(QWidget* page, const char* label_name, const char* box_name,
                     const QString& caption, int text_id, int label_left, int box_left, int row,
                     int label_width) {
    const int top = kRowTops[row];
    QLabel* caption_label = label(page, label_name, caption, text_id,
                                  page_rect(label_left, top, label_width, kRowLabelHeight));
    auto* box = name_control(new QLineEdit(page), box_name);
    box->setGeometry(page_rect(box_left, top, kBoxWidth, kBoxHeight));
    box->setReadOnly(true);
    caption_label->setBuddy(box);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int text_id,
                    const QRect& rect) {
    auto* b = name_control(new QPushButton(caption, parent), name, text_id);
    b->setGeometry(rect);
    return b;
}

QGroupBox* group(QWidget* page, const char* name, const QString& title, int text_id,
                 const QRect& rect) {
    auto* g = name_control(new QGroupBox(title, page), name, text_id);
    g->setGeometry(rect);
    return g;
}

// Valve and alarm labels: centred captions on a background that shows the state.
QLabel* state_label(QWidget* parent, const char* name, const QString& caption, int text_id,
                    const QRect& rect) {
    QLabel* l = label(parent, name, caption, text_id, rect);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Box);
    QPalette palette = l->palette();
    palette.setColor(QPalette::Window, colour_from_int(kWhite));
    palette.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(palette);
    l->setAutoFillBackground(true);
    l->setAccessibleDescription(colour_name(kWhite));
    return l;
}

Lamp* lamp(QWidget* parent, const char* name, int colour, int left) {
    auto* l = name_control(new Lamp(colour_from_int(colour), parent), name);
    l->setGeometry(twips_rect(left, 1140, 375, 255));
    return l;
}

void build_values(DeviceControls& c, QWidget* page) {
    c.t_sn = value_row(page, "lbl_sn", "t_sn", QStringLiteral("Seriennummer Gerät"), 11073, 240,
                       1980, 0, kCaptionWidths[0]);
    c.t_sn->setReadOnly(false);
    c.t_sn->setMaxLength(12);
    c.t_lp = value_row(page, "lbl_lp", "t_lp", QStringLiteral("Seriennummer LP"), 11072, 240, 1980,
                       1, kCaptionWidths[0]);
    c.t_bstd = value_row(page, "lbl_bstd", "t_bstd", QStringLiteral("Betriebsstunden (h)"), 11071,
                         240, 1980, 2, kCaptionWidths[0]);
    c.t_sw = value_row(page, "lbl_sw", "t_sw", QStringLiteral("Softwareversion"), 11070, 240, 1980,
                       3, kCaptionWidths[0]);

    c.cmd_setsn = button(page, "cmd_setsn", QStringLiteral("Speichern"), 11029,
                         page_rect(3840, 720, 915, 255));
    c.cmd_setsn->hide();
    c.cmd_resetbstd = button(page, "cmd_resetbstd", QStringLiteral("=>0"), 11028,
                             page_rect(3840, 1500, 495, 255));
    c.cmd_setbstd =
        button(page, "cmd_setbstd", QStringLiteral("Set"), 11100, page_rect(4380, 1500, 495, 255));

    c.t_o2 = value_row(page, "lbl_o2", "t_o2", QStringLiteral("O2-Konzentration (%)"), 11069, 4980,
                       6900, 0, kCaptionWidths[1]);
    c.t_mwO2 = value_row(page, "lbl_MWO2", "t_mwO2", QStringLiteral("MW O2-Konz. (%)"), 11200, 4980,
                         6900, 1, kCaptionWidths[1]);
    c.t_druck = value_row(page, "lbl_druck", "t_druck", QStringLiteral("Druck (hPa)"), 11067, 4980,
                          6900, 2, kCaptionWidths[1]);
    c.t_sensor1 = value_row(page, "lbl_sensor", "t_sensor1", QStringLiteral("Sensorqualität (%)"),
                            11066, 4980, 6900, 3, kCaptionWidths[1]);

    c.t_spannung =
        value_row(page, "lbl_spannung", "t_spannung", QStringLiteral("Versorgungsspannung (V)"),
                  11065, 8760, 10920, 0, kCaptionWidths[2]);
    c.t_gastemp = value_row(page, "lbl_gastemp", "t_gastemp", QStringLiteral("Gastemperatur (°C)"),
                            11064, 8760, 10920, 1, kCaptionWidths[2]);
    c.t_kompressortemp = value_row(page, "lbl_kompressortemp", "t_kompressortemp",
                                   QStringLiteral("Kompressortemperatur (°C)"), 11061, 8760, 10920,
                                   2, kCaptionWidths[2]);
    c.t_Amplitude = value_row(page, "lbl_Amplitude", "t_Amplitude", QStringLiteral("Amplitude"),
                              11203, 8760, 10920, 3, kCaptionWidths[2]);
    c.t_c = value_row(page, "lbl_c", "t_c", QStringLiteral("Schallgeschwindigkeit (m/s)"), 11062,
                      8760, 10920, 4, kCaptionWidths[2]);
}

void build_phase(DeviceControls& c, QWidget* page) {
    QGroupBox* g = c.frmPhase = group(page, "frmPhase", QStringLiteral("Phase / Ventile"), 11041,
                                      page_rect(12840, 600, 1575, 1875));
    c.lbl_Phase = name_control(new QLabel(g), "lbl_Phase");
    c.lbl_Phase->setGeometry(twips_rect(420, 300, 735, 315));
    c.lbl_Phase->setAlignment(Qt::AlignCenter);
    c.lbl_Phase->setFrameShape(QFrame::Panel);
    c.lbl_Phase->setFrameShadow(QFrame::Sunken);
    c.lbl_VentilE1 =
        state_label(g, "lbl_VentilE1", QStringLiteral("E1"), 11045, twips_rect(180, 840, 495, 315));
    c.lbl_VentilE2 =
        state_label(g, "lbl_VentilE2", QStringLiteral("E2"), 11044, twips_rect(900, 840, 495, 315));
    c.lbl_VentilA1 = state_label(g, "lbl_VentilA1", QStringLiteral("A1"), 11043,
                                 twips_rect(180, 1260, 495, 315));
    c.lbl_VentilA2 = state_label(g, "lbl_VentilA2", QStringLiteral("A2"), 11042,
                                 twips_rect(900, 1260, 495, 315));
}

void build_timings(DeviceControls& c, QWidget* page) {
    struct Caption {
        const char* label;
        const char* list;
        const char* text;
        int id;
    };
    static const Caption kCaptions[7] = {
        {"lbl_t_0", "cb_t_0", "Vorlauf (s)", 11055},
        {"lbl_t_1", "cb_t_1", "1-Länge (s)", 11052},
        {"lbl_t_2", "cb_t_2", "2-Länge (s)", 11051},
        {"lbl_t_3", "cb_t_3", "1-öffnen (s)", 11050},
        {"lbl_t_4", "cb_t_4", "1-schließen (s)", 11049},
        {"lbl_t_5", "cb_t_5", "2-öffnen (s)", 11048},
        {"lbl_t_6", "cb_t_6", "2-schließen (s)", 11047},
    };
    QGroupBox* g = c.frmZeiten =
        group(page, "frmZeiten", QStringLiteral("Zeiten"), 11046, page_rect(180, 2640, 9195, 1575));
    // The bold ">=2l" caption shares its place with the Reset button and lies beneath it.
    c.lblgr2l = label(g, "lblgr2l", QStringLiteral(">=2l"), 11054, twips_rect(60, 660, 615, 255));
    QFont bold = c.lblgr2l->font();
    bold.setBold(true);
    c.lblgr2l->setFont(bold);
    c.cmd_t_reset =
        button(g, "cmd_t_reset", QStringLiteral("Reset"), 11101, twips_rect(60, 660, 615, 255));
    for (int i = 0; i < 7; ++i) {
        const int left = 720 + 1200 * i;
        c.lbl_t[size_t(i)] = label(g, kCaptions[i].label, QString::fromUtf8(kCaptions[i].text),
                                   kCaptions[i].id, twips_rect(left, 300, 1110, 315));
        auto* list = name_control(new ScrollingList(g), kCaptions[i].list);
        list->setEditable(false);
        list->setGeometry(twips_rect(left, 600, 1110, 315));
        c.lbl_t[size_t(i)]->setBuddy(list);
        c.cb_t[size_t(i)] = list;
    }
}

void build_alarms(DeviceControls& c, QWidget* page) {
    QGroupBox* g = c.frmAlarme = group(page, "frmAlarme", QStringLiteral("Alarme"), 11030,
                                       page_rect(9540, 2640, 4875, 1575));
    const auto at = [](int left, int top, int width = 630) {
        return twips_rect(left, top, width, 270);
    };
    c.lbl_Alarmlow = state_label(g, "lbl_Alarmlow", QStringLiteral("low"), 11038, at(120, 300));
    c.lbl_AlarmO21 = state_label(g, "lbl_AlarmO21", QStringLiteral("O2-1"), 11039, at(1080, 300));
    c.lbl_AlarmDruck =
        state_label(g, "lbl_AlarmDruck", QStringLiteral("Druck"), 11201, at(2160, 300));
    c.lbl_AlarmSens =
        state_label(g, "lbl_AlarmSens", QStringLiteral("O2-Sensor"), 11037, at(3180, 300, 1470));
    c.lbl_Alarmmid = state_label(g, "lbl_Alarmmid", QStringLiteral("mid"), 11035, at(120, 720));
    c.lbl_AlarmO22 = state_label(g, "lbl_AlarmO22", QStringLiteral("O2-2"), 11036, at(1080, 720));
    c.lbl_AlarmNetz = state_label(g, "lbl_AlarmNetz", QStringLiteral("Netz"), 11034, at(2160, 720));
    c.lbl_AlarmTempSensor = state_label(g, "lbl_AlarmTempSensor", QStringLiteral("Temp-Sensor"),
                                        11202, at(3180, 720, 1470));
    c.lbl_Alarmhigh = state_label(g, "lbl_Alarmhigh", QStringLiteral("high"), 11032, at(120, 1140));
    c.lbl_AlarmT = state_label(g, "lbl_AlarmT", QStringLiteral("T"), 11033, at(1080, 1140));
    c.Sh_Temp = lamp(g, "Sh_Temp", kYellow, 2130);
    c.Sh_O2ok = lamp(g, "Sh_O2ok", kGreen, 2670);
    c.sh_o2Fehler = lamp(g, "sh_o2Fehler", kYellow, 3210);
    c.sh_Technik = lamp(g, "sh_Technik", kYellow, 3750);
    c.Sh_Druck = lamp(g, "Sh_Druck", kYellow, 4290);
}

}  // namespace

DeviceControls build_device_controls(QWidget* page) {
    DeviceControls c;
    build_values(c, page);
    // In the free row below the device data, beside the speed of sound.
    c.lbl_verbindung = name_control(new QLabel(page), "lbl_verbindung");
    c.lbl_verbindung->setGeometry(page_rect(240, 2130, 8340, 345));
    c.lbl_verbindung->setContentsMargins(6, 0, 6, 0);
    build_phase(c, page);
    build_timings(c, page);
    build_alarms(c, page);
    c.Chart = name_control(new ChartBox(page), "Chart");
    c.Chart->setGeometry(page_rect(180, 4320, 14295, 5235));
    return c;
}
