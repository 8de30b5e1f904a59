#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "device/colours.h"
#include "device/lamp.h"
#include "device_tab_fixture.h"
#include "platform/geometry.h"

namespace {

QString text_of(QWidget* window, const char* name) {
    auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    return box ? box->text() : QStringLiteral("<missing>");
}

// The colour a state label shows, as the program's colour integer.
int colour_of(QLabel* label) {
    const QColor c = label->palette().color(QPalette::Window);
    if (!label->autoFillBackground()) return -1;
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

using DisplayTest = DeviceTabTest;

TEST_F(DisplayTest, ConnectedValuesUseTheLocaleSeparatorAndNoGrouping) {
    connect_device();
    const std::pair<const char*, const char*> expected[] = {
        {"t_sn", "QV5-00012345"},  {"t_lp", "LP-778899001"},   {"t_bstd", "01234:50"},
        {"t_sw", "12.3"},          {"t_o2", "93,4"},           {"t_mwO2", "93,0"},
        {"t_druck", "-123"},       {"t_sensor1", "96"},        {"t_spannung", "24,0"},
        {"t_gastemp", "41,6"},     {"t_kompressortemp", "42"}, {"t_c", "347,0"},
        {"t_Amplitude", "1512,0"},
    };
    for (const auto& [name, text] : expected) EXPECT_EQ(text_of(&window, name), text) << name;
    EXPECT_EQ(control<QLabel>("lbl_Phase")->text(), "3");
    EXPECT_EQ(control<QComboBox>("cb_t_0")->currentText(), "4,00");
    EXPECT_EQ(control<QComboBox>("cb_t_3")->currentIndex(), 27);
}

TEST_F(DisplayTest, EnglishLocaleShowsPoints) {
    locale.set(LocaleGuard::english());
    tab->fill_timing_lists();
    connect_device();
    EXPECT_EQ(text_of(&window, "t_o2"), "93.4");
    EXPECT_EQ(text_of(&window, "t_gastemp"), "41.6");
    EXPECT_EQ(text_of(&window, "t_Amplitude"), "1512.0");
    EXPECT_EQ(text_of(&window, "t_sw"), "12.3");
    EXPECT_EQ(control<QComboBox>("cb_t_1")->currentText(), "5.76");
}

TEST_F(DisplayTest, TimingListsHoldTheirSecondsInTheLocale) {
    for (int n = 0; n < 7; ++n) {
        auto* list = control<QComboBox>(("cb_t_" + std::to_string(n)).c_str());
        ASSERT_EQ(list->count(), 256);
        EXPECT_EQ(list->itemText(0), "0,00");
        EXPECT_EQ(list->itemText(25), "1,00");
        EXPECT_EQ(list->itemText(27), "1,08");
        EXPECT_EQ(list->itemText(255), "10,20");
    }
    // Filling again replaces the entries rather than adding to them.
    tab->fill_timing_lists();
    EXPECT_EQ(control<QComboBox>("cb_t_6")->count(), 256);
}

TEST_F(DisplayTest, ShortVersionTextsKeepThePoint) {
    connect_device();
    geraet.sw = QStringLiteral("1");
    tab->update_display();
    EXPECT_EQ(text_of(&window, "t_sw"), "1.");
    geraet.sw.clear();
    tab->update_display();
    EXPECT_EQ(text_of(&window, "t_sw"), ".");
}

TEST_F(DisplayTest, DisconnectedEmptiesEveryTextBoxOfTheWindow) {
    // Boxes of another tab, the service protocol, the developer command line
    // and the status memory.
    auto* other = new QWidget(&window);
    auto* elsewhere = new QPlainTextEdit(QStringLiteral("Notiz"), other);
    elsewhere->setObjectName(QStringLiteral("t_other"));
    auto* protocol = new QWidget(other);
    protocol->setObjectName(QStringLiteral("frm_protokoll"));
    auto* patient = new QLineEdit(QStringLiteral("Muster"), protocol);
    patient->setObjectName(QStringLiteral("t_patient"));
    auto* remarks = new QPlainTextEdit(QStringLiteral("Filter getauscht"), protocol);
    remarks->setObjectName(QStringLiteral("t_bemerkungen"));
    auto* command = new QLineEdit(QStringLiteral("?"), other);
    command->setObjectName(QStringLiteral("tb_command"));
    auto* sysstat = new QPlainTextEdit(QStringLiteral("Block 1"), other);
    sysstat->setObjectName(QStringLiteral("sysstatout"));
    tab->set_window_parts(protocol);

    connect_device();
    geraet.ventile = 7;
    geraet.alarme = 0xFF;
    geraet.leds = 0x1F;
    tab->update_display();
    control<QPushButton>("cmd_setsn")->show();

    geraet.verbunden = false;
    tab->update_display();
    for (const char* name :
         {"t_sn", "t_lp", "t_bstd", "t_sw", "t_o2", "t_mwO2", "t_druck", "t_sensor1", "t_spannung",
          "t_gastemp", "t_kompressortemp", "t_c", "t_Amplitude"})
        EXPECT_EQ(text_of(&window, name), "") << name;
    EXPECT_TRUE(elsewhere->toPlainText().isEmpty());
    // The technician's protocol entries outlive a lost link.
    EXPECT_EQ(patient->text(), "Muster");
    EXPECT_EQ(remarks->toPlainText(), "Filter getauscht");
    EXPECT_EQ(sysstat->toPlainText(), "Block 1");  // a table read stays to be saved
    EXPECT_EQ(command->text(), "?");
    EXPECT_TRUE(control<QPushButton>("cmd_setsn")->isHidden());
    for (QLabel* label : window.findChildren<QLabel*>()) {
        const QString name = label->objectName();
        if (name.startsWith("lbl_Ventil") || name.startsWith("lbl_Alarm")) {
            EXPECT_EQ(colour_of(label), kWhite) << name.toStdString();
        }
    }
    for (int n = 0; n < 7; ++n) {
        // No timing read, none shown (not the "0,00" of entry 0).
        EXPECT_EQ(control<QComboBox>(("cb_t_" + std::to_string(n)).c_str())->currentText(), "");
        EXPECT_TRUE(tab->timing_locked(n));
    }
    // Without a device no lamp is lit and no phase is shown.
    EXPECT_EQ(control<QLabel>("lbl_Phase")->text(), "");
    EXPECT_EQ(window.findChildren<Lamp*>().size(), 5);
    for (Lamp* lamp : window.findChildren<Lamp*>()) EXPECT_FALSE(lamp->lit());
}

TEST_F(DisplayTest, ValveLabelsShowWhichValvesAreOpen) {
    connect_device();
    auto* e1 = control<QLabel>("lbl_VentilE1");
    auto* e2 = control<QLabel>("lbl_VentilE2");
    auto* a1 = control<QLabel>("lbl_VentilA1");
    auto* a2 = control<QLabel>("lbl_VentilA2");
    geraet.ventile = 0;
    tab->update_display();
    EXPECT_EQ(colour_of(e1), kRed);
    EXPECT_EQ(colour_of(e2), kWhite);
    EXPECT_EQ(colour_of(a1), kWhite);
    EXPECT_EQ(colour_of(a2), kWhite);
    EXPECT_EQ(e1->accessibleDescription(), "red");
    geraet.ventile = 7;
    tab->update_display();
    EXPECT_EQ(colour_of(e1), kWhite);
    EXPECT_EQ(colour_of(e2), kRed);
    EXPECT_EQ(colour_of(a1), kRed);
    EXPECT_EQ(colour_of(a2), kRed);
    EXPECT_EQ(e1->accessibleDescription(), "white");
    geraet.ventile = 4;
    tab->update_display();
    EXPECT_EQ(colour_of(a1), kWhite);
    EXPECT_EQ(colour_of(a2), kRed);
}

TEST_F(DisplayTest, EachAlarmBitPaintsItsOwnLabel) {
    const std::pair<int, const char*> bits[] = {
        {1, "lbl_AlarmT"},
        {2, "lbl_AlarmO21"},
        {4, "lbl_AlarmO22"},
        {8, "lbl_AlarmDruck"},
        {16, "lbl_AlarmNetz"},
        {32, "lbl_AlarmSens"},
        {128, "lbl_AlarmTempSensor"},
    };
    connect_device();
    for (const auto& [bit, lit] : bits) {
        geraet.alarme = quint8(bit);
        tab->update_display();
        for (const auto& [other, name] : bits)
            EXPECT_EQ(colour_of(control<QLabel>(name)), other == bit ? kRed : kGreen)
                << "bit " << bit << " label " << name;
    }
    // Bit 6 has no label: everything stays green.
    geraet.alarme = 0x40;
    tab->update_display();
    for (const auto& [bit, name] : bits)
        EXPECT_EQ(colour_of(control<QLabel>(name)), kGreen) << name;
    EXPECT_EQ(control<QLabel>("lbl_AlarmNetz")->accessibleDescription(), "green");
}

TEST_F(DisplayTest, AlarmLevelLightsOneLabelAndIgnoresUnknownLevels) {
    auto* low = control<QLabel>("lbl_Alarmlow");
    auto* mid = control<QLabel>("lbl_Alarmmid");
    auto* high = control<QLabel>("lbl_Alarmhigh");
    geraet.alarmstufe = 5;
    connect_device();
    // Unknown level right after a reset: still the reset's white.
    EXPECT_EQ(colour_of(low), kWhite);
    EXPECT_EQ(colour_of(high), kWhite);

    const int expected[4][3] = {{kGreen, kGreen, kGreen},
                                {kRed, kGreen, kGreen},
                                {kGreen, kRed, kGreen},
                                {kGreen, kGreen, kRed}};
    for (int level = 0; level < 4; ++level) {
        geraet.alarmstufe = quint8(level);
        tab->update_display();
        EXPECT_EQ(colour_of(low), expected[level][0]) << level;
        EXPECT_EQ(colour_of(mid), expected[level][1]) << level;
        EXPECT_EQ(colour_of(high), expected[level][2]) << level;
    }
    geraet.alarmstufe = 9;
    tab->update_display();
    EXPECT_EQ(colour_of(high), kRed);
    EXPECT_EQ(colour_of(low), kGreen);
}

TEST_F(DisplayTest, LampsFollowTheirLedBits) {
    const std::pair<int, const char*> bits[] = {
        {1, "Sh_Temp"}, {2, "Sh_Druck"}, {4, "Sh_O2ok"}, {8, "sh_o2Fehler"}, {16, "sh_Technik"}};
    connect_device();
    for (const auto& [bit, lit] : bits) {
        geraet.leds = quint8(bit | 0xE0);  // bits 5 to 7 light nothing
        tab->update_display();
        for (const auto& [other, name] : bits)
            EXPECT_EQ(control<Lamp>(name)->lit(), other == bit)
                << "bit " << bit << " lamp " << name;
    }
    EXPECT_EQ(control<Lamp>("sh_Technik")->accessibleDescription(), "on");
    EXPECT_EQ(control<Lamp>("Sh_Temp")->accessibleDescription(), "off");
    EXPECT_EQ(control<Lamp>("Sh_O2ok")->colour(), QColor(0, 255, 0));
    EXPECT_EQ(control<Lamp>("Sh_Temp")->colour(), QColor(255, 255, 0));
}

TEST_F(DisplayTest, RepliesReachTheDisplayThroughTheDispatcher) {
    connect_device();
    QByteArray hours("x");
    for (int digit : {4, 3, 2, 1, 0, 5}) hours.append(char(digit));
    reply(hours);
    EXPECT_EQ(text_of(&window, "t_bstd"), "01234:50");
    reply(QByteArray("t") + '2' + char(50));
    EXPECT_EQ(control<QComboBox>("cb_t_2")->currentText(), "2,00");
}

TEST_F(DisplayTest, ControlsSitWhereDesignedAndOnlyTheSerialNumberTakesInput) {
    EXPECT_EQ(control<QWidget>("Chart")->geometry(), page_rect(180, 4320, 14295, 5235));
    EXPECT_EQ(control<QLineEdit>("t_c")->geometry(), page_rect(10920, 2160, 1755, 285));
    EXPECT_TRUE(control<QLineEdit>("t_o2")->isReadOnly());
    EXPECT_FALSE(control<QLineEdit>("t_sn")->isReadOnly());
    EXPECT_TRUE(control<QPushButton>("cmd_setsn")->isHidden());
}

}  // namespace
