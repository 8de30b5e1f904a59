#include "shell/language.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/locale_guard.h"
#include "support/scripted_dialogs.h"

namespace {

class LanguageTest : public ::testing::Test {
protected:
    bool load(const QByteArray& content) {
        write_bytes(path, content);
        return load_language(table, path, dialogs);
    }
    QTemporaryDir dir;
    QString path = dir.filePath("langXX.txt");
    LanguageTable table;
    ScriptedDialogs dialogs;
};

const QStringList kLanguageFailedMessage{"Language File could not be loaded."};

}  // namespace

TEST_F(LanguageTest, ReadsIdsSizesAndTextsUntrimmed) {
    ASSERT_TRUE(
        load("11077|0|Beenden\r\n"
             "  * a comment |x\r\n"
             "\r\n"
             " 11500|12| Device/Protocol/Status/Dev |ignored\r\n"
             "11064|0|Gastemperatur (\xB0"
             "C)\r\n"
             "5400|0|\r\n"
             "20000|255|last\r\n"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(table.lang_text(11077), "Beenden");
    EXPECT_EQ(table.lang_size(11077), 0);
    EXPECT_EQ(table.lang_text(11500), " Device/Protocol/Status/Dev ");
    EXPECT_EQ(table.lang_size(11500), 12);
    EXPECT_EQ(table.lang_text(11064), QString::fromUtf8("Gastemperatur (°C)"));
    EXPECT_EQ(table.lang_text(5400), "");
    EXPECT_EQ(table.lang_text(20000), "last");
    EXPECT_EQ(table.lang_size(20000), 255);
    EXPECT_EQ(table.lang_text(11078), "");  // not in the file
    EXPECT_EQ(table.lang_text(-1), "");
    EXPECT_EQ(table.lang_text(20001), "");
}

TEST_F(LanguageTest, LaterLinesReplaceEarlierOnes) {
    ASSERT_TRUE(load("1|10|first\r\n1|0|second\r\n"));
    EXPECT_EQ(table.lang_text(1), "second");
    EXPECT_EQ(table.lang_size(1), 0);
}

TEST_F(LanguageTest, BadLinesEndLoadingWithTheFixedMessage) {
    for (const char* content :
         {"   \r\n", "11077|0\r\n", "11077\r\n", "20001|0|x\r\n", "-1|0|x\r\n", "abc|0|x\r\n",
          "1||x\r\n", "1|256|x\r\n", "1|-1|x\r\n", "1|a|x\r\n", "1|0|ok\r\n2|0\r\n"}) {
        dialogs.messages.clear();
        EXPECT_FALSE(load(content)) << content;
        EXPECT_EQ(dialogs.messages, kLanguageFailedMessage) << content;
        // Nothing of a failed file stays.
        EXPECT_EQ(table.lang_text(1), "") << content;
    }
}

TEST_F(LanguageTest, MissingFileFails) {
    EXPECT_FALSE(load_language(table, dir.filePath("langZZ.txt"), dialogs));
    EXPECT_EQ(dialogs.messages, kLanguageFailedMessage);
}

TEST_F(LanguageTest, CodeFollowsTheLocaleWhenItsFileExists) {
    const QString app_dir = dir.path() + "/";
    write_bytes(app_dir + "langDE.txt", "1|0|x\r\n");
    LocaleGuard locale(QLocale(QLocale::German, QLocale::Austria));
    EXPECT_EQ(language_code(app_dir), "DE");
    locale.set(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(language_code(app_dir), "EN");
    locale.set(QLocale::c());
    EXPECT_EQ(language_path(app_dir, "DE"), app_dir + "langDE.txt");
    EXPECT_EQ(language_path(app_dir, ""), app_dir + "lang.txt");
}

// The files that ship with the program load and cover the same ids.
TEST(ShippedLanguages, BothFilesLoadWithTheSameIds) {
    const QString app_dir = QStringLiteral(QV5_BUILD_BIN_DIR);
    ScriptedDialogs dialogs;
    LanguageTable de, en;
    ASSERT_TRUE(load_language(de, language_path(app_dir, "DE"), dialogs));
    ASSERT_TRUE(load_language(en, language_path(app_dir, "EN"), dialogs));
    int count = 0;
    for (int id = 0; id <= LanguageTable::max_id; ++id) {
        EXPECT_EQ(de.lang_text(id).isEmpty(), en.lang_text(id).isEmpty()) << id;
        if (!de.lang_text(id).isEmpty()) ++count;
    }
    EXPECT_GT(count, 140);
    EXPECT_EQ(de.lang_text(11500), QString::fromUtf8("Gerät/Protokoll/System Status/Entwickler"));
    EXPECT_EQ(de.lang_text(11056), QString::fromUtf8("&Ausgabe löschen"));
    // Every message id the program composes texts from.
    for (int id : {1,    2,    3,    100,  101,  102,  103,  104,  105,  110,  111,  1000,  1001,
                   1100, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 3300, 3600,  3601,
                   3700, 3701, 3800, 3801, 3802, 3803, 3804, 3805, 3806, 3807, 3808, 3809,  3810,
                   3811, 3812, 3813, 3814, 3815, 3816, 3817, 4200, 4201, 4300, 4400, 4500,  4600,
                   4700, 4800, 4801, 4802, 4810, 4900, 5000, 5200, 5300, 5400, 5500, 11000, 12000})
        EXPECT_FALSE(de.lang_text(id).isEmpty()) << id;
    // The connection details name the device in both languages.
    for (int id : {2950, 2951, 2952}) {
        EXPECT_TRUE(de.lang_text(id).contains("%1")) << id;
        EXPECT_TRUE(en.lang_text(id).contains("%1")) << id;
    }
    EXPECT_TRUE(de.lang_text(2951).contains("dialout"));
}
