// The program from start-up on, with its window offscreen, talking to the
// emulated device in real time.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>

#include "device/device_tab.h"
#include "device/lamp.h"
#include "link/requests.h"
#include "shell/info_window.h"
#include "sim/firmware_image_file.h"
#include "support/app_rig.h"

namespace {

QString text_of(AppRig& rig, const char* name) {
    return rig.find<QLineEdit>(name)->text();
}

QColor background(AppRig& rig, const char* name) {
    QLabel* label = rig.find<QLabel>(name);
    return label->autoFillBackground() ? label->palette().color(QPalette::Window) : QColor();
}

}  // namespace

TEST(AppEndToEnd, GermanStartUpShowsTheDevicesValues) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(rig.app->window()->tab1()->tabText(0), QString::fromUtf8("Gerät"));
    ASSERT_TRUE(rig.wait_connected());
    QTest::qWait(300);  // a round of status records
    EXPECT_EQ(text_of(rig, "t_sn"), "QV5000012345");
    EXPECT_EQ(text_of(rig, "t_lp"), "080923004711");
    EXPECT_EQ(text_of(rig, "t_bstd"), "01234:50");
    EXPECT_EQ(text_of(rig, "t_gastemp"), "24,5");
    EXPECT_EQ(text_of(rig, "t_spannung"), "24,0");
    EXPECT_EQ(text_of(rig, "t_o2"), "93,0");
    EXPECT_EQ(text_of(rig, "t_Amplitude"), "512,0");
    EXPECT_EQ(text_of(rig, "t_sensor1"), "98");
    // The timing lists show the device's standard values in seconds.
    EXPECT_EQ(rig.find<QComboBox>("cb_t_0")->currentIndex(), 100);
    EXPECT_TRUE(rig.app->window()->tab1()->isEnabled());
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("|").toStdString();
}

TEST(AppEndToEnd, EnglishStartUpUsesPointsAndEnglishCaptions) {
    AppRig rig(QLocale(QLocale::English, QLocale::UnitedKingdom));
    rig.device.state().live.gas_temp_c = -7.5;
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(rig.app->window()->tab1()->tabText(0), "Device");
    ASSERT_TRUE(rig.wait_connected());
    QTest::qWait(300);
    EXPECT_EQ(text_of(rig, "t_gastemp"), "-7.5");
    EXPECT_EQ(text_of(rig, "t_spannung"), "24.0");
}

// The technician sees the link's state on the "Gerät" tab: a device that stops
// answering, an unplugged converter, the way back.
TEST(AppEndToEnd, LostLinkIsShownAndEmptiesTheDisplayUntilItReconnects) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    ASSERT_TRUE(rig.start_connected());
    QTest::qWait(200);
    ASSERT_FALSE(text_of(rig, "t_sn").isEmpty());
    QLabel* state = rig.find<QLabel>("lbl_verbindung");
    EXPECT_EQ(state->text(), "Verbunden");
    ASSERT_TRUE(rig.find<Lamp>("Sh_O2ok")->lit());
    QStringList shown;
    QObject::connect(&rig.app->link.poll, &PollCycle::phase_changed,
                     [&] { shown << state->text(); });

    rig.device.faults().silent = true;  // unplugged: no replies, then no converter
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.app->link.poll_state.timeout_count >= 1; }, 5000));
    rig.ft.set_device_count(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->link.port.is_open(); }, 5000));
    EXPECT_EQ(shown, QStringList({"Keine Antwort vom Gerät, die Werte sind nicht aktuell. Neuer "
                                  "Versuch läuft …",
                                  "Nicht verbunden: kein Gerät gefunden. Neuer Versuch läuft …"}));
    EXPECT_EQ(background(rig, "lbl_verbindung"), QColor(Qt::red));
    EXPECT_FALSE(rig.app->link.geraet.verbunden);
    for (const char* box : {"t_sn", "t_o2", "t_bstd", "t_sw", "t_gastemp"})
        EXPECT_TRUE(text_of(rig, box).isEmpty()) << box;
    EXPECT_EQ(background(rig, "lbl_VentilE1"), QColor(Qt::white));
    EXPECT_FALSE(rig.find<Lamp>("Sh_O2ok")->lit());
    EXPECT_TRUE(rig.find<QLabel>("lbl_Phase")->text().isEmpty());
    EXPECT_TRUE(rig.app->link.comm_log.out().contains(" Timeout Nr 3 "));

    // Plugged in again: the quiet reopening brings it back.
    rig.device.faults().silent = false;
    rig.ft.set_device_count(1);
    ASSERT_TRUE(rig.wait_connected(15000));
    QTest::qWait(100);
    EXPECT_EQ(shown.mid(2), QStringList({"Gerät gefunden, Verbindung wird aufgebaut …",
                                         "Verbunden"}));
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
}

