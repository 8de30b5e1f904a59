#include "protocol/protocol_file.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/text_file.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/scripted_dialogs.h"

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// A device as the protocol tab copies it.
Geraetedaten connected_device(const QString& sn = QStringLiteral("A1234       ")) {
    Geraetedaten g;
    g.verbunden = true;
    g.sn = sn;
    g.lp = QStringLiteral("080923004711");
    g.veeprom = QStringLiteral("V2.1");
    g.sw = QStringLiteral("123a");
    g.sw_num = QStringLiteral("123");
    g.bstd = QStringLiteral("01234:50");
    g.o2 = 93.4;
    g.gastemp = -7.25;
    g.kompressortemp = 41.6;
    g.zeiten = {100, 144, 144, 27, 134, 27, 255};
    g.mwo2 = 92.9;
    g.leds = 0x1F;
    return g;
}

class ProtocolFileTest : public ::testing::Test {
protected:
    ProtocolFileTest() {
        texts.texts[3] = QStringLiteral("unsaved?");
        texts.texts[4200] = QStringLiteral("no serial number");
        texts.texts[4201] = QStringLiteral("Protocols");
        texts.texts[4300] = QStringLiteral("replace?");
        texts.texts[4400] = QStringLiteral("not saved");
        texts.texts[4500] = QStringLiteral("faulty file");
        texts.texts[4600] = QStringLiteral("faulty line");
        texts.texts[4700] = QStringLiteral("not opened");
        settings.INITDIR = folder + "/";
    }

    bool save() {
        return !save_protocol(record, geraet, files, [this] { ++form_reads; }).isEmpty();
    }
    bool open() {
        return !open_protocol(
                    record, files,
                    [this] {
                        ++resets;
                        const Geraetedaten keep_nothing;
                        init_protocol_record(record, keep_nothing, true, 0);
                    },
                    [this] {
                        ++shows;
                        record.geaendert = false;
                    })
                    .isEmpty();
    }
    QString path(const char* name) const { return folder + "/" + name; }

    QTemporaryDir dir;
    QString folder = dir.path();
    ScriptedDialogs dialogs;
    LanguageTable texts;
    Settings settings;
    ManualClock clock{QDateTime(QDate(2025, 1, 31), QTime(14, 5, 9))};
    QStringList adopted;
    bool adopt_ok = true;
    ProtocolFiles files{dialogs, texts, settings, clock, [this](const QString& chosen) {
                            adopted << chosen;
                            return adopt_ok;
                        }};
    Pruefprotokoll record;
    Geraetedaten geraet = connected_device();
    int form_reads = 0;
    int resets = 0;
    int shows = 0;
};

}  // namespace

TEST(ProtocolLine, ReadingAcceptsRejectsAndStores) {
    const struct {
        const char* line;
        bool accepted;
        int feld;           // 0: no entry expected
        const char* entry;  // the entry stored at `feld`
    } cases[] = {
        {"", true, 0, ""},
        {"t_Patient|Erika Mustermann", true, kPatient, "Erika Mustermann"},
        {"t_Bemerkungen|eins\\nzwei\\n", true, kBemerkungen, "eins\r\nzwei\r\n"},
        {"t_Zubehoer|C:\\\\neu", true, kZubehoer, "C:\\\r\neu"},
        {"t_Patient|", true, kPatient, ""},
        {"ck_stk|2", true, kStk, "2"},
        {"ck_Visuell|ja", true, kVisuell, "ja"},
        // Keys are case-sensitive: lower case is someone else's key, skipped.
        {"t_patient|Kleinschreibung", true, 0, ""},
        {"MWO2|91,0", true, 0, ""},
        {"LEDS|31", true, 0, ""},
        {"ALARMSIGNAL|7", true, 0, ""},
        {"FREMD|x", true, 0, ""},
        {"t_Patient", false, 0, ""},
        {"t_Patient|a|b", false, 0, ""},
        {"|", true, 0, ""},
        {"O2|", false, 0, ""},
        {"O2|viel", false, 0, ""},
        {"O2|1.234,5", false, 0, ""},
        {"ZEITEN3|256", false, 0, ""},
        {"ZEITEN3|-1", false, 0, ""},
        {"ZEITEN3|2.5", false, 0, ""},
        {"ZEITEN3|", false, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Pruefprotokoll record;
        record.geraetedaten.o2 = 1.5;
        record.geraetedaten.zeiten[3] = 9;
        EXPECT_EQ(parse_protocol_line(record, u8(c.line)), c.accepted);
        for (int i = 1; i <= 30; ++i)
            EXPECT_EQ(record.felder[size_t(i)], i == c.feld ? u8(c.entry) : QString()) << i;
        // A rejected value leaves the device data as it was.
        EXPECT_EQ(record.geraetedaten.o2, 1.5);
        EXPECT_EQ(record.geraetedaten.zeiten[3], 9);
    }
}

TEST(ProtocolLine, MeasurementsAreWrittenSoTheyReadBack) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {93.4, "93,4"},
        {209 * 0.1, "20,9"},  // 15 digits, not the binary's 17
        {-7.25, "-7,25"},
        {0, "0"},
        {1e-5, "1e-05"},
        {1.7976931348623157e308, "1,7976931348623157e+308"},  // 15 digits would overflow
        {4.9406564584124654e-324, "4,94065645841247e-324"},
        {1.2345678901234567e-310, "1,23456789012346e-310"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Geraetedaten g;
        g.o2 = c.value;
        const QString text = device_value_text(g, "O2");
        EXPECT_EQ(text, c.text);
        Geraetedaten back;
        ASSERT_TRUE(set_device_value(back, "O2", text));
        EXPECT_EQ(device_value_text(back, "O2"), text);
    }
}

