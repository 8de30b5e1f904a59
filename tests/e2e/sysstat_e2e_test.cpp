// The "System Status" tab of the running program against the emulated device:
// a full memory read at wire speed, the table and its file.
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QLabel>
#include <QScrollBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "device/sysstat_tab.h"
#include "link/requests.h"
#include "support/app_rig.h"

TEST(SysstatEndToEnd, FullMemoryIsReadShownAndSaved) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    DeviceState& memory = rig.device.state();
    memory.fill_status_blocks(32);
    // Slot 7 ran 1791 s: the low byte of its count reads 255.
    memory.write_eeprom(sysstat_address(7) + 1, QByteArray("\xFF\x06", 2));
    ASSERT_TRUE(rig.start_connected());
    rig.app->window()->tab1()->setCurrentIndex(2);

    rig.record_requests();
    rig.find<QPushButton>("cmd_sysstatread")->click();
    EXPECT_TRUE(rig.app->sysstat_tab()->pass_running());
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->sysstat_tab()->pass_running(); }, 10000));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QList<QByteArray> asked;
    for (const QByteArray& request : rig.requests)
        if (request.startsWith('e')) asked.append(request);
    QList<QByteArray> want;
    for (int n = 1; n <= 32; ++n) want.append(req_sysstat(n));
    EXPECT_EQ(asked, want);  // in order, once each, never slot 33

    const QStringList lines = rig.find<QPlainTextEdit>("sysstatout")->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 4 + 4 + 32 + 1);
    EXPECT_EQ(lines[0], "SN          QV5000012345");
    EXPECT_TRUE(lines[5].startsWith(" Block     n Al."));
    EXPECT_EQ(lines[8].left(6), QStringLiteral("%1").arg(20 + 32, 6));  // slot 32 first
    EXPECT_EQ(lines[33].left(12), QStringLiteral("%1  1791").arg(20 + 7, 6));
    for (int i = 8; i < 40; ++i) EXPECT_EQ(lines[i].size(), 148) << i;
    EXPECT_TRUE(lines[20].contains(u',')) << "German decimal commas";

    const QString path = rig.app_dir + "table.txt";
    rig.dialogs.files = {path};
    rig.find<QPushButton>("cmd_sysstatsave")->click();
    const QByteArray saved = read_bytes(path);
    EXPECT_TRUE(saved.startsWith("SN          QV5000012345\r\n"));
    EXPECT_EQ(saved.count("\r\n"), 4 + 4 + 32 + 1);
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("|").toStdString();
}

// Everything on the tab says what it does, and no reply or lost link leaves a
// read hanging or takes the table read so far.
TEST(SysstatEndToEnd, EveryWayAReadEndsIsShownAndTheTableStays) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    DeviceState& memory = rig.device.state();
    memory.set_serial_number("QV5/12:34");
    memory.fill_status_blocks(8);
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.wait_connected());
    rig.app->window()->tab1()->setCurrentIndex(2);
    auto* read = rig.find<QPushButton>("cmd_sysstatread");
    auto* save = rig.find<QPushButton>("cmd_sysstatsave");
    auto* table = rig.find<QPlainTextEdit>("sysstatout");
    auto* info = rig.find<QLabel>("lbl_sysstatinfo");
    const auto run = [&] {
        read->click();
        return QTest::qWaitFor([&] { return !rig.app->sysstat_tab()->pass_running(); }, 15000);
    };
    const auto blocks = [&] { return table->toPlainText().count(u'\n') - 8; };

    save->click();
    EXPECT_TRUE(info->text().startsWith("Nichts gespeichert: Die Tabelle ist leer."));

    // Block 3 is refused, block 5 comes back cut in half: the blocks before stay.
    rig.device.faults().refuse_slot = 3;
    read->click();
    EXPECT_EQ(info->text(), "Systemstatus wird gelesen: Block 1 von bis zu 32...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->sysstat_tab()->pass_running(); }, 15000));
    EXPECT_EQ(blocks(), 2);
    EXPECT_TRUE(info->text().startsWith("Auslesen bei Block 3 abgebrochen")) << info->text().toStdString();
    EXPECT_TRUE(read->isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    rig.device.faults() = DeviceFaults();
    rig.device.faults().cut_slot = 5;
    ASSERT_TRUE(run());
    EXPECT_EQ(blocks(), 4);
    EXPECT_TRUE(info->text().startsWith("Auslesen bei Block 5 abgebrochen")) << info->text().toStdString();

    // The view is at the left edge, and the thumb shows it: the darker part
    // of the bar is at its left end, the lighter groove at its right.
    rig.app->window()->show();
    QTest::qWait(50);
    const QImage bar = table->horizontalScrollBar()->grab().toImage();
    const int arrow = bar.height(), y = bar.height() / 2;
    EXPECT_EQ(table->horizontalScrollBar()->value(), 0);
    EXPECT_LT(qGray(bar.pixel(arrow + 10, y)) + 20, qGray(bar.pixel(bar.width() - arrow - 4, y)));

    // The serial number makes no sub-folder of the proposed name.
    rig.device.faults() = DeviceFaults();
    rig.dialogs.files = {""};
    save->click();
    ASSERT_EQ(rig.dialogs.suggested_names.size(), 1);
    EXPECT_TRUE(rig.dialogs.suggested_names[0].startsWith("Status_QV5_12_34_"));

    memory.fill_status_blocks(0);
    ASSERT_TRUE(run());
    EXPECT_EQ(blocks(), 0);
    EXPECT_TRUE(info->text().startsWith("Der Systemstatus-Speicher des Geräts ist leer"));

    // The link goes during a read: the table keeps the blocks read, the tab
    // stays and says so; the table can still be saved.
    memory.fill_status_blocks(32);
    read->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return info->text().contains("Block 4 "); }, 5000));
    rig.device.faults().unplugged = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->sysstat_tab()->pass_running(); }, 15000));
    EXPECT_FALSE(rig.app->link.geraet.verbunden);
    const int kept = blocks();
    EXPECT_GE(kept, 3);
    EXPECT_TRUE(info->text().contains(QStringLiteral("Verbindung zum Gerät wurde unterbrochen")));
    EXPECT_EQ(rig.app->window()->tab1()->currentIndex(), 2);
    EXPECT_TRUE(table->toPlainText().startsWith("SN          QV5/12:34"));
    read->click();
    EXPECT_TRUE(info->text().startsWith("Kein Gerät verbunden"));
    const QString path = rig.app_dir + "kept.txt";
    rig.dialogs.files = {path};
    save->click();
    EXPECT_EQ(read_bytes(path).count("\r\n"), 8 + kept + 1);
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("|").toStdString();
}
