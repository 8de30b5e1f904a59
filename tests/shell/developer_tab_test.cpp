#include "shell/developer_tab.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "link/comm_log.h"
#include "link/conversions.h"
#include "link/frame.h"
#include "link/port.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "support/files.h"
#include "support/recording_ftd2xx.h"
#include "support/scripted_dialogs.h"

namespace {

class DeveloperTabTest : public ::testing::Test {
protected:
    DeveloperTabTest() {
        page.resize(1010, 700);
        log.start();
    }

    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = page.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    QString shown() { return control<QPlainTextEdit>("out")->toPlainText(); }
    // The box shows the log's CR LF line ends as plain line breaks.
    QString out_as_shown() { return QString(log.out()).replace("\r\n", "\n"); }

    QTemporaryDir dir;
    ManualClock clock;
    RecordingFtd2xx ft;
    ScriptedDialogs dialogs;
    LanguageTable texts;
    CommLog log{clock};
    LinkState link;
    PortState port_state{&ft, 0};
    FrameLink frames{link, port_state, log, dialogs, clock};
    Port port{port_state, log, dialogs, texts};
    QWidget page;
    DeveloperTab tab{&page, {log, frames, port, dialogs, texts, clock, dir.path() + "/"}};
};

}  // namespace

TEST_F(DeveloperTabTest, ControlsCarryTheirNamesAndTextIds) {
    const struct {
        const char* name;
        int text_id;
        const char* design_text;
    } buttons[] = {{"Command1", 11057, "opendevice"},
                   {"Command2", 11058, "closedevice"},
                   {"cmd_sendcommand", 11059, "sendcommand"},
                   {"cmd_clear", 11056, "Ausgabe löschen"},
                   {"cmd_saveprotokoll", 11001, "Kommunikationsprotokoll speichern"}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.name);
        auto* button = control<QPushButton>(b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->property("textId").toInt(), b.text_id);
        EXPECT_EQ(button->text(), QString::fromUtf8(b.design_text));
    }
    auto* info = control<QLabel>("lbl_info");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->property("textId").toInt(), 11074);
    EXPECT_EQ(info->text(), "Data IN");
    // Hex dumps line up in columns.
    const QFontMetrics metrics(info->font());
    EXPECT_EQ(metrics.horizontalAdvance("1111"), metrics.horizontalAdvance("FFFF"));
    ASSERT_NE(control<QLineEdit>("tb_command"), nullptr);
    ASSERT_NE(control<QPlainTextEdit>("out"), nullptr);
    EXPECT_TRUE(control<QPlainTextEdit>("out")->font().bold());
    EXPECT_FALSE(control("tb_command")->property("textId").isValid());
    EXPECT_FALSE(control("out")->property("textId").isValid());
}

