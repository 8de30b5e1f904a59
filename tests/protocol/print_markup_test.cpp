#include "protocol/print_markup.h"

#include <gtest/gtest.h>

#include "platform/language_table.h"
#include "support/recording_target.h"
#include "support/scripted_dialogs.h"

namespace {

class PrintMarkupTest : public ::testing::Test {
protected:
    PrintMarkupTest() {
        texts.texts[5200] = QStringLiteral("Fehler bei der Druckausgabe.");
        texts.texts[5300] = QStringLiteral("Fehler");
        texts.texts[6110] = QStringLiteral("Index außerhalb des gültigen Bereichs");
        texts.texts[6111] = QStringLiteral("Typen unverträglich");
        texts.texts[6112] = QStringLiteral("Ungültiger Eigenschaftswert");
        texts.texts[6113] = QStringLiteral("Druckerfehler");
    }
    LanguageTable texts;
    ScriptedDialogs dialogs;
    PrintMarkup engine{dialogs, texts};
    RecordingTarget target;
};

struct MarkupCase {
    const char* text;
    const char* drawn;  // texts drawn, joined with "|"
    const char* result;
    bool bold_after;
};

TEST_F(PrintMarkupTest, TagsQuotesAndResults) {
    const MarkupCase cases[] = {
        {"'b'X'/b'Y", "X|Y", "", false},
        {"Patient's cannula replaced", "Patient", "ERROR", false},
        {"Patient's 'b'cannula", "Patient|b", "ERROR", false},  // quotes pair up wrongly
        {"a 'ignored' b", "a | b", "", false},
        {"''''x'/center''nonsense'y", "x|y", "", false},
        {"'b'bold stays", "bold stays", "", true},
        {"'B'case matters", "case matters", "", false},
        {"'b", "", "ERROR", false},  // a tag that never closes takes no effect
        {"", "", "", false},
    };
    for (const MarkupCase& c : cases) {
        RecordingTarget t;
        EXPECT_EQ(engine.print_markup(QString::fromUtf8(c.text), t), c.result) << c.text;
        EXPECT_EQ(t.joined(), c.drawn) << c.text;
        EXPECT_EQ(t.font.bold, c.bold_after) << c.text;
    }
}

TEST_F(PrintMarkupTest, BoldPiecesFollowEachOtherAndFontStateCarriesOver) {
    target.current_x = 5;
    engine.print_markup("'b'XX'/b'Y'u'", target);
    engine.print_markup("Z'fontCourier New''size 8'W", target);
    ASSERT_EQ(target.texts.size(), 4);
    EXPECT_TRUE(target.texts[0].font.bold);
    EXPECT_FALSE(target.texts[1].font.bold);
    EXPECT_DOUBLE_EQ(target.texts[1].x, 5 + 2 * 1.1 * 1.5);  // directly after the bold XX
    EXPECT_TRUE(target.texts[2].font.underline);             // the next call keeps underline
    EXPECT_EQ(target.texts[3].font.name, "Courier New");
    EXPECT_DOUBLE_EQ(target.texts[3].font.size, 8);
}

TEST_F(PrintMarkupTest, AlignmentActsOnWholePiecesAndStartsLeftEachCall) {
    target.current_x = 100;
    engine.print_markup("'right'abcd", target);  // 4 * 1.1 wide, ends at 100
    EXPECT_DOUBLE_EQ(target.texts[0].x, 100 - 4.4);
    target.current_x = 100;
    engine.print_markup("'center'ab'left'cd", target);
    EXPECT_DOUBLE_EQ(target.texts[1].x, 100 - 1.1);
    EXPECT_DOUBLE_EQ(target.texts[2].x, 100 + 1.1);
    target.current_x = 100;
    engine.print_markup("ef", target);
    EXPECT_DOUBLE_EQ(target.texts[3].x, 100);
}

TEST_F(PrintMarkupTest, SizeChangesKeepOneBaseline) {
    target.current_y = 50;
    engine.print_markup("a'size15'Big'size11'small", target);
    ASSERT_EQ(target.texts.size(), 3);
    // Down 0.8 of the old line height, up 0.8 of the new one: tops differ,
    // baselines (top + 0.8 height) agree.
    EXPECT_DOUBLE_EQ(target.texts[1].y, 50 + 0.8 * 5.5 - 0.8 * 7.5);
    EXPECT_DOUBLE_EQ(target.texts[1].y + 0.8 * 7.5, target.texts[0].y + 0.8 * 5.5);
    EXPECT_DOUBLE_EQ(target.texts[2].y, 50);
    EXPECT_DOUBLE_EQ(target.font.size, 11);
}

struct ColumnsCase {
    const char* text;
    double advance;  // how far y moves, in lines of 5.5
    const char* drawn;
};

TEST_F(PrintMarkupTest, ColumnsEndTheLineAndEmptyLinesAreHalfHigh) {
    const ColumnsCase cases[] = {
        {"", 0.5, ""},
        {" ", 1, " "},
        {"a\tb\t", 1, "a|b"},
        {"\r\n\r\n\r\n", 4, ""},
        {"one\r\ntwo", 2, "one|two"},
        {"x'b\r\nlost", 1, "x"},
    };
    const QVector<double> tabs{0, 20, 40};
    for (const ColumnsCase& c : cases) {
        RecordingTarget t;
        t.current_y = 10;
        t.current_x = 33;
        EXPECT_TRUE(engine.print_columns(QString::fromUtf8(c.text), tabs, t)) << c.text;
        EXPECT_DOUBLE_EQ(t.current_y, 10 + c.advance * 5.5) << c.text;
        EXPECT_EQ(t.joined(), c.drawn) << c.text;
        if (QByteArray(c.text) != "") {
            EXPECT_DOUBLE_EQ(t.current_x, 0) << c.text;
        }
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PrintMarkupTest, ColumnsStartAtTheirTabStopsPlusTheMargin) {
    engine.print_margin = 15;
    engine.print_columns("a\tb\r\nc\td", {0, 20, 40}, target);
    ASSERT_EQ(target.texts.size(), 4);
    EXPECT_DOUBLE_EQ(target.texts[0].x, 15);
    EXPECT_DOUBLE_EQ(target.texts[1].x, 35);
    EXPECT_DOUBLE_EQ(target.texts[2].x, 0);  // a line break inside a column goes to the edge
    EXPECT_DOUBLE_EQ(target.texts[2].y, 5.5);
    EXPECT_DOUBLE_EQ(target.texts[3].x, 55);
}

TEST_F(PrintMarkupTest, FailuresShowOneMessageAndLeaveTheLineOpen) {
    struct Case {
        const char* text;
        int refuse_after;
        const char* drawn;
        const char* message;
    };
    const Case cases[] = {
        // The descriptions are the window's language too.
        {"a\tb\tc", -1, "a|b",
         "Fehler bei der Druckausgabe.\r\nFehler 9: Index außerhalb des gültigen Bereichs"},
        {"a'sizeX'b", -1, "a", "Fehler bei der Druckausgabe.\r\nFehler 13: Typen unverträglich"},
        {"a'size0'b", -1, "a",
         "Fehler bei der Druckausgabe.\r\nFehler 380: Ungültiger Eigenschaftswert"},
        {"a\tb", 1, "a", "Fehler bei der Druckausgabe.\r\nFehler 482: Druckerfehler"},
    };
    for (const Case& c : cases) {
        RecordingTarget t;
        t.refuse_after = c.refuse_after;
        dialogs.messages.clear();
        EXPECT_FALSE(engine.print_columns(QString::fromUtf8(c.text), {0, 20}, t)) << c.text;
        EXPECT_EQ(t.joined(), c.drawn) << c.text;
        EXPECT_EQ(dialogs.messages, QStringList{c.message}) << c.text;
        EXPECT_DOUBLE_EQ(t.current_y, 0) << c.text;
    }
}

TEST_F(PrintMarkupTest, LiteralPiecesPrintApostrophesAsTyped) {
    const QVector<MarkupColumn> row{
        {literal("Straße")},
        {markup("'b'"), literal("Patient's cannula 'new'"), markup("'/b'")},
    };
    EXPECT_TRUE(engine.print_row(row, {0, 30}, target));
    EXPECT_EQ(target.joined(), "Straße|Patient's cannula 'new'");
    EXPECT_TRUE(target.texts[1].font.bold);
    EXPECT_FALSE(target.font.bold);
}

}  // namespace