TEST(ProtocolFile, WritesThirtyFiveLinesInOrderInWindows1252) {
    Pruefprotokoll record;
    record.geraetedaten = connected_device();
    record.felder[kKrankenkasse] = u8("AOK | Süd");
    record.felder[kStrasse] = u8("Hauptstraße 5");
    record.felder[kDatum] = "31.01.2025";
    record.felder[kSelbsttest] = "1";
    record.felder[kBemerkungen] = u8("Filter 3° warm\r\nzweite\rdritte\nvierte");
    record.felder[20] = "never written";
    const QByteArray expected =
        "t_Krankenkasse|AOK / S\xFC"
        "d\r\n"
        "t_Patient|\r\n"
        "t_Strasse|Hauptstra\xDF"
        "e 5\r\n"
        "t_Ort|\r\nt_Telefon|\r\nt_Pruefer|\r\nt_Datum|31.01.2025\r\nt_Uhrzeit|\r\n"
        "ck_Selbsttest|1\r\nck_Ansaugtest|\r\nck_Maxflow|\r\nck_Minflow|\r\nck_Visuell|\r\n"
        "ck_Leistung|\r\nck_Typenschild|\r\nck_stk|\r\n"
        "t_Bemerkungen|Filter 3\xB0 warm\\nzweite\\ndritte\\nvierte\r\n"
        "t_Zubehoer|\r\n"
        "SN|A1234       \r\nLP|080923004711\r\nVEEPROM|V2.1\r\nSW|123a\r\nSW_NUM|123\r\n"
        "BSTD|01234:50\r\nO2|93,4\r\nGASTEMP|-7,25\r\nKOMPRESSORTEMP|41,6\r\nALARMSIGNAL|\r\n"
        "ZEITEN0|100\r\nZEITEN1|144\r\nZEITEN2|144\r\nZEITEN3|27\r\nZEITEN4|134\r\n"
        "ZEITEN5|27\r\nZEITEN6|255\r\n";
    const QString text = protocol_file_text(record);
    EXPECT_EQ(text.count(QLatin1String("\r\n")), 35);
    QTemporaryDir dir;
    ASSERT_TRUE(write_text_file(dir.filePath("p.txt"), text));
    EXPECT_EQ(read_bytes(dir.filePath("p.txt")), expected);
}

TEST(ProtocolFile, EveryFieldSurvivesARoundTrip) {
    Pruefprotokoll saved;
    saved.geraetedaten = connected_device(u8("Ä-1|2"));
    saved.geraetedaten.o2 = 209 * 0.1;  // not exactly 20.9 in binary
    for (int i = 1; i <= kFeldCount; ++i)
        saved.felder[size_t(i)] = u8("ä ö ü ß ° ") + QString::number(i) + " a|b";
    saved.felder[kBemerkungen] = u8("erste\r\nzweite\rdritte\nvierte \\n fünfte");
    saved.felder[kZubehoer] = u8("Nasenbrille\r\n\r\nSchlauch 2 m");

    Pruefprotokoll read;
    for (const QString& line : protocol_file_text(saved).split(QStringLiteral("\r\n")))
        ASSERT_TRUE(parse_protocol_line(read, line)) << line.toStdString();

    for (int i = 1; i <= kFeldCount; ++i) {
        if (i == kBemerkungen || i == kZubehoer) continue;
        EXPECT_EQ(read.felder[size_t(i)], u8("ä ö ü ß ° ") + QString::number(i) + " a/b") << i;
    }
    // Every kind of line break, and a typed "\n", comes back as CR LF.
    EXPECT_EQ(read.felder[kBemerkungen], u8("erste\r\nzweite\r\ndritte\r\nvierte \r\n fünfte"));
    EXPECT_EQ(read.felder[kZubehoer], saved.felder[kZubehoer]);
    const Geraetedaten& g = read.geraetedaten;
    EXPECT_EQ(g.sn, u8("Ä-1/2"));
    EXPECT_EQ(g.lp, "080923004711");
    EXPECT_EQ(g.veeprom, "V2.1");
    EXPECT_EQ(g.sw, "123a");
    EXPECT_EQ(g.sw_num, "123");
    EXPECT_EQ(g.bstd, "01234:50");
    EXPECT_DOUBLE_EQ(g.o2, 20.9);
    EXPECT_DOUBLE_EQ(g.gastemp, -7.25);
    EXPECT_DOUBLE_EQ(g.kompressortemp, 41.6);
    EXPECT_EQ(g.zeiten, saved.geraetedaten.zeiten);
    // Not kept in the file.
    EXPECT_EQ(g.mwo2, 0);
    EXPECT_EQ(g.leds, 0);
}