TEST_F(DeveloperTabTest, OpenAndCloseButtonsDriveTheConverterAndReportInTheOutput) {
    click("Command1");
    EXPECT_TRUE(port.is_open());
    EXPECT_TRUE(shown().startsWith("Handle:"));
    click("Command2");
    EXPECT_FALSE(port.is_open());
    EXPECT_TRUE(shown().endsWith("Device Closed\n"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(DeveloperTabTest, SendCommandQueuesTheTypedBytesAsTheyStand) {
    // Not connected: the developer's command goes out regardless.
    control<QLineEdit>("tb_command")->setText(QString::fromUtf8("k 0ä"));
    click("cmd_sendcommand");
    ASSERT_EQ(link.outbuffer_count, 1);
    EXPECT_EQ(link.outbuffer[0], QByteArray("k 0\xE4"));

    control<QLineEdit>("tb_command")->clear();
    click("cmd_sendcommand");
    ASSERT_EQ(link.outbuffer_count, 2);
    EXPECT_EQ(link.outbuffer[1], QByteArray());
}

TEST_F(DeveloperTabTest, OutputKeepsTheNewestPartAndScrollsToTheEnd) {
    auto* out = control<QPlainTextEdit>("out");
    page.show();
    // 65-character lines: the 770th takes the output past 50000 characters.
    const QString line = QString(58, u'x') + "\r\n";
    for (int i = 1; i <= 769; ++i) log.log_error(QString("%1 ").arg(i, 4) + line);
    QApplication::processEvents();
    EXPECT_EQ(shown().size(), 769 * 64);
    log.log_error(" 770 " + line);
    QApplication::processEvents();

    EXPECT_EQ(log.out().size(), CommLog::kOutKeep);
    EXPECT_EQ(shown(), out_as_shown());
    EXPECT_TRUE(shown().endsWith(" 770 " + QString(58, u'x') + "\n"));
    EXPECT_FALSE(shown().contains(" 385 "));
    EXPECT_TRUE(shown().contains(" 387 "));
    EXPECT_TRUE(out->textCursor().atEnd());
    EXPECT_TRUE(out->viewport()->rect().contains(out->cursorRect()));
    EXPECT_GT(out->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(out->verticalScrollBar()->value(), out->verticalScrollBar()->maximum());
}

TEST_F(DeveloperTabTest, TextWithoutLineEndContinuesTheLastLine) {
    log.log_error("Handle:81\r\n");
    log.log_error("Invalid CRC");
    log.log_error("Invalid CRC");
    EXPECT_EQ(shown(), "Handle:81\nInvalid CRCInvalid CRC");
}

TEST_F(DeveloperTabTest, HandEditsBecomeTheOutputAndNewEventsFollowThem) {
    log.log_error("one\r\n");
    auto* out = control<QPlainTextEdit>("out");
    out->moveCursor(QTextCursor::End);
    QTest::keyClicks(out, "note");
    EXPECT_EQ(log.out(), "one\r\nnote");
    log.log_error("\r\ntwo\r\n");
    EXPECT_EQ(shown(), "one\nnote\ntwo\n");
    EXPECT_TRUE(out->textCursor().atEnd());
}

TEST_F(DeveloperTabTest, ClearEmptiesTheOutputButNotTheCommunicationLog) {
    log.log_error("Device Closed\r\n");
    const QString logged = log.comm_log();
    click("cmd_clear");
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(log.out(), "");
    EXPECT_EQ(log.comm_log(), logged);
    EXPECT_TRUE(logged.contains("Device Closed"));
}

TEST_F(DeveloperTabTest, SaveWritesTheLogBesideTheProgram) {
    log.log_error("Device Closed\r\n");
    clock.advance_ms(1500);
    click("cmd_saveprotokoll");
    // ManualClock starts at 5 Dec 2026 21:20:00.
    const QByteArray saved = read_bytes(dir.path() + "/protokoll20261205212001.txt");
    EXPECT_EQ(saved, log.comm_log().toLatin1() + "\r\n");
    EXPECT_TRUE(saved.startsWith("ERR 000.00"));
    EXPECT_EQ(dialogs.messages.size(), 1);  // where it went
}

TEST_F(DeveloperTabTest, SaveWhereNoFolderCanBeMadeTellsTheUser) {
    texts.texts[5400] = "The file";
    texts.texts[5500] = "could not be saved.";
    write_bytes(dir.path() + "/gone", "a file where the folder belongs");
    QWidget other_page;
    DeveloperTab elsewhere(&other_page,
                           {log, frames, port, dialogs, texts, clock, dir.path() + "/gone/"});
    elsewhere.save_protokoll();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("The file " + dir.path() + "/gone/protokoll"));
    EXPECT_TRUE(dialogs.messages[0].endsWith(" could not be saved."));
}

TEST_F(DeveloperTabTest, DataInShowsEachReceivedFrame) {
    const QByteArray frame = build_frame("?V12a");
    frames.receive(frame);
    EXPECT_EQ(control<QLabel>("lbl_info")->text(), hex_dump(frame));
}
