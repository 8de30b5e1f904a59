#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <QDir>
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

TEST(Paths, FolderOfKeepsTheTrailingSlash) {
    EXPECT_EQ(folder_of("/home/tech/protokolle/a.txt"), "/home/tech/protokolle/");
    EXPECT_EQ(folder_of("a.txt"), "");
    // A backslash separates folders too, wherever the path comes from.
    EXPECT_EQ(folder_of("C:\\Service\\Status.txt"), "C:\\Service\\");
    EXPECT_EQ(folder_of("/home/tech/win\\sub/x\\Status.txt"), "/home/tech/win\\sub/x\\");
    EXPECT_EQ(with_trailing_slash("/opt/qv5"), "/opt/qv5/");
    EXPECT_EQ(with_trailing_slash("/opt/qv5/"), "/opt/qv5/");
}
