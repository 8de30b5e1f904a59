#include "platform/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "shell/config.h"
#include "support/files.h"

namespace {

// A prefix as `cmake --install` lays it out, and a home with its XDG folders.
struct Installed {
    Installed() {
        for (const char* folder : {"usr/bin", "usr/share/quorvel5", "run"})
            QDir(root.path()).mkpath(folder);
        write_bytes(root.path() + "/usr/share/quorvel5/langEN.txt", "1|0|x\r\n");
        write_bytes(root.path() + "/usr/share/quorvel5/quorvel5.ini", "TIMEOUT|2\r\n");
        qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
        qputenv("XDG_RUNTIME_DIR", (root.path() + "/run").toUtf8());
        QDir(root.path()).mkpath("home");
        old_home = qgetenv("HOME");
        qputenv("HOME", (root.path() + "/home").toUtf8());
        QFile::setPermissions(root.path() + "/run", QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner);
    }
    ~Installed() {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            qunsetenv(name);
        qputenv("HOME", old_home);
    }
    QTemporaryDir root;
    QByteArray old_home;
};

}  // namespace

TEST(AppPaths, InstalledProgramReadsSharedFilesAndWritesOnlyIntoTheUsersFolders) {
    Installed t;
    const QString r = t.root.path();
    const AppPaths paths = app_paths(r + "/usr/bin/");
    EXPECT_EQ(paths.data_dir, r + "/usr/share/quorvel5/");
    EXPECT_EQ(paths.config_dir, r + "/config/quorvel5/");
    EXPECT_EQ(paths.log_dir, r + "/data/quorvel5/");
    EXPECT_EQ(paths.link_dir, r + "/run/");
    // A new user without a documents folder: the file dialogs open at home,
    // not in whatever folder the program was started from.
    EXPECT_EQ(paths.start_dir, r + "/home/");
    QDir(r).mkpath("home/Documents");
    EXPECT_EQ(app_paths(r + "/usr/bin/").start_dir, r + "/home/Documents/");

    // A first start reads the shipped defaults; once saved, the user's own file.
    EXPECT_EQ(settings_file_to_read(paths), r + "/usr/share/quorvel5/quorvel5.ini");
    Settings settings;
    config_defaults(settings, paths.start_dir);
    NullDialogs dialogs;
    const LanguageTable texts;
    ASSERT_TRUE(save_config(settings, config_path(paths.config_dir), dialogs, texts));
    EXPECT_EQ(settings_file_to_read(paths), r + "/config/quorvel5/quorvel5.ini");
}

TEST(AppPaths, BuildFolderWithItsLanguageFilesKeepsEverythingBesideTheProgram) {
    Installed t;  // the user's folders exist, yet a portable folder ignores them
    const QString bin = t.root.path() + "/usr/share/quorvel5/";
    const AppPaths paths = app_paths(bin);
    for (const QString& dir :
         {paths.data_dir, paths.config_dir, paths.log_dir, paths.start_dir, paths.link_dir})
        EXPECT_EQ(dir, bin);
    EXPECT_EQ(settings_file_to_read(paths), bin + "quorvel5.ini");
}
