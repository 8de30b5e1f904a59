#include "link/comm_log.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/language_table.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/locale_guard.h"
#include "support/scripted_dialogs.h"

namespace {

class CommLogTest : public ::testing::Test {
protected:
    CommLogTest() {
        clock.set_ms(5000);  // the program has run a while before the log starts
        log.start();
        texts.texts[5400] = "Die Datei";
        texts.texts[5500] = "konnte nicht geschrieben werden.";
    }
    ManualClock clock;
    CommLog log{clock};
    ScriptedDialogs dialogs;
    LanguageTable texts;
};

}  // namespace

TEST_F(CommLogTest, LineLayoutForEachDirection) {
    LocaleGuard english(LocaleGuard::english());
    clock.advance_ms(12300);
    log.log_line(CommLog::Direction::Out, "3F ");
    clock.advance_ms(1);
    log.log_line(CommLog::Direction::In, "26 31 ");
    log.log_error("Device Closed\r\n");
    EXPECT_EQ(log.comm_log(),
              "OUT 012.30            3F \r\n"
              "IN  012.30            26 31 \r\n"
              "ERR 012.30            Device Closed\r\n\r\n");
}

TEST_F(CommLogTest, TimeStampsUseTheLocaleSeparatorAndGrowPastThreeDigits) {
    {
        LocaleGuard german(LocaleGuard::german());
        EXPECT_EQ(CommLog::format_seconds(3500), "003,50");
        EXPECT_EQ(CommLog::format_seconds(1234567), "1234,57");
    }
    LocaleGuard english(LocaleGuard::english());
    EXPECT_EQ(CommLog::format_seconds(3500), "003.50");
    EXPECT_EQ(CommLog::format_seconds(0), "000.00");
    EXPECT_EQ(CommLog::format_seconds(999994), "999.99");
    EXPECT_EQ(CommLog::format_seconds(999996), "1000.00");
}

TEST_F(CommLogTest, ErrorsGoToTheOutputAsTheyStand) {
    QSignalSpy appended(&log, &CommLog::out_appended);
    log.log_error("Invalid CRC0A03/0A02");
    log.log_error("Invalid CRC0A03/0A02");
    EXPECT_EQ(log.out(), "Invalid CRC0A03/0A02Invalid CRC0A03/0A02");
    EXPECT_EQ(appended.count(), 2);
    log.log_line(CommLog::Direction::In, "00 ");
    EXPECT_EQ(log.out().size(), 40);  // frames never reach the output
    log.clear_out();
    EXPECT_TRUE(log.out().isEmpty());
    EXPECT_TRUE(log.comm_log().contains("Invalid CRC"));  // the log keeps everything
}

TEST_F(CommLogTest, OutputKeepsItsNewestTwentyFiveThousandCharacters) {
    QSignalSpy replaced(&log, &CommLog::out_replaced);
    const QString chunk = QString(999, u'x') + u'\n';
    for (int i = 0; i < 50; ++i) log.log_error(chunk);
    EXPECT_EQ(log.out().size(), 50000);
    EXPECT_EQ(replaced.count(), 0);
    log.log_error("newest");
    EXPECT_EQ(log.out().size(), 25000);
    EXPECT_TRUE(log.out().endsWith("newest"));
    EXPECT_EQ(replaced.count(), 1);
}

TEST(CommLogEventTime, FourDigitYearAndSeconds) {
    // Whatever the locale: reports a second apart must not look simultaneous.
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        LocaleGuard guard(locale);
        EXPECT_EQ(CommLog::event_time(QDateTime(QDate(2026, 12, 7), QTime(10, 43, 5))),
                  "07.12.2026 10:43:05");
        EXPECT_EQ(CommLog::event_time(QDateTime(QDate(2027, 1, 31), QTime(0, 0, 59))),
                  "31.01.2027 00:00:59");
    }
}

TEST_F(CommLogTest, SaveWritesTheLogWithOneLineEnd) {
    QTemporaryDir dir;
    const QString app_dir = dir.path() + "/";
    log.log_line(CommLog::Direction::Out, "3F ");
    ASSERT_TRUE(save_comm_log(log, app_dir, clock, dialogs, texts));
    const QString name = comm_log_file_name(app_dir, clock);
    // ManualClock starts at 2026-12-05 21:20:00; five seconds have passed.
    EXPECT_EQ(name, app_dir + "protokoll20261205212005.txt");
    EXPECT_EQ(read_bytes(name), log.comm_log().toLatin1() + "\r\n");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CommLogTest, SavingTwiceInOneSecondOverwrites) {
    QTemporaryDir dir;
    const QString app_dir = dir.path() + "/";
    ASSERT_TRUE(save_comm_log(log, app_dir, clock, dialogs, texts));
    EXPECT_EQ(read_bytes(comm_log_file_name(app_dir, clock)), QByteArray("\r\n"));
    log.log_line(CommLog::Direction::In, "AA ");
    ASSERT_TRUE(save_comm_log(log, app_dir, clock, dialogs, texts));
    EXPECT_EQ(QDir(app_dir).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(read_bytes(comm_log_file_name(app_dir, clock)).contains("AA \r\n\r\n"));
}

TEST_F(CommLogTest, FailedSaveNamesTheFileAndKeepsTheOldOne) {
    QTemporaryDir dir;
    const QString name = dir.filePath("keep.txt");
    ASSERT_TRUE(save_text_file(name, "old", dialogs, texts));
    {
        FileSizeLimit disk_full(16);
        EXPECT_FALSE(save_text_file(name, QString(5000, u'n'), dialogs, texts));
    }
    EXPECT_EQ(read_bytes(name), QByteArray("old\r\n"));
    EXPECT_EQ(dialogs.messages,
              QStringList({"Die Datei " + name + " konnte nicht geschrieben werden."}));
}
