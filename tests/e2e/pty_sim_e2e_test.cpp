// The whole program against the real emulator process over a pseudo-terminal:
// quorvel5-sim publishes its link, the serial backend finds and opens it, and
// the poll cycle gets from start-up to a connected device.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/clock.h"
#include "platform/serial_ftd2xx.h"
#include "platform/waiter.h"
#include "shell/app.h"
#include "support/files.h"
#include "support/scripted_dialogs.h"

namespace {

const QString kBin = QStringLiteral(QV5_BUILD_BIN_DIR);

class PtySimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* lang : {"langDE.txt", "langEN.txt"})
            ASSERT_TRUE(QFile::copy(kBin + lang, app_dir + lang));
        write_bytes(app_dir + "quorvel5.ini", "TIMEOUT|1\r\nTIMERINTERVAL|50\r\nINITDIR|/tmp/\r\n");
        sim.setProgram(kBin + "quorvel5-sim");
        sim.setArguments({"--dir", app_dir, "--log", app_dir + "wire.log", "--serial",
                          "PTY-E2E-0042", "--steady"});
        sim.setProcessChannelMode(QProcess::ForwardedChannels);
        sim.start();
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return is_terminal_device(app_dir + "ttyQV5SIM"); }, 5000))
            << "the emulator did not publish its link";
    }
    void TearDown() override {
        sim.terminate();
        sim.waitForFinished(5000);
    }

    QTemporaryDir dir;
    QString app_dir = dir.path() + "/";
    QProcess sim;
};

}  // namespace

TEST_F(PtySimTest, StartUpReachesAConnectedDevice) {
    ScriptedDialogs dialogs;
    SystemClock clock;
    EventLoopWaiter waiter;
    SerialFtd2xx serial(app_dir);
    App app({app_dir, dialogs, clock, serial, waiter});
    ASSERT_TRUE(app.startup());
    ASSERT_TRUE(app.link.port.is_open()) << app.link.comm_log.out().toStdString();

    ASSERT_TRUE(QTest::qWaitFor([&] { return app.link.geraet.verbunden; }, 15000))
        << app.link.comm_log.out().toStdString();
    EXPECT_EQ(app.link.geraet.sn, "PTY-E2E-0042");
    EXPECT_EQ(app.link.geraet.sw_num, "1305");
    EXPECT_EQ(app.link.geraet.zeiten[0], 100);

    // It stays connected while the status records keep coming.
    const double laufzeit = app.link.geraet.laufzeit;
    QTest::qWait(1500);
    EXPECT_TRUE(app.link.geraet.verbunden);
    EXPECT_GT(app.link.geraet.laufzeit, laufzeit);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    app.shutdown();

    // The emulator saw the start requests: its log has a line for each.
    const QByteArray log = read_bytes(app_dir + "wire.log");
    EXPECT_TRUE(log.contains("26 31 3F 0A 02")) << log.left(400).toStdString();
}
