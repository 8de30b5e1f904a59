// The "System Status" tab on a real link: the read pass driven by replies
// through the real dispatcher, the pointer, and saving the table.
#include "device/sysstat_tab.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "device/device_tab_fixture.h"
#include "link/requests.h"
#include "shell/config.h"
#include "support/file_size_limit.h"
#include "support/files.h"

namespace {

// Slot n of the status memory: a block of 26 bytes, or erased (all 0xFF).
QByteArray block_reply(int n, bool erased = false) {
    const int address = sysstat_address(n);
    return QByteArray("e") + char(address >> 8) + char(address & 0xFF) + char(kSysstatBlockSize) +
           QByteArray(kSysstatBlockSize, erased ? '\xFF' : char(n));
}

bool hourglass() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

class SysstatTabTest : public DeviceTabTest {
protected:
    SysstatTabTest() {
        out = new QPlainTextEdit(&window);
        read = new QPushButton(&window);
        save = new QPushButton(&window);
        info = new QLabel(&window);
        for (int id = 3806; id <= 3817; ++id)
            texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
        for (int id = 6200; id <= 6206; ++id)
            texts.texts[size_t(id)] = QStringLiteral("T%1 ").arg(id) + "%1 %2";
        settings.INITDIR = app_dir;
        sysstat = std::make_unique<SysstatTab>(SysstatTab::Parts{
            out, read, save, info, geraet, dispatcher, dialogs, texts, clock, settings,
            [this](const QString& chosen) {
                return adopt_initdir(settings, chosen, app_dir, dialogs, texts);
            }});
        QObject::connect(&dispatcher, &ReplyDispatcher::sysstat_progress, sysstat.get(),
                         &SysstatTab::pass_progress);
        QObject::connect(&dispatcher, &ReplyDispatcher::sysstat_complete, sysstat.get(),
                         &SysstatTab::pass_complete);
        QObject::connect(&poll, &PollCycle::was_reset, sysstat.get(), &SysstatTab::link_was_reset);
        geraet.verbunden = true;
        geraet.sn = QStringLiteral("123456123456");
    }
    ~SysstatTabTest() override { sysstat.reset(); }

    // Answers whatever the pass asked, as the poll ticks would send it.
    void answer_next(const QByteArray& reply_payload) {
        link_state.clear();
        reply(reply_payload);
    }

    // A table in the box, as a finished pass leaves it.
    void read_two_blocks() {
        read->click();
        answer_next(block_reply(1));
        answer_next(block_reply(2));
        answer_next(block_reply(3, true));
        ASSERT_FALSE(out->toPlainText().isEmpty());
    }

    QTemporaryDir dir;
    QString app_dir = dir.path() + "/";
    QPlainTextEdit* out = nullptr;
    QPushButton* read = nullptr;
    QPushButton* save = nullptr;
    QLabel* info = nullptr;
    std::unique_ptr<SysstatTab> sysstat;
};

}  // namespace

TEST_F(SysstatTabTest, LinkResetEndsThePassAndANewClickStartsAgain) {
    geraet.verbunden = false;
    read->click();  // not connected: nothing happens
    EXPECT_TRUE(queued().isEmpty());
    geraet.verbunden = true;
    read->click();
    read->click();  // a second click while reading asks nothing more
    EXPECT_EQ(queued().size(), 1);
    answer_next(block_reply(1));
    answer_next(block_reply(2));
    ASSERT_TRUE(hourglass());

    // The link goes: the blocks read stay as the table, with the identity read.
    poll.link_reset();
    EXPECT_FALSE(hourglass());
    EXPECT_TRUE(read->isEnabled());
    EXPECT_FALSE(sysstat->pass_running());
    EXPECT_TRUE(out->toPlainText().startsWith("T3810123456123456"));
    answer_next(block_reply(3));  // late: asks for nothing more
    EXPECT_TRUE(queued().isEmpty());

    geraet.verbunden = true;  // connected again
    read->click();
    EXPECT_EQ(queued(), QList<QByteArray>{req_sysstat(1)});
    EXPECT_EQ(geraet.sysstat.size(), 1);  // nothing kept from before
    answer_next(block_reply(1, true));
    EXPECT_FALSE(hourglass());
    EXPECT_EQ(out->toPlainText().count(u'\n'), 8);
}

TEST_F(SysstatTabTest, SaveProposesSerialAndTimeAndAdoptsTheFolder) {
    // Nothing to save, or no serial number: no dialog.
    save->click();
    geraet.sn = QStringLiteral("   ");
    read_two_blocks();
    save->click();
    EXPECT_EQ(dialogs.messages, QStringList{"T3806"});
    EXPECT_TRUE(dialogs.dialog_dirs.isEmpty());

    // The device is gone by now: its table is saved all the same.
    geraet.sn = QStringLiteral("123456123456");
    read_two_blocks();
    geraet.verbunden = false;
    clock.set_ms(clock.now().msecsTo(QDateTime(QDate(2009, 9, 24), QTime(10, 19, 30))));
    ASSERT_TRUE(QDir(app_dir).mkdir("service"));
    const QString folder = app_dir + "service/";
    dialogs.files = {folder + "typed"};  // the default extension is added
    ASSERT_TRUE(sysstat->save_sysstat());
    EXPECT_EQ(dialogs.suggested_names, QStringList{"Status_123456123456_20090924_101930.txt"});
    EXPECT_EQ(dialogs.dialog_dirs, QStringList{app_dir});
    QString table = out->toPlainText().replace("\n", "\r\n");
    EXPECT_EQ(read_bytes(folder + "typed.txt"), (table + "\r\n").toLatin1());
    EXPECT_TRUE(table.startsWith("T3810123456123456\r\n"));
    // The folder becomes the start folder, saved at once.
    EXPECT_EQ(settings.INITDIR, folder);
    EXPECT_TRUE(read_bytes(config_path(app_dir)).contains("INITDIR|" + folder.toUtf8() + "\r\n"));
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(SysstatTabTest, ExistingFileIsReplacedOnlyAfterYesAndNeverDamaged) {
    read_two_blocks();
    for (int n = 0; n < 300; ++n) out->appendPlainText(QString(148, u'x'));
    const QString path = app_dir + "keep.txt";
    ASSERT_TRUE(write_bytes(path, "good old table\r\n"));
    // No returns to the dialog; the same file again, Yes, and the disk fills up.
    dialogs.files = {path, path};
    dialogs.answers = {false, true};
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(sysstat->save_sysstat());
    }
    EXPECT_EQ(dialogs.questions, QStringList({"T3808", "T3808"}));
    EXPECT_EQ(read_bytes(path), "good old table\r\n");
    EXPECT_EQ(QDir(app_dir).entryList({"keep*"}, QDir::Files), QStringList{"keep.txt"});
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("T3809\r\n"));
    EXPECT_GT(dialogs.messages[0].size(), QString("T3809\r\n").size());  // the reason

    // With room on the disk, Yes replaces it.
    dialogs.files = {path};
    dialogs.answers = {true};
    ASSERT_TRUE(sysstat->save_sysstat());
    EXPECT_TRUE(read_bytes(path).startsWith("T3810"));
}