// Free commands and their replies show on the developer tab; minutes later the
// log has dropped its oldest entries, whole, the saved log is what the tab
// showed, and the technician is told where it went.
TEST(AppEndToEnd, DeveloperTabShowsCommandsAndRepliesAndSavesThem) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.wait_connected());
    rig.app->window()->tab1()->setCurrentIndex(3);
    rig.find<QLineEdit>("tb_command")->setText("?");
    QTest::mouseClick(rig.find<QPushButton>("cmd_sendcommand"), Qt::LeftButton);
    auto* box = rig.find<QPlainTextEdit>("tb_kommunikation");
    // Ours is the second "?" sent (the start requests had the first); its reply
    // may come in more than one chunk: join what came in after it.
    const QRegularExpression sent_version("^OUT [0-9,]+ {12}3F $",
                                          QRegularExpression::MultilineOption);
    const auto reply_shown = [&] {
        const QString text = box->toPlainText();
        if (text.count(sent_version) < 2) return false;
        QString in;
        for (const QString& line : text.mid(text.lastIndexOf(sent_version)).split('\n'))
            if (line.startsWith("IN  ")) in += line.mid(22);
        return in.contains("26 36 3F 31 33 30 35 41 ");
    };
    ASSERT_TRUE(QTest::qWaitFor(reply_shown, 3000)) << box->toPlainText().right(500).toStdString();
    for (int i = 0; i < 3000; ++i)
        rig.app->link.comm_log.log_line(CommLog::Direction::In,
                                        QString("#%1 ").arg(i) + QString(99, 'a'));
    const QStringList lines = box->toPlainText().split('\n');
    const int oldest = lines.first().section('#', 1).section(' ', 0, 0).toInt();
    EXPECT_TRUE(lines.first().startsWith("IN  ")) << lines.first().toStdString();
    EXPECT_GT(oldest, 0);
    EXPECT_EQ(lines.size(), 3000 - oldest);  // no hole up to the newest
    EXPECT_TRUE(lines.last().startsWith("IN  ") && lines.last().contains("#2999 "));

    QTest::mouseClick(rig.find<QPushButton>("cmd_saveprotokoll"), Qt::LeftButton);
    ASSERT_EQ(rig.dialogs.messages.size(), 1);
    const QStringList message = rig.dialogs.messages[0].split("\r\n");
    EXPECT_EQ(message[0], "Das Kommunikationsprotokoll wurde gespeichert:");
    ASSERT_EQ(message.size(), 2);
    EXPECT_TRUE(QFileInfo(message[1]).fileName().startsWith("protokoll"));
    EXPECT_EQ(QString::fromLatin1(read_bytes(message[1])).replace("\r\n", "\n"),
              box->toPlainText() + "\n\n");
}

TEST(AppEndToEnd, ValveAndAlarmColoursFollowTheDevice) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    rig.device.state().live.alarms = 0x02 | 0x10;  // O2-1 and mains
    rig.device.state().live.alarm_level = 2;
    ASSERT_TRUE(rig.start_connected());
    QTest::qWait(500);
    const QColor red(Qt::red), green(Qt::green);
    EXPECT_EQ(background(rig, "lbl_AlarmO21"), red);
    EXPECT_EQ(background(rig, "lbl_AlarmNetz"), red);
    EXPECT_EQ(background(rig, "lbl_AlarmO22"), green);
    EXPECT_EQ(background(rig, "lbl_Alarmmid"), red);
    EXPECT_EQ(background(rig, "lbl_Alarmlow"), green);
    // Exactly one of the two inlet valves is active.
    const bool e1 = background(rig, "lbl_VentilE1") == red;
    const bool e2 = background(rig, "lbl_VentilE2") == red;
    EXPECT_NE(e1, e2);
}