TEST_F(ProtocolFileTest, OpensAWindowsFileWithItsUmlauts) {
    // As a Windows PC wrote it, with empty lines, a lower-case key, unknown keys
    // and a decimal point.
    ASSERT_TRUE(write_bytes(path("win.txt"),
                            "t_Patient|J\xFCrgen Gro\xDF\r\n"
                            "\r\n"
                            "t_patient|ignored\r\n"
                            "t_Bemerkungen|Temperatur 40\xB0"
                            "C\\nL\xFC"
                            "fter ok\r\n"
                            "ck_stk|1\r\n"
                            "MWO2|91,5\r\nLEDS|31\r\nNEU|x\r\n"
                            "SN|QV5000012345\r\n"
                            "O2|20.9\r\n"
                            "ZEITEN3|27\r\n\r\n"));
    record.felder[kOrt] = "stale";
    record.geraetedaten = connected_device();
    record.geaendert = true;
    dialogs.files = {path("win.txt")};
    ASSERT_TRUE(open());
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(dialogs.dialog_dirs, QStringList({folder + "/"}));
    EXPECT_EQ(adopted, QStringList({path("win.txt")}));
    EXPECT_EQ(record.felder[kPatient], u8("Jürgen Groß"));
    EXPECT_EQ(record.felder[kBemerkungen], u8("Temperatur 40°C\r\nLüfter ok"));
    EXPECT_EQ(record.felder[kStk], "1");
    EXPECT_EQ(record.felder[kOrt], "");
    EXPECT_TRUE(record.geraetedaten.verbunden);
    EXPECT_EQ(record.geraetedaten.sn, "QV5000012345");
    EXPECT_DOUBLE_EQ(record.geraetedaten.o2, 20.9);
    EXPECT_EQ(record.geraetedaten.zeiten[3], 27);
    EXPECT_EQ(record.geraetedaten.mwo2, 0);
    EXPECT_EQ(record.geraetedaten.leds, 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ProtocolFileTest, ARejectedLineStopsTheOpenAndNamesTheLine) {
    const struct {
        const char* bad;
    } cases[] = {{"ZEITEN3|256"}, {"O2|"}, {"O2|zwei"}, {"t_Ort"}, {"t_Ort|a|b"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bad);
        ASSERT_TRUE(write_bytes(path("bad.txt"),
                                QByteArray("t_Patient|Muster\r\n") + c.bad + "\r\nt_Ort|Bonn\r\n"));
        dialogs.messages.clear();
        dialogs.files = {path("bad.txt")};
        shows = 0;
        EXPECT_FALSE(open());
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0], QString("faulty file\r\nfaulty line (") + c.bad + ")");
        EXPECT_EQ(record.felder[kPatient], "Muster");  // read before the bad line
        EXPECT_EQ(record.felder[kOrt], "");            // after it: never read
        EXPECT_FALSE(record.geraetedaten.verbunden);
        EXPECT_EQ(shows, 0);
    }
}

TEST_F(ProtocolFileTest, OpenFailuresAndCancelLeaveTheProtocolAsItWas) {
    record.felder[kPatient] = "vorher";
    dialogs.files = {QString()};
    EXPECT_FALSE(open());
    dialogs.files = {path("missing.txt")};
    EXPECT_FALSE(open());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("not opened\r\n"));
    EXPECT_GT(dialogs.messages[0].size(), QString("not opened\r\n").size());
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(record.felder[kPatient], "vorher");
    // A folder is remembered only for a file that was read.
    EXPECT_TRUE(adopted.isEmpty());
}

