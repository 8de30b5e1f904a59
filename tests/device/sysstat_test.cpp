// The status memory table: its columns, numbers and headings, as the device's
// bytes become text.
#include "device/sysstat.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QRegularExpression>

#include "link/device_data.h"
#include "platform/language_table.h"
#include "platform/text_file.h"

namespace {

// Wire bytes 1..26 of one block, as the device keeps it.
Sysstatblock block_from_bytes(const QList<int>& bytes) {
    Sysstatblock b;
    b.block = quint8(bytes[0]);
    b.sekunden = bytes[1] + 256 * bytes[2];
    b.alarm = qint16(bytes[3]);
    for (int i = 0; i < 22; ++i) b.werte[size_t(i)] = quint8(bytes[4 + i]);
    return b;
}

// The example block of the German table: block 40, 1800 s, alarm 20, a 22 s
// duration, then the three values of each measurement.
const QList<int> kExampleBytes = {40, 0x08, 0x07, 0x20, 19, 0,   0,   0,  63,  65,  68, 61, 63,
                                  65, 192,  197,  200,  94, 124, 145, 92, 122, 144, 1,  77, 100};

class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(QLocale::c()); }
};

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

const QDateTime kPassEnd(QDate(2009, 9, 24), QTime(10, 19, 30));

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
    const Sysstatblock example = block_from_bytes(kExampleBytes);
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
        LocaleScope scope(c.locale);
        EXPECT_EQ(sysstat_line(example), c.line);
        EXPECT_EQ(sysstat_line(example).size(), kSysstatLineWidth);
    }
}

TEST(SysstatText, SingleFieldsLandInTheirColumns) {
    LocaleScope scope(kGerman);
    // Field set, first column (0-based) and the text found there.
    const struct {
        std::function<void(Sysstatblock&)> set;
        int at;
        QString text;
    } cases[] = {
        {[](Sysstatblock& b) { b.alarm = 32; }, 12, "  20"},
        {[](Sysstatblock& b) { b.alarm = 0xAB; }, 12, "  AB"},
        {[](Sysstatblock& b) { b.sekunden = 65534; }, 6, " 65534"},
        {[](Sysstatblock& b) { b.werte[3] = 255; }, 34, "  2159"},
        {[](Sysstatblock& b) { b.werte[4] = 71; }, 40, "  35,5"},
        {[](Sysstatblock& b) { b.werte[15] = 137; }, 106, "  1096"},
        {[](Sysstatblock& b) { b.werte[18] = 255; }, 124, "  2040"},  // no thousands separator
        {[](Sysstatblock& b) { b.werte[19] = 2; }, 130, "     2"},
        {[](Sysstatblock& b) { b.werte[21] = 255; }, 142, "   255"},
    };
    for (const auto& c : cases) {
        Sysstatblock b;
        c.set(b);
        const QString line = sysstat_line(b);
        EXPECT_EQ(line.mid(c.at, c.text.size()), c.text) << line.toStdString();
        EXPECT_EQ(line.size(), kSysstatLineWidth);
    }
}

TEST(SysstatText, AllZeroBlockShowsDashes) {
    LocaleScope scope(kGerman);
    QString want = "     0     0  00";
    for (int i = 0; i < 4; ++i) want += "     -";
    for (int i = 0; i < 18; ++i) want += "   ---";
    EXPECT_EQ(sysstat_line(Sysstatblock()), want);
}

TEST(SysstatText, EmptyMemoryGivesIdentificationAndHeadingsOnly) {
    LocaleScope scope(kGerman);
    Geraetedaten g;
    g.sn = "QV5000012345";
    g.lp = "080923004711";
    g.sw = "12345678";  // too long for its six columns: wraps
    EXPECT_EQ(build_sysstat_text(g, german_labels(), kPassEnd),
              "SN          QV5000012345\r\n"
              "SN LP       080923004711\r\n"
              "SWVersion   123456\r\n78    \r\n"
              "Datum       24.09.2009 10:19:30 \r\n"
              "H3814\r\nH3815\r\nH3816\r\nH3817\r\n");
}

TEST(SysstatText, BlocksFollowTheHeadingsLastReadFirst) {
    LocaleScope scope(kEnglish);
    Geraetedaten g;
    for (int n = 1; n <= 32; ++n) {
        Sysstatblock b;
        b.block = quint8(100 + n);
        g.sysstat.append(b);
    }
    const QStringList lines = build_sysstat_text(g, german_labels(), kPassEnd).split("\r\n");
    ASSERT_EQ(lines.size(), 4 + 4 + 32 + 1);  // the text ends with a line end
    EXPECT_EQ(lines[7], "H3817");
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(lines[8 + i].size(), kSysstatLineWidth);
        EXPECT_EQ(lines[8 + i].left(6), QStringLiteral("%1").arg(132 - i, 6)) << i;
    }
    EXPECT_EQ(lines.last(), "");
}

TEST(SysstatText, ProposedFileNameCarriesSerialAndTime) {
    EXPECT_EQ(sysstat_file_name("123456123456", kPassEnd), "Status_123456123456_20090924_101930");
}

// The shipped language files: labels as wide as the value's start column, and
// every heading over its columns.
TEST(SysstatText, ShippedHeadingsLineUpWithTheColumns) {
    // Right edge (1-based) of each of the 25 columns.
    QList<int> ends;
    int at = 0;
    for (int width : {6, 6, 4}) ends.append(at += width);
    for (int i = 0; i < 22; ++i) ends.append(at += 6);
    ASSERT_EQ(ends.last(), kSysstatLineWidth);
    // Groups: the four durations, then six measurements of three columns each.
    QList<std::pair<int, int>> groups = {{17, 40}};
    for (int g = 0; g < 6; ++g) groups.append({41 + 18 * g, 58 + 18 * g});
    const QList<int> unit_ends = {12, 22, 28, 34, 40, 52, 70, 88, 106, 124, 142};

    for (const char* name : {"langDE.txt", "langEN.txt"}) {
        SCOPED_TRACE(name);
        QStringList lines;
        ASSERT_TRUE(read_text_lines(QStringLiteral(QV5_BUILD_BIN_DIR) + name, lines));
        QMap<int, QString> text;
        for (const QString& line : lines) {
            const QStringList pieces = line.split(u'|');
            if (pieces.size() >= 3) text[pieces[0].toInt()] = pieces[2];
        }
        for (int id = 3810; id <= 3813; ++id) EXPECT_EQ(text[id].size(), 12) << id;

        const QRegularExpression word(QStringLiteral("\\S+"));
        const auto word_ends = [&](const QString& line) {
            QList<int> out;
            for (const auto& m : word.globalMatch(line)) out.append(int(m.capturedEnd()));
            return out;
        };
        EXPECT_EQ(word_ends(text[3815]), ends);
        EXPECT_EQ(word_ends(text[3816]), unit_ends);

        QList<std::pair<int, int>> found;
        const QRegularExpression group(QStringLiteral("<[^>]*>"));
        for (const auto& m : group.globalMatch(text[3814]))
            found.append({int(m.capturedStart()) + 1, int(m.capturedEnd())});
        ASSERT_EQ(found.size(), groups.size()) << text[3814].toStdString();
        for (int g = 0; g < groups.size(); ++g) {
            EXPECT_GE(found[g].first, groups[g].first) << g;
            EXPECT_LE(found[g].second, groups[g].second) << g;
        }
        EXPECT_EQ(text[3817], QString(kSysstatLineWidth, u'-'));
    }
}
