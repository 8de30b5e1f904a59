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
#include "support/scripted_dialogs.h"

namespace {

class LocaleGuard {
public:
    explicit LocaleGuard(QLocale::Language language, QLocale::Territory territory) {
        QLocale::setDefault(QLocale(language, territory));
    }
    ~LocaleGuard() { QLocale::setDefault(QLocale::c()); }
};

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
    LocaleGuard english(QLocale::English, QLocale::UnitedStates);
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
        LocaleGuard german(QLocale::German, QLocale::Germany);
        EXPECT_EQ(CommLog::format_seconds(3500), "003,50");
        EXPECT_EQ(CommLog::format_seconds(1234567), "1234,57");
    }
    LocaleGuard english(QLocale::English, QLocale::UnitedStates);
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

// A technician saves the log after minutes of free commands: it must be one
// stretch up to the newest entry, without a hole, starting on a whole entry.
TEST_F(CommLogTest, LogDropsItsOldestEntriesWholeAndKeepsTheNewestStretch) {
    QSignalSpy cut(&log, &CommLog::log_cut);
    int n = 0;
    while (cut.count() < 3) {
        clock.advance_ms(37);
        const QString number = QString::number(n++) + u' ';
        if (n % 50 == 0)
            log.log_error(number + "Timeout Nr 1\r\n");  // an entry of two lines
        else
            log.log_line(n % 2 ? CommLog::Direction::Out : CommLog::Direction::In,
                         number + QString(n % 7 * 13, u'a'));
        ASSERT_LE(log.comm_log().size(), 300000);
    }
    EXPECT_GT(log.comm_log().size(), 150000);
    EXPECT_EQ(cut.last().at(0).toString(), log.comm_log());
    const QStringList lines = log.comm_log().split("\r\n");
    int expected = lines.first().mid(22).section(u' ', 0, 0).toInt();
    EXPECT_GT(expected, 0);
    for (const QString& line : lines) {
        if (line.isEmpty()) continue;  // the second line of an error entry, and the end
        ASSERT_TRUE(line.startsWith("OUT ") || line.startsWith("IN  ") || line.startsWith("ERR "))
            << line.toStdString();
        EXPECT_EQ(line.mid(22).section(u' ', 0, 0).toInt(), expected++);
    }
    EXPECT_EQ(expected, n);
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
        LocaleGuard guard(locale.language(), locale.territory());
        EXPECT_EQ(CommLog::event_time(QDateTime(QDate(2026, 12, 7), QTime(10, 43, 5))),
                  "07.12.2026 10:43:05");
        EXPECT_EQ(CommLog::event_time(QDateTime(QDate(2027, 1, 31), QTime(0, 0, 59))),
                  "31.01.2027 00:00:59");
    }
}

TEST_F(CommLogTest, SavingTwiceInOneSecondOverwrites) {
    QTemporaryDir dir;
    const QString app_dir = dir.path() + "/";
    // ManualClock starts at 2026-12-05 21:20:00; five seconds have passed.
    const QString name = comm_log_file_name(app_dir, clock);
    EXPECT_EQ(name, app_dir + "protokoll20261205212005.txt");
    ASSERT_TRUE(save_text_file(name, log.comm_log(), dialogs, texts));
    EXPECT_EQ(read_bytes(name), QByteArray("\r\n"));
    log.log_line(CommLog::Direction::In, "AA ");
    ASSERT_TRUE(save_text_file(name, log.comm_log(), dialogs, texts));
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
