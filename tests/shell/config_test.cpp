#include "shell/config.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>

#include "platform/language_table.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/locale_guard.h"
#include "support/scripted_dialogs.h"

namespace {

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() : app_dir(dir.path() + "/"), path(config_path(app_dir)) {
        texts.texts[5000] = "Konfiguration nicht gespeichert.";
    }
    bool load(const QByteArray& content) {
        write_bytes(path, content);
        return load_config(settings, path, app_dir, dialogs);
    }

    QTemporaryDir dir;
    QString app_dir;
    QString path;
    Settings settings;
    ScriptedDialogs dialogs;
    LocaleGuard locale{QLocale()};
    LanguageTable texts;
};

const QStringList kConfigFailedMessage{"unable to load configuration"};

}  // namespace

TEST_F(ConfigTest, MissingFileGivesDefaultsAndTheFixedMessage) {
    EXPECT_FALSE(load_config(settings, path, app_dir, dialogs));
    EXPECT_EQ(dialogs.messages, kConfigFailedMessage);
    EXPECT_DOUBLE_EQ(settings.TIMEOUT, 1.0);
    EXPECT_EQ(settings.TIMERINTERVAL, 50);
    EXPECT_EQ(settings.INITDIR, app_dir);
}

TEST_F(ConfigTest, ReadsKeysInAnyOrderAmongOtherLines) {
    EXPECT_TRUE(
        load("\r\nINITDIR|/home/tech/Prot|extra\r\nCOLOR|red\r\njunk line\r\n"
             "TIMERINTERVAL|75\r\nTIMEOUT|2.5\r\n"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_DOUBLE_EQ(settings.TIMEOUT, 2.5);
    EXPECT_EQ(settings.TIMERINTERVAL, 75);
    EXPECT_EQ(settings.INITDIR, "/home/tech/Prot");
}

TEST_F(ConfigTest, KeysAreExactAndCaseSensitive) {
    EXPECT_TRUE(load("timeout|2\r\n TIMEOUT|3\r\nTIMEOUT |4\r\n"));
    EXPECT_DOUBLE_EQ(settings.TIMEOUT, 1.0);
}

TEST_F(ConfigTest, ABadLineDiscardsWhatWasReadBeforeIt) {
    EXPECT_FALSE(load("TIMERINTERVAL|100\r\nTIMEOUT\r\n"));
    EXPECT_EQ(settings.TIMERINTERVAL, 50);
    EXPECT_EQ(dialogs.messages, kConfigFailedMessage);
}

TEST_F(ConfigTest, RefusesValuesThatAreNotNumbersOfTheirType) {
    for (const char* content :
         {"TIMEOUT|abc\r\n", "TIMEOUT|\r\n", "TIMEOUT|1e999\r\n", "TIMEOUT|0\r\n",
          "TIMEOUT|-0.5\r\n", "TIMEOUT|nan\r\n", "TIMEOUT|-inf\r\n", "TIMERINTERVAL|40000\r\n",
          "TIMERINTERVAL|x\r\n", "TIMERINTERVAL|0\r\n", "TIMERINTERVAL|-5\r\n",
          "INITDIR|/a\r\nTIMERINTERVAL\r\n", "STKINTERVAL|0\r\n", "STKINTERVAL|25\r\n",
          "STKINTERVAL|12,5\r\n", "STKINTERVAL|\r\n"}) {
        dialogs.messages.clear();
        EXPECT_FALSE(load(content)) << content;
        EXPECT_EQ(dialogs.messages, kConfigFailedMessage) << content;
        EXPECT_EQ(settings.INITDIR, app_dir) << content;
    }
}

TEST_F(ConfigTest, IntervalRoundsHalfToEven) {
    EXPECT_TRUE(load("TIMERINTERVAL|50.5\r\n"));
    EXPECT_EQ(settings.TIMERINTERVAL, 50);
    EXPECT_TRUE(load("TIMERINTERVAL|51.5\r\n"));
    EXPECT_EQ(settings.TIMERINTERVAL, 52);
    EXPECT_TRUE(load("TIMERINTERVAL|32767\r\n"));
    EXPECT_EQ(settings.TIMERINTERVAL, 32767);
}

TEST_F(ConfigTest, GermanNumbersReadAndWriteWithAComma) {
    locale.set(LocaleGuard::german());
    EXPECT_TRUE(load("TIMEOUT|0,5\r\nINITDIR|/srv/\r\n"));
    EXPECT_DOUBLE_EQ(settings.TIMEOUT, 0.5);
    ASSERT_TRUE(save_config(settings, path, dialogs, texts));
    EXPECT_EQ(read_bytes(path), QByteArray("TIMEOUT|0,5\r\nTIMERINTERVAL|50\r\nINITDIR|/srv/\r\n"));
}

TEST_F(ConfigTest, EnglishNumbersUseAPointAndNoGrouping) {
    locale.set(LocaleGuard::english());
    EXPECT_TRUE(load("TIMEOUT|0.25\r\n"));
    EXPECT_DOUBLE_EQ(settings.TIMEOUT, 0.25);
    EXPECT_EQ(config_number_text(1.0), "1");
    EXPECT_EQ(config_number_text(0.5), "0.5");
    EXPECT_EQ(config_number_text(12345.5), "12345.5");
    EXPECT_EQ(config_number_text(0.1), "0.1");
}

TEST_F(ConfigTest, WrittenFileReadsBackTheSame) {
    locale.set(LocaleGuard::german());
    settings.TIMEOUT = 1.0 / 3.0;
    settings.TIMERINTERVAL = 120;
    settings.INITDIR = QString::fromUtf8("/home/tech/Prüfungen/");
    ASSERT_TRUE(save_config(settings, path, dialogs, texts));
    Settings again;
    ASSERT_TRUE(load_config(again, path, app_dir, dialogs));
    EXPECT_NEAR(again.TIMEOUT, settings.TIMEOUT, 1e-14);
    EXPECT_EQ(again.TIMERINTERVAL, 120);
    EXPECT_EQ(again.INITDIR, settings.INITDIR);
    EXPECT_EQ(again.STKINTERVAL, 24);  // the legal two years when none is set
    // The STK interval is written once it differs from two years, and read back.
    settings.STKINTERVAL = 12;
    ASSERT_TRUE(save_config(settings, path, dialogs, texts));
    EXPECT_TRUE(read_bytes(path).endsWith("\r\nSTKINTERVAL|12\r\n"));
    ASSERT_TRUE(load_config(again, path, app_dir, dialogs));
    EXPECT_EQ(again.STKINTERVAL, 12);
}

TEST_F(ConfigTest, NewFolderIsAdoptedAndSavedAtOnce) {
    locale.set(LocaleGuard::english());
    EXPECT_FALSE(load_config(settings, path, app_dir, dialogs));  // no file yet
    ASSERT_TRUE(adopt_initdir(settings, "/media/usb/dump.txt", app_dir, dialogs, texts));
    EXPECT_EQ(settings.INITDIR, "/media/usb/");
    EXPECT_EQ(read_bytes(path),
              QByteArray("TIMEOUT|1\r\nTIMERINTERVAL|50\r\nINITDIR|/media/usb/\r\n"));

    // The same folder again writes nothing.
    write_bytes(path, "marker");
    ASSERT_TRUE(adopt_initdir(settings, "/media/usb/other.txt", app_dir, dialogs, texts));
    EXPECT_EQ(read_bytes(path), QByteArray("marker"));
}

TEST_F(ConfigTest, FailedSaveKeepsTheOldFileAndTheNewSetting) {
    locale.set(LocaleGuard::english());
    ASSERT_TRUE(save_config(settings, path, dialogs, texts));
    const QByteArray before = read_bytes(path);
    settings.INITDIR = QString(4000, u'd');
    {
        FileSizeLimit disk_full(100);
        EXPECT_FALSE(save_config(settings, path, dialogs, texts));
    }
    EXPECT_EQ(read_bytes(path), before);
    EXPECT_EQ(dialogs.messages, QStringList({"Konfiguration nicht gespeichert."}));
    EXPECT_EQ(settings.INITDIR.size(), 4000);
}
