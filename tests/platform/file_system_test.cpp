// Taking a visit folder's final name in a folder that other programs write
// at the same time: the file system decides, and nothing there is replaced.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/file_system.h"

TEST(RenameExclusive, TakesOnlyAFreeNameAndLeavesWhatIsThereWhole) {
    using Rename = RenameResult (*)(const QString&, const QString&, QString*);
    struct Case {
        const char* target;  // "empty/": an empty folder is there; "full/": one with a file
        RenameResult expected;
    };
    const Case cases[] = {{"free", RenameResult::done},
                          {"empty/", RenameResult::taken},
                          {"full/", RenameResult::taken}};
    for (const Rename rename : {Rename(rename_exclusive), Rename(rename_by_claim)}) {
        for (const Case& c : cases) {
            QTemporaryDir dir;
            const QString source = dir.path() + "/.visit.writing";
            ASSERT_TRUE(QDir().mkpath(source));
            QFile(source + "/protocol.txt").open(QIODevice::WriteOnly);
            const QString name = QString(c.target).remove('/');
            const QString target = dir.path() + '/' + name;
            if (name != "free") {
                ASSERT_TRUE(QDir().mkpath(target));
            }
            if (name == "full") QFile(target + "/theirs.txt").open(QIODevice::WriteOnly);
            QString error;
            EXPECT_EQ(rename(source, target, &error), c.expected) << c.target;
            const bool moved = c.expected == RenameResult::done;
            EXPECT_EQ(QFile::exists(target + "/protocol.txt"), moved) << c.target;
            EXPECT_EQ(QFile::exists(source + "/protocol.txt"), !moved) << c.target;
            EXPECT_EQ(QFile::exists(target + "/theirs.txt"), name == "full") << c.target;
        }
        // A source that is gone fails with the system's reason.
        QTemporaryDir dir;
        QString error;
        EXPECT_EQ(rename(dir.path() + "/missing", dir.path() + "/target", &error),
                  RenameResult::failed);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(dir.path() + "/target"));
    }
}
