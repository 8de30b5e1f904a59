// Reading firmware image files: what is accepted, and the one message for
// each way a file can be wrong.
#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "link/device_data.h"
#include "platform/language_table.h"
#include "shell/firmware_image.h"
#include "support/files.h"
#include "support/scripted_dialogs.h"

namespace {

struct ImageCase {
    const char* name;
    QByteArray content;
    bool ok;
    QString message;  // the one message shown, or empty
    QString version;
    QStringList hardware;
    int blocks;
};

class ReadImage : public ::testing::Test {
protected:
    ReadImage() {
        for (int id : {107, 3800, 3801, 3802, 3803, 3804, 3805})
            texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
    }
    QString file(const QByteArray& content) {
        const QString path = dir.path() + "/image.qv5";
        EXPECT_TRUE(write_bytes(path, content));
        return path;
    }

    QTemporaryDir dir;
    LanguageTable texts;
    ScriptedDialogs dialogs;
    FirmwareImage image;
};

TEST_F(ReadImage, AcceptsWellFormedFilesAndNamesEachFault) {
    const QByteArray head = "VERSION=2.10\r\nHARDWARE=S13,E0001|S14,E0001\r\n";
    const ImageCase cases[] = {
        {"two blocks",
         head + "4200FF\r\n42ab\r\n",
         true,
         "",
         "2.10",
         {"S13,E0001", "S14,E0001"},
         2},
        {"key in lower case with spaces",
         "version = 2.10 \r\nHardware=S13,E0001\r\n4201\r\n",
         true,
         "",
         "2.10",
         {"S13,E0001"},
         1},
        {"hardware entries kept as written",
         "VERSION=3\r\nHARDWARE= S13,E0001|S14,E0001 \n42\n",
         true,
         "",
         "3",
         {" S13,E0001", "S14,E0001 "},
         1},
        {"blank lines and spaces around blocks",
         head + "\r\n  4201  \r\n\r\n\t4202\r\n",
         true,
         "",
         "2.10",
         {"S13,E0001", "S14,E0001"},
         2},
        {"no blocks at all", head, true, "", "2.10", {"S13,E0001", "S14,E0001"}, 0},
        {"two = in the first line",
         "VERSION=2=10\r\nHARDWARE=S13,E0001\r\n",
         false,
         "T3800",
         "",
         {},
         0},
        {"first line without =",
         "VERSION 2.10\r\nHARDWARE=S13,E0001\r\n",
         false,
         "T3800",
         "",
         {},
         0},
        {"another first key", "VERSIO=2.10\r\nHARDWARE=S13,E0001\r\n", false, "T3800", "", {}, 0},
        {"two = in the second line",
         "VERSION=2.10\r\nHARDWARE=S13=E0001\r\n",
         false,
         "T3801",
         "",
         {},
         0},
        {"another second key", "VERSION=2.10\r\nHW=S13,E0001\r\n", false, "T3801", "", {}, 0},
        {"empty hardware list", "VERSION=2.10\r\nHARDWARE=\r\n4201\r\n", false, "T3802", "", {}, 0},
        {"data line not starting with 42",
         head + "4201\r\n4202\r\n4302\r\n",
         false,
         "T38032",
         "",
         {},
         0},
        {"data line with a non-hex digit", head + "4201\r\n42G1\r\n", false, "T38031", "", {}, 0},
        {"data line with an odd digit count", head + "420\r\n", false, "T38030", "", {}, 0},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        image.version = "old";
        EXPECT_EQ(read_image(file(c.content), image, dialogs, texts), c.ok);
        EXPECT_EQ(dialogs.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        if (c.ok) {
            EXPECT_EQ(image.version, c.version);
            EXPECT_EQ(image.hardware, c.hardware);
            EXPECT_EQ(image.blocks.size(), c.blocks);
        } else {
            // Nothing half-read is left to program.
            EXPECT_TRUE(image.version.isEmpty() && image.hardware.isEmpty() &&
                        image.blocks.isEmpty());
        }
    }
}

TEST_F(ReadImage, BlocksAreTheTrimmedLinesInFileOrder) {
    ASSERT_TRUE(read_image(file("VERSION=1\r\nHARDWARE=S1,E0\r\n 4201 \r\n420A0b\r\n"), image,
                           dialogs, texts));
    EXPECT_EQ(image.blocks, (QStringList{"4201", "420A0b"}));
}

TEST_F(ReadImage, UnreadableFilesNameThePathAndTheReason) {
    const QString missing = dir.path() + "/missing.qv5";
    EXPECT_FALSE(read_image(missing, image, dialogs, texts));
    const QString one_line = file("VERSION=2.10\r\n");
    EXPECT_FALSE(read_image(one_line, image, dialogs, texts));
    EXPECT_EQ(dialogs.messages,
              (QStringList{"T3804 " + missing + " T3805\r\nNo such file or directory",
                           "T3804 " + one_line + " T3805\r\nT107"}));
}

TEST(HardwareId, IsSoftwareTextAndParameterMemoryText) {
    Geraetedaten geraet;
    geraet.sw = "13";
    geraet.veeprom = "0001";
    EXPECT_EQ(hardware_id(geraet), "S13,E0001");
}

}  // namespace
