// Reading firmware image files: what is accepted, and the one message for
// each way a file can be wrong.
#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "platform/language_table.h"
#include "shell/firmware_image.h"
#include "support/files.h"
#include "support/scripted_dialogs.h"

namespace {

TEST(ReadImage, AcceptsWellFormedFilesAndNamesEachFault) {
    LanguageTable texts;
    for (int id : {107, 3800, 3801, 3802, 3803, 3804, 3805, 6210})
        texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
    QTemporaryDir dir;
    const QString path = dir.path() + "/image.qv5";
    const QString missing = dir.path() + "/missing.qv5";
    const QByteArray head = "VERSION=2.10\r\nHARDWARE=S13,E0001|S14,E0001\r\n";
    const QStringList both{"S13,E0001", "S14,E0001"};
    struct Case {
        QByteArray content;  // "-": no file at all
        QString message;     // the one message, empty when the image is good
        QString version = {};
        QStringList hardware = {};
        QStringList blocks = {};
    };
    const Case cases[] = {
        {head + "4200FF\r\n\r\n  42ab \r\n\t4201\r\n",
         "",
         "2.10",
         both,
         {"4200FF", "42ab", "4201"}},
        {"version = 2.10 \r\nHardware=S13,E0001\r\n4201\r\n", "", "2.10", {"S13,E0001"}, {"4201"}},
        // Hardware entries stay as written, spaces included.
        {"VERSION=3\nHARDWARE= S13,E0001|S14,E0001 \n42\n",
         "",
         "3",
         {" S13,E0001", "S14,E0001 "},
         {"42"}},
        {head + "\r\n", "T6210"},  // nothing to program
        {"VERSION=2=10\r\nHARDWARE=S13,E0001\r\n", "T3800"},
        {"VERSION 2.10\r\nHARDWARE=S13,E0001\r\n", "T3800"},
        {"VERSIO=2.10\r\nHARDWARE=S13,E0001\r\n", "T3800"},
        {"VERSION=2.10\r\nHARDWARE=S13=E0001\r\n", "T3801"},
        {"VERSION=2.10\r\nHW=S13,E0001\r\n", "T3801"},
        {"VERSION=2.10\r\nHARDWARE=\r\n4201\r\n", "T3802"},
        {head + "4201\r\n4202\r\n4302\r\n", "T38032"},
        // Lines that are not whole hex bytes would be programmed as garbage.
        {head + "4201\r\n42G1\r\n", "T38031"},
        {head + "420\r\n", "T38030"},
        {"VERSION=2.10\r\n", "T3804 " + path + " T3805\r\nT107"},
        {"-", "T3804 " + missing + " T3805\r\nNo such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        ScriptedDialogs dialogs;
        FirmwareImage image{"old", {"old"}, {"42"}};
        const bool exists = c.content != "-";
        ASSERT_TRUE(!exists || write_bytes(path, c.content));
        EXPECT_EQ(read_image(exists ? path : missing, image, dialogs, texts), c.message.isEmpty());
        EXPECT_EQ(dialogs.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        // A bad file leaves nothing half-read to program.
        EXPECT_EQ(image.version, c.version);
        EXPECT_EQ(image.hardware, c.hardware);
        EXPECT_EQ(image.blocks, c.blocks);
    }
}

}  // namespace
