// The status memory table: its columns, numbers and headings, as the device's
// bytes become text.
#include "device/sysstat.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QRegularExpression>

#include "link/device_data.h"
#include "platform/language_table.h"
#include "shell/language.h"
#include "support/locale_guard.h"
#include "support/scripted_dialogs.h"

namespace {

// Wire bytes 1..26 of the example block of the German table: block 40,
// 1800 s, alarm 20, a 22 s duration, then the three values of each measurement.
Sysstatblock example_block() {
    const int bytes[26] = {40, 0x08, 0x07, 0x20, 19, 0,   0,   0,  63,  65,  68, 61, 63,
                           65, 192,  197,  200,  94, 124, 145, 92, 122, 144, 1,  77, 100};
    Sysstatblock b{quint8(bytes[0]), bytes[1] + 256 * bytes[2], qint16(bytes[3]), {}};
    for (int i = 0; i < 22; ++i) b.werte[size_t(i)] = quint8(bytes[4 + i]);
    return b;
}

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);

LanguageTable german_labels() {
    LanguageTable t;
    t.texts[3810] = "SN          ";
    t.texts[3811] = "SN LP       ";
    t.texts[3812] = "SWVersion   ";
    t.texts[3813] = "Datum       ";
    for (int id = 3814; id <= 3817; ++id) t.texts[size_t(id)] = QStringLiteral("H%1").arg(id);
    return t;
}

}  // namespace

TEST(SysstatText, PaddingCutsFillsAndWraps) {
    const struct {
        QString got, want;
    } cases[] = {
        {pad_right_aligned("35,5", 6), "  35,5"},
        {pad_right_aligned("1234567", 6), "123456"},
        {pad_right_aligned("", 3), "   "},
        {pad_wrap("12345678", 6, 0), "123456\r\n78    "},  // an 8-character version
        {pad_wrap("123456", 6, 0), "123456"},
        {pad_wrap("", 4, 0), "    "},
        {pad_wrap("abcdefghij", 4, 2), "abcd\r\n  efgh\r\n  ij  "},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(SysstatText, DurationCodesRoundHalvesToEven) {
    const std::pair<int, int> cases[] = {{1, 1},   {5, 5},    {9, 9},     {10, 4},
                                         {16, 16}, {19, 22},  {24, 32},   {25, 27},
                                         {32, 48}, {72, 200}, {255, 2159}};
    for (const auto& [code, seconds] : cases) EXPECT_EQ(decode_duration(code), seconds) << code;
}

TEST(SysstatText, ExampleBlockReadsAsTheDesignTable) {
    const Sysstatblock example = example_block();
    const struct {
        QLocale locale;
        QString line;
    } cases[] = {
        {kGerman,
         "    40  1800  20    22     -     -     -  31,5  32,5  34,0  30,5  31,5  32,5  96,0"
         "  98,5 100,0   752   992  1160   736   976  1152     1    77   100"},
        {kEnglish,
         "    40  1800  20    22     -     -     -  31.5  32.5  34.0  30.5  31.5  32.5  96.0"
         "  98.5 100.0   752   992  1160   736   976  1152     1    77   100"},
    };
    for (const auto& c : cases) {
        LocaleGuard scope(c.locale);
        EXPECT_EQ(sysstat_line(example), c.line);
    }
}

TEST(SysstatText, SingleFieldsLandInTheirColumns) {
    LocaleGuard scope(kGerman);
    // Field set, first column (0-based) and the text found there.
    const struct {
        std::function<void(Sysstatblock&)> set;
        int at;
        QString text;
    } cases[] = {
        {[](Sysstatblock& b) { b.alarm = 32; }, 12, "  20"},
        {[](Sysstatblock& b) { b.werte[3] = 255; }, 34, "  2159"},
        {[](Sysstatblock& b) { b.werte[4] = 71; }, 40, "  35,5"},
        {[](Sysstatblock& b) { b.werte[15] = 137; }, 106, "  1096"},
        {[](Sysstatblock& b) { b.werte[18] = 255; }, 124, "  2040"},  // no thousands separator
        {[](Sysstatblock& b) { b.werte[19] = 2; }, 130, "     2"},
    };
    for (const auto& c : cases) {
        Sysstatblock b;
        c.set(b);
        EXPECT_EQ(sysstat_line(b).mid(c.at, c.text.size()), c.text) << c.at;
    }
    // A block of zeros: "-" for no duration, "---" for no measurement.
    QString zeros = "     0     0  00";
    for (int i = 0; i < 22; ++i) zeros += i < 4 ? "     -" : "   ---";
    EXPECT_EQ(sysstat_line(Sysstatblock()), zeros);
}

TEST(SysstatText, EmptyMemoryGivesIdentificationAndHeadingsOnly) {
    LocaleGuard scope(kGerman);
    Geraetedaten g;
    g.sn = "QV5000012345";
    g.lp = "080923004711";
    g.sw = "12345678";  // too long for its six columns: wraps
    EXPECT_EQ(
        build_sysstat_text(g, german_labels(), QDateTime(QDate(2009, 9, 24), QTime(10, 19, 30))),
        "SN          QV5000012345\r\n"
        "SN LP       080923004711\r\n"
        "SWVersion   123456\r\n78    \r\n"
        "Datum       24.09.2009 10:19:30 \r\n"
        "H3814\r\nH3815\r\nH3816\r\nH3817\r\n");
}

// The shipped language files: labels as wide as the value's start column, and
// every heading right-aligned over its columns.
TEST(SysstatText, ShippedHeadingsLineUpWithTheColumns) {
    // Right edge (1-based) of each of the 25 columns, of the units, of the groups.
    QList<int> columns;
    for (int at = 0; at < kSysstatLineWidth;) columns.append(at += columns.size() == 2 ? 4 : 6);
    const QList<int> units = {12, 22, 28, 34, 40, 52, 70, 88, 106, 124, 142};
    const QList<int> groups = {40, 58, 76, 94, 112, 130, 148};
    const auto ends = [](const QString& line, const char* pattern) {
        QList<int> out;
        for (const auto& m : QRegularExpression(pattern).globalMatch(line))
            out.append(int(m.capturedEnd()));
        return out;
    };
    for (const char* name : {"langDE.txt", "langEN.txt"}) {
        SCOPED_TRACE(name);
        LanguageTable t;
        ScriptedDialogs dialogs;
        ASSERT_TRUE(load_language(t, QStringLiteral(QV5_BUILD_BIN_DIR) + name, dialogs));
        for (int id = 3810; id <= 3813; ++id) EXPECT_EQ(t.lang_text(id).size(), 12) << id;
        EXPECT_EQ(ends(t.lang_text(3814), "<[^>]*>"), groups);
        EXPECT_EQ(ends(t.lang_text(3815), "\\S+"), columns);
        EXPECT_EQ(ends(t.lang_text(3816), "\\S+"), units);
        EXPECT_EQ(t.lang_text(3817), QString(kSysstatLineWidth, u'-'));
    }
}
