// When an STK falls due, and the CSV cells a spreadsheet reads back as typed.
#include <gtest/gtest.h>
#include <QLocale>

#include "visits/archive_export.h"
#include "visits/device_book.h"

TEST(DeviceBook, NextStkDueAndItsState) {
    struct Case {
        QDate last_stk;
        int months;
        QDate today;
        QDate due;
        DueState state;
    };
    const QDate none;
    const Case cases[] = {
        {{2024, 3, 15}, 24, {2026, 3, 15}, {2026, 3, 15}, DueState::due_soon},  // the day itself
        {{2024, 3, 15}, 24, {2026, 3, 16}, {2026, 3, 15}, DueState::overdue},
        {{2024, 3, 15}, 24, {2026, 2, 13}, {2026, 3, 15}, DueState::due_soon},  // 30 days ahead
        {{2024, 3, 15}, 24, {2026, 2, 12}, {2026, 3, 15}, DueState::in_time},
        {{2024, 2, 29}, 24, {2025, 1, 1}, {2026, 2, 28}, DueState::in_time},  // no 29th
        {{2025, 8, 31}, 6, {2026, 2, 27}, {2026, 2, 28}, DueState::due_soon},
        {{2025, 12, 31}, 12, {2026, 12, 31}, {2026, 12, 31}, DueState::due_soon},
        {none, 24, {2026, 1, 1}, none, DueState::overdue},  // never checked
    };
    for (const Case& c : cases) {
        const QDate due = next_stk_due(c.last_stk, c.months);
        EXPECT_EQ(due, c.due) << c.last_stk.toString().toStdString() << " +" << c.months;
        EXPECT_EQ(due_state(due, c.today), c.state) << c.today.toString().toStdString();
    }
}

TEST(ArchiveExport, CellsOpenInColumnsInTheWindowsLanguage) {
    const CsvStyle german = csv_style(QLocale(QLocale::German, QLocale::Germany));
    const CsvStyle english = csv_style(QLocale(QLocale::English, QLocale::UnitedStates));
    struct Case {
        CsvStyle style;
        QStringList cells;
        QString line;
    };
    const Case cases[] = {
        {german,
         {"QV5", "b;c", "1,5", "say \"hi\"", "two\nlines", ""},
         "QV5;\"b;c\";1,5;\"say \"\"hi\"\"\";\"two\nlines\";\r\n"},
        {english, {"QV5", "b;c", "1,5", "x\ry"}, "QV5,b;c,\"1,5\",\"x\ry\"\r\n"},
        {german, {csv_number(1234.5, 2, german), csv_number(-0.26, 1, german)}, "1234,50;-0,3\r\n"},
        {english,
         {csv_number(1234.5, 2, english), csv_number(93.44, 1, english)},
         "1234.50,93.4\r\n"},
        // Typed text a spreadsheet would run as a formula stays text.
        {english,
         {csv_text("=SUM(A1)"), csv_text("+49 171"), csv_text("-x"), csv_text("@a"),
          csv_text("Meier")},
         "'=SUM(A1),'+49 171,'-x,'@a,Meier\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csv_line(c.cells, c.style), c.line) << c.line.toStdString();
    EXPECT_EQ(csv_style(QLocale(QLocale::French, QLocale::France)).separator, u';');
}
