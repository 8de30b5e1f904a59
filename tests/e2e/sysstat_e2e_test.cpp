// The "System Status" tab of the running program against the emulated device:
// a full memory read at wire speed, the table and its file.
#include <gtest/gtest.h>
#include <QGuiApplication>
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