TEST(AppEndToEnd, SerialNumberIsWrittenAndReadBack) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    QLineEdit* t_sn = rig.find<QLineEdit>("t_sn");
    QPushButton* save = rig.find<QPushButton>("cmd_setsn");
    ASSERT_TRUE(save->isHidden());

    rig.app->window()->show();
    rig.app->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.app->window()));
    t_sn->setFocus();
    t_sn->selectAll();
    QTest::keyClicks(t_sn, "QV5-NEW-7");
    EXPECT_FALSE(save->isHidden());
    EXPECT_EQ(save->text(), "S&peichern");
    rig.record_requests();
    rig.dialogs.answers = {false, true};  // Enter in the box asks first: No, then Yes
    QTest::keyClick(t_sn, Qt::Key_Return);
    EXPECT_FALSE(rig.requests.contains(req_set_sn("QV5-NEW-7")));
    QTest::keyClick(t_sn, Qt::Key_Return);
    EXPECT_EQ(rig.dialogs.questions.last(),
              "Seriennummer des Geräts wirklich von „QV5000012345“ in „QV5-NEW-7“ ändern? Sie "
              "kennzeichnet das Gerät in jedem Protokoll und im Archiv.");
    ASSERT_GE(rig.requests.size(), 1);
    EXPECT_TRUE(rig.requests.contains(req_set_sn("QV5-NEW-7")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.requests.contains(req_sn()); }, 3000));
    QTest::qWait(200);
    EXPECT_EQ(rig.device.state().read_eeprom(16, 12), QByteArray("QV5-NEW-7   "));
    EXPECT_EQ(t_sn->text(), "QV5-NEW-7   ");  // the device's own twelve characters
    EXPECT_TRUE(save->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), t_sn);  // not "=>0", which came next
}

TEST(AppEndToEnd, OperatingHoursPromptRefusesUntilAValidAnswer) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    rig.dialogs.inputs = {QString("1234:5"), QString("01234:7"), QString("abcde:1"),
                          QString("01234:50")};  // the form the tab shows
    rig.record_requests();
    QTest::mouseClick(rig.find<QPushButton>("cmd_setbstd"), Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.messages.size(), 3);
    // It comes up holding the shown value, then the refused answer to mend.
    EXPECT_EQ(rig.dialogs.input_initials,
              QStringList({"01234:50", "1234:5", "01234:7", "abcde:1"}));
    EXPECT_TRUE(rig.requests.contains(req_set_bstd("012345")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return text_of(rig, "t_bstd") == "01234:50"; }, 3000));
    EXPECT_EQ(rig.device.state().hours_text(), "012345");

    // An empty answer ends the prompt without a write.
    rig.dialogs.inputs = {QString("99:9"), QString()};
    rig.requests.clear();
    QTest::mouseClick(rig.find<QPushButton>("cmd_setbstd"), Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.messages.size(), 4);
    for (const QByteArray& r : rig.requests) EXPECT_NE(r.at(0), 'X');
}

TEST(AppEndToEnd, TimingChangeSendsOneWriteAndOneRead) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    rig.app->window()->show();
    rig.app->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.app->window()));
    QComboBox* list = rig.find<QComboBox>("cb_t_3");
    list->setFocus(Qt::TabFocusReason);
    // Clear of the periodic timing reads, which would be counted too.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return rig.app->link.poll_state.tick_count % 400 > 40; }, 5000));
    rig.record_requests();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::qWait(400);
    int writes = 0, reads = 0;
    for (const QByteArray& r : rig.requests) {
        if (r.startsWith('T')) ++writes;
        if (r == req_zeit(3)) ++reads;
    }
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(rig.requests.contains(req_set_zeit(3, 28)));
    EXPECT_EQ(rig.device.state().zeiten[3], 28);
}

TEST(AppEndToEnd, ResetWritesTheSevenStandardTimings) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    rig.device.state().zeiten = {1, 2, 3, 4, 5, 6, 7};
    ASSERT_TRUE(rig.start_connected());
    rig.record_requests();
    QTest::mouseClick(rig.find<QPushButton>("cmd_t_reset"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.device.state().zeiten[6] == 134; }, 3000));
    const std::array<quint8, 7> standard = {100, 144, 144, 27, 134, 27, 134};
    EXPECT_EQ(rig.device.state().zeiten, standard);
    for (int n = 0; n < 7; ++n)
        EXPECT_TRUE(rig.requests.contains(req_set_zeit(n, standard[size_t(n)]))) << n;
}