TEST_F(ProtocolFileTest, SavedFileOpensAndSavesAgainByteForByte) {
    record.geraetedaten = connected_device();
    record.felder[kPatient] = u8("Müller | Lüdenscheid");
    record.felder[kBemerkungen] = u8("Zeile 1\r\nZeile 2 °");
    record.felder[kTypenschild] = "1";
    dialogs.files = {path("first.txt")};
    ASSERT_TRUE(save());
    const QByteArray first = read_bytes(path("first.txt"));
    ASSERT_FALSE(first.isEmpty());

    dialogs.files = {path("first.txt"), path("second.txt")};
    ASSERT_TRUE(open());
    ASSERT_TRUE(save());
    EXPECT_EQ(read_bytes(path("second.txt")), first);
}

TEST_F(ProtocolFileTest, SaveProposesSerialAndTimeAndAsksBeforeReplacing) {
    record.geraetedaten = connected_device();
    record.geaendert = true;
    ASSERT_TRUE(write_bytes(path("taken.txt"), "keep\r\n"));
    // The name typed without extension gets ".txt"; the first answer is No.
    dialogs.files = {path("taken"), path("taken.txt"), path("sub/new")};
    dialogs.answers = {false, true};
    QDir(folder).mkdir("sub");
    EXPECT_TRUE(save());
    EXPECT_EQ(form_reads, 1);
    EXPECT_EQ(dialogs.questions, QStringList({"replace?", "replace?"}));
    EXPECT_NE(read_bytes(path("taken.txt")), "keep\r\n");
    EXPECT_FALSE(record.geaendert);
    EXPECT_EQ(adopted, QStringList({path("taken.txt")}));
    EXPECT_EQ(dialogs.files.size(), 1u);  // the third name was never asked for
    // First the proposal in INITDIR, then the dialog where the user left it.
    EXPECT_EQ(dialogs.suggested_names, QStringList({"A1234_20250131_140509.txt", "taken.txt"}));
    EXPECT_EQ(dialogs.dialog_dirs, QStringList({folder + "/", folder + "/"}));

    EXPECT_EQ(proposed_protocol_name("  A1234  ", clock.now()), "A1234_20250131_140509.txt");
    EXPECT_EQ(proposed_protocol_name("QV5/12:3", clock.now()), "QV5_12_3_20250131_140509.txt");
}

TEST_F(ProtocolFileTest, SaveGateAndEmptySerialNumber) {
    // Neither the protocol's copy nor the live record holds data: nothing at all.
    geraet.verbunden = false;
    record.geaendert = true;
    EXPECT_FALSE(save());
    EXPECT_EQ(form_reads, 0);
    EXPECT_TRUE(dialogs.dialog_dirs.isEmpty());

    // The copy holds a device without a serial number.
    record.geraetedaten = connected_device(QStringLiteral("   "));
    EXPECT_FALSE(save());
    EXPECT_EQ(form_reads, 1);
    EXPECT_EQ(dialogs.messages, QStringList({"no serial number"}));
    EXPECT_TRUE(record.geaendert);
}

TEST_F(ProtocolFileTest, SaveWithTheDeviceGoneUsesTheProtocolsOwnCopy) {
    record.geraetedaten = connected_device(QStringLiteral("QV5000099999"));
    record.felder[kPatient] = "Kept";
    geraet = Geraetedaten();  // the link went down since
    record.geaendert = true;
    dialogs.files = {path("kept.txt")};
    ASSERT_TRUE(save());
    EXPECT_FALSE(record.geaendert);
    const QByteArray bytes = read_bytes(path("kept.txt"));
    EXPECT_TRUE(bytes.contains("t_Patient|Kept\r\n"));
    EXPECT_TRUE(bytes.contains("SN|QV5000099999\r\n"));
}

TEST_F(ProtocolFileTest, AFailedSaveKeepsTheEarlierFileAndTheChangesFlag) {
    record.geraetedaten = connected_device();
    ASSERT_TRUE(write_bytes(path("good.txt"), "t_Patient|good\r\n"));
    record.felder[kBemerkungen] = QString(240, u'x');
    record.geaendert = true;
    dialogs.files = {path("good.txt")};
    dialogs.answers = {true};
    {
        FileSizeLimit limit(100);  // the disk fills up during the write
        EXPECT_FALSE(save());
    }
    EXPECT_EQ(read_bytes(path("good.txt")), "t_Patient|good\r\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"good.txt"}));
    EXPECT_TRUE(record.geaendert);
    EXPECT_TRUE(adopted.isEmpty());  // a failed save is no folder to remember
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("not saved\r\n"));
    EXPECT_GT(dialogs.messages[0].size(), QString("not saved\r\n").size());

    // The file is saved even when the configuration refuses the new folder.
    adopt_ok = false;
    dialogs.files = {path("other.txt")};
    EXPECT_TRUE(save());
    EXPECT_TRUE(QFile::exists(path("other.txt")));
    EXPECT_FALSE(record.geaendert);
}
