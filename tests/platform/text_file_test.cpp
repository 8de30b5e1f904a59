#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "support/file_size_limit.h"
#include "support/files.h"

TEST(Cp1252, GermanLettersAndSymbolsAreSingleBytes) {
    const QString text = QString::fromUtf8("äöüÄÖÜß° €‚„…–—™");
    const QByteArray bytes = encode_cp1252(text);
    EXPECT_EQ(bytes,
              QByteArray("\xE4\xF6\xFC\xC4\xD6\xDC\xDF\xB0\x20\x80\x82\x84\x85\x96\x97\x99"));
    EXPECT_EQ(decode_cp1252(bytes), text);
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    EXPECT_EQ(encode_cp1252(decode_cp1252(all)), all);
}

// As the published table gives them; its five unassigned bytes pass through.
TEST(Cp1252, Bytes80To9FFollowThePublishedTableBothWays) {
    QByteArray bytes;
    for (int b = 0x80; b <= 0x9F; ++b) bytes.append(char(b));
    const QString table = QString::fromUtf16(
        u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D"
        u"\u017D\u008F"
        u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D"
        u"\u017E\u0178");
    EXPECT_EQ(decode_cp1252(bytes), table);
    EXPECT_EQ(encode_cp1252(table), bytes);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(encode_cp1252(QString::fromUtf8("a→b漢")), QByteArray("a?b?"));
}

TEST(TextFile, LinesEndAtCrLfCrOrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("lines.txt");
    ASSERT_TRUE(write_bytes(path, "one\r\ntwo\nthree\rfour\r\n\r\nlast"));
    QStringList lines;
    ASSERT_TRUE(read_text_lines(path, lines));
    EXPECT_EQ(lines, QStringList({"one", "two", "three", "four", "", "last"}));
}

TEST(TextFile, ReadsGermanTextFromWindowsFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("de.txt");
    ASSERT_TRUE(write_bytes(path,
                            "11064|0|Gastemperatur (\xB0"
                            "C)\r\n"));
    QStringList lines;
    ASSERT_TRUE(read_text_lines(path, lines));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], QString::fromUtf8("11064|0|Gastemperatur (°C)"));
}

TEST(TextFile, MissingFileIsAFailure) {
    QStringList lines{"stale"};
    EXPECT_FALSE(read_text_lines("/nonexistent/folder/file.txt", lines));
    EXPECT_TRUE(lines.isEmpty());
}

TEST(TextFile, WritesBytesExactlyAsGiven) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    ASSERT_TRUE(write_text_file(path, QString::fromUtf8("Prüfer\r\n")));
    EXPECT_EQ(read_bytes(path), QByteArray("Pr\xFC"
                                           "fer\r\n"));
}

TEST(TextFile, FailedWriteLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.txt");
    ASSERT_TRUE(write_text_file(path, "old content\r\n"));
    {
        // The disk fills up half way through the new content.
        FileSizeLimit limit(64);
        EXPECT_FALSE(write_text_file(path, QString(100000, u'x')));
    }
    EXPECT_EQ(read_bytes(path), QByteArray("old content\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep.txt"}));
}

TEST(TextFile, UnwritableTargetIsAFailure) {
    QTemporaryDir dir;
    EXPECT_FALSE(write_text_file(dir.filePath("missing/sub/file.txt"), "x"));
    // A folder where the file should be cannot be replaced by it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_FALSE(write_text_file(dir.filePath("taken"), "x"));
}

namespace {

// A folder that refuses new files while a file in it stays writable, as in an
// installation where the program's folder belongs to the administrator.
// Root passes every permission check, so as root the test acts as "nobody".
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(QFile::encodeName(folder)) {
        ::chmod(folder_.constData(), 0555);
        // The saved id stays root, so root can be taken back.
        if (::geteuid() == 0) dropped_ = ::setresuid(kNobody, kNobody, 0) == 0;
    }
    ~ReadOnlyFolder() {
        if (dropped_) [[maybe_unused]]
            const int back = ::seteuid(0);
        ::chmod(folder_.constData(), 0700);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    static constexpr uid_t kNobody = 65534;

private:
    QByteArray folder_;
    bool dropped_ = false;
};

}  // namespace

TEST(TextFile, ReadOnlyFolderWritableFileIsWrittenInPlace) {
    constexpr WriteMode kInPlace = WriteMode::InPlaceIfFolderLocked;
    QTemporaryDir dir;
    const QString path = dir.filePath("quorvel5.ini");
    ASSERT_TRUE(write_text_file(path, "TIMEOUT|1\r\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    {
        ReadOnlyFolder read_only(dir.path());
        ASSERT_FALSE(QFileInfo(dir.path()).isWritable());
        // A document stays atomic-only: it is refused rather than written in place.
        EXPECT_FALSE(write_text_file(path, "kept apart\r\n"));
        EXPECT_TRUE(write_text_file(path, QString::fromUtf8("INITDIR|/home/prüfer/\r\n"), nullptr,
                                    kInPlace));
        EXPECT_EQ(read_bytes(path), QByteArray("INITDIR|/home/pr\xFC"
                                               "fer/\r\n"));
        // A file that is not there yet cannot be made.
        EXPECT_FALSE(write_text_file(dir.filePath("new.txt"), "x", nullptr, kInPlace));
        // A failure half way is still a failure.
        FileSizeLimit disk_full(8);
        EXPECT_FALSE(write_text_file(path, QString(100, u'x'), nullptr, kInPlace));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"quorvel5.ini"}));
    EXPECT_EQ(read_bytes(path).left(8), QByteArray("xxxxxxxx"));
}

TEST(Paths, FolderOfKeepsTheTrailingSlash) {
    EXPECT_EQ(folder_of("/home/tech/protokolle/a.txt"), "/home/tech/protokolle/");
    EXPECT_EQ(folder_of("a.txt"), "");
    // A backslash separates folders too, wherever the path comes from.
    EXPECT_EQ(folder_of("C:\\Service\\Status.txt"), "C:\\Service\\");
    EXPECT_EQ(folder_of("/home/tech/win\\sub/x\\Status.txt"), "/home/tech/win\\sub/x\\");
    EXPECT_EQ(with_trailing_slash("/opt/qv5"), "/opt/qv5/");
    EXPECT_EQ(with_trailing_slash("/opt/qv5/"), "/opt/qv5/");
}
