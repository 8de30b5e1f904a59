// The archive folder on a share that is not mounted or refuses writing: the
// technician is told and chooses; no second, split archive is made.
#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include "platform/language_table.h"
#include "platform/settings.h"
#include "support/scripted_dialogs.h"
#include "visits/archive_folder.h"

TEST(ArchiveFolder, AMissingFolderIsNeverMadeAgainAndARefusalGivesItsReason) {
    QTemporaryDir dir;
    LanguageTable texts;
    texts.texts[6500] = "gone: %1";
    texts.texts[6504] = "refused: %1: %2";
    texts.texts[6505] = "Keine Berechtigung";
    texts.texts[6506] = "read-only";
    const QString share = dir.path() + "/share/Quorvel5";
    struct Case {
        std::deque<int> choices;  // retry, another, cancel
        bool mounted_on_retry;
        QString chosen;  // the folder dialog's answer
        QString result;
    };
    const QString other = dir.path() + "/other";
    const Case cases[] = {
        {{0, 2}, false, {}, {}},        // still gone, then cancelled
        {{0}, true, {}, share},         // the share came back
        {{1}, false, other, other},     // another folder, made and kept
        {{1}, false, QString(""), {}},  // the dialog cancelled
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.ARCHIVDIR = share;
        ScriptedDialogs dialogs;
        dialogs.choices = c.choices;
        if (!c.chosen.isNull()) dialogs.files = {c.chosen};
        if (c.mounted_on_retry) dialogs.on_question = [&](const QString&) { QDir().mkpath(share); };
        int saved = 0;
        EXPECT_EQ(ensure_archive_folder(settings, dialogs, texts, [&] { return ++saved > 0; }),
                  c.result);
        // Retry, another folder, cancel (their captions are not in this table).
        EXPECT_EQ(dialogs.questions.first(), "gone: " + QDir::toNativeSeparators(share) + " [||]");
        EXPECT_EQ(settings.ARCHIVDIR, c.result == other ? other : share);
        EXPECT_EQ(saved, c.result == other ? 1 : 0);
        const QStringList opened_at = c.chosen.isNull() ? QStringList() : QStringList{dir.path()};
        EXPECT_EQ(dialogs.dialog_dirs, opened_at);
        EXPECT_EQ(QDir(share).exists(), c.mounted_on_retry);
        QDir(dir.path() + "/share").removeRecursively();
        QDir(other).removeRecursively();
    }

    // A folder the system will not let us write names the reason; reading
    // needs no such right.
    Settings settings;
    settings.ARCHIVDIR = "/proc/sys";
    ScriptedDialogs dialogs;
    dialogs.choices = {1};
    EXPECT_EQ(ensure_archive_folder(settings, dialogs, texts, [] { return true; }), "");
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith("refused: /proc/sys: "))
        << dialogs.questions[0].toStdString();
    EXPECT_FALSE(dialogs.questions[0].contains("refused: /proc/sys:  ["));
    EXPECT_EQ(ensure_archive_folder(
                  settings, dialogs, texts, [] { return true; }, ArchiveUse::read),
              "/proc/sys");
}