TEST(AppEndToEnd, WindowKeepsItsMinimumAndTheStatusTabMargins) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start());
    MainWindow* window = rig.app->window();
    window->show();
    QTest::qWait(50);
    const QSize start = window->size();
    window->resize(400, 300);
    QTest::qWait(50);
    EXPECT_GE(window->width(), start.width());

    window->tab1()->setCurrentIndex(2);
    window->resize(start.width() + 200, start.height() + 150);
    QTest::qWait(50);
    QWidget* box = rig.find<QWidget>("sysstatout");
    QWidget* read = rig.find<QWidget>("cmd_sysstatread");
    QWidget* page = box->parentWidget();
    const int top_margin = box->y();
    const int between = read->y() - (box->y() + box->height());
    const int below = page->height() - (read->y() + read->height());
    EXPECT_EQ(between, top_margin);
    EXPECT_EQ(below, top_margin);
    EXPECT_EQ(page->width() - box->width(), 2 * box->x());
}

TEST(AppEndToEnd, SoftwareUpdateFromTheMenuProgramsTheDeviceAndReconnects) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    const QList<QByteArray> blocks = image_blocks(8);
    const QString file = rig.app_dir + "fw.qv5";
    ASSERT_TRUE(write_bytes(
        file, image_file_text("2.10", {emulated_hardware_id(rig.device.state())}, blocks)));
    rig.dialogs.files = {file};
    rig.dialogs.answers = {true};

    rig.app->window()->findChild<QAction*>("men_Softwareupdate")->trigger();
    // Both versions named: the device's and the image's.
    EXPECT_EQ(rig.dialogs.questions,
              QStringList{"Software des Geräts von Version 1305A auf Version 2.10 "
                          "umprogrammieren?"});
    EXPECT_EQ(rig.dialogs.messages,
              QStringList{"Die Software wurde erfolgreich übertragen. Das Gerät wird jetzt neu "
                          "gestartet."});
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), blocks);
    EXPECT_EQ(rig.device.boot_loader().restarts(), 1);
    EXPECT_FALSE(rig.app->info_window()->isVisible());
    EXPECT_TRUE(rig.app->window()->isEnabled());
    EXPECT_TRUE(rig.app->firmware_image.blocks.isEmpty());
    // The restarted device answers the normal protocol again.
    ASSERT_TRUE(rig.wait_connected());
    EXPECT_EQ(rig.ft.line().baud, 19200u);
    QTest::qWait(300);
    EXPECT_EQ(text_of(rig, "t_sn"), "QV5000012345");
}

// Closing during an update asks first. No: the update goes on. Yes: it ends
// where it stands, says nothing more and leaves the line closed.
TEST(AppEndToEnd, ClosingDuringAnUpdateAsksThenEndsItQuietly) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    const QList<QByteArray> blocks = image_blocks(40);
    const QString file = rig.app_dir + "fw.qv5";
    ASSERT_TRUE(write_bytes(
        file, image_file_text("2.10", {emulated_hardware_id(rig.device.state())}, blocks)));
    rig.dialogs.files = {file};
    rig.dialogs.answers = {true, false, true};  // program it; keep running; quit
    QTimer closer;
    int closes = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (rig.device.boot_loader().accepted_blocks().size() < 2 + 2 * closes) return;
        if (++closes == 2) closer.stop();
        rig.app->window()->close();
        // The progress window's close box does not hide the update.
        rig.app->info_window()->close();
        EXPECT_TRUE(rig.app->info_window()->isVisible() || closes == 2);
    });
    closer.start(5);

    rig.app->window()->findChild<QAction*>("men_Softwareupdate")->trigger();
    const int programmed = int(rig.device.boot_loader().accepted_blocks().size());
    const QString quit = QString::fromUtf8(
        "Ein Softwareupdate läuft. Trotzdem beenden? Das Gerät bleibt dann in seinem "
        "Bootloader, bis „Softwareupdate“ es erneut programmiert.");
    EXPECT_EQ(rig.dialogs.questions.mid(1), (QStringList{quit, quit}));
    EXPECT_GE(programmed, 4);
    EXPECT_LT(programmed, blocks.size());
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("|").toStdString();
    EXPECT_FALSE(rig.app->info_window()->isVisible());
    QTest::qWait(500);
    EXPECT_FALSE(rig.app->link.port.is_open());
    EXPECT_FALSE(rig.app->link.poll.timer1().isActive());
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks().size(), programmed);
}
