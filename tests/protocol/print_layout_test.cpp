#include "protocol/print_layout.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include "protocol/printer_choice.h"
#include "support/locale_guard.h"
#include "support/recording_target.h"
#include "support/sample_protocol.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printer_system.h"

namespace {

constexpr double kWidth = 180;

const RecordingTarget::Text* find_text(const RecordingTarget& target, const QString& text) {
    for (const RecordingTarget::Text& t : target.texts)
        if (t.text == text) return &t;
    return nullptr;
}

class PrintLayoutTest : public ::testing::Test {
protected:
    std::optional<PrintFailure> lay_out() {
        engine.print_margin = 15;
        return lay_out_protocol(engine, page, kWidth, protocol, design_caption, texts);
    }
    const RecordingTarget::Text* find(const QString& text) const { return find_text(page, text); }
    QVector<RecordingTarget::Line> lines_below(double y) const {
        QVector<RecordingTarget::Line> below;
        for (const RecordingTarget::Line& l : page.lines)
            if (l.y1 > y) below.append(l);
        return below;
    }

    LanguageTable texts = print_texts();
    ScriptedDialogs dialogs;
    PrintMarkup engine{dialogs, texts};
    Pruefprotokoll protocol = sample_protocol();
    RecordingTarget page;
    LocaleGuard locale{LocaleGuard::german()};
};

TEST_F(PrintLayoutTest, EntriesPrintAsTypedAndBoxesEndAtTheRightMargin) {
    ASSERT_FALSE(lay_out());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    for (const char* typed : {"Jörg O'Neill", "Patient's cannula replaced", "Maximilianstraße 12",
                              "80539 München", "Grünwald", "31.01.2025", "14:05:09"})
        EXPECT_NE(find(QString::fromUtf8(typed)), nullptr) << typed;
    // Title centred on the page, bold 15, and the font back to 11 after it.
    const RecordingTarget::Text* title = find("STK-Prüfprotokoll Quorvel 5");
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->x + title->font.size / 10 * 1.5 * title->text.size() / 2, kWidth / 2);
    EXPECT_EQ(find("Krankenkasse")->font.size, 11);
    EXPECT_FALSE(find("Krankenkasse")->font.bold);
    // Device data: label, then value and unit in bold; timings in seconds.
    EXPECT_TRUE(find("93,5 %")->font.bold);
    EXPECT_NE(find("Gastemperatur"), nullptr);
    EXPECT_NE(find("1-schließen"), nullptr);
    EXPECT_NE(find("0,24 s"), nullptr);
    EXPECT_NE(find("12345:30 h"), nullptr);
    // Ticked boxes show "[X" "]", others "[" "]"; all end at W - 15.
    int ticked = 0, empty = 0;
    for (const RecordingTarget::Text& t : page.texts) {
        if (t.text == "[X") ++ticked;
        if (t.text == "[") ++empty;
        if (t.text == "]") {
            EXPECT_NEAR(t.x + 1.1, kWidth - 15, 1e-9);
        }
    }
    EXPECT_EQ(ticked, 5);  // four function tests and the STK; the power test is not printed
    EXPECT_EQ(empty, 2);   // a greyed and an unticked box
    EXPECT_EQ(find("Leistungsaufnahme"), nullptr);
}

TEST_F(PrintLayoutTest, RulesUnderAddressRemarksAndSignature) {
    ASSERT_FALSE(lay_out());
    // Rows 1 .. 3: the left rule 0.4 of a line above the right one.
    ASSERT_GE(page.lines.size(), 8);
    for (int row = 0; row < 3; ++row) {
        const RecordingTarget::Line& left = page.lines[2 * row];
        const RecordingTarget::Line& right = page.lines[2 * row + 1];
        EXPECT_NEAR(right.y1 - left.y1, 0.4 * 5.5, 1e-9);
        EXPECT_DOUBLE_EQ(left.x1, 15 + 11 * 1.1);
        EXPECT_EQ(left.width, 10);
    }
    // Remarks of six lines: four ruled lines, the rest dropped; the empty
    // third line advances half a line before its rule.
    const RecordingTarget::Text* heading = find("Bemerkungen");
    ASSERT_NE(heading, nullptr);
    EXPECT_TRUE(heading->font.bold);
    EXPECT_EQ(heading->font.size, 13);
    EXPECT_NE(find("line four"), nullptr);
    EXPECT_EQ(find("line five"), nullptr);
    const auto below = lines_below(heading->y);
    ASSERT_EQ(below.size(), 4 + 4 + 1);
    for (const RecordingTarget::Line& l : below) {
        EXPECT_DOUBLE_EQ(l.x1, 15);
        EXPECT_DOUBLE_EQ(l.x2, kWidth - 15);
    }
    EXPECT_NEAR(below[2].y1 - below[1].y1, 5.5 / 2 + 0.4 * 5.5, 1e-9);
    EXPECT_NEAR(below[1].y1 - below[0].y1, 5.5 + 0.4 * 5.5, 1e-9);
    // Accessories of one line: that line and three empty ruled lines.
    EXPECT_NEAR(below[7].y1 - below[5].y1, 2 * (5.5 / 2 + 0.4 * 5.5), 1e-9);
    EXPECT_GT(find("Unterschrift Patient")->x, find("Unterschrift Prüfer")->x);
}

TEST_F(PrintLayoutTest, DeviceDataOnScreenStartsAtTheBoxEdge) {
    // Drawn into the form's box with the margin of a print before left in
    // force, the block would start 15 units to the right.
    engine.print_margin = 0;
    RecordingTarget box;
    draw_device_data(engine, box, 300, 10, protocol.geraetedaten, design_caption, texts);
    ASSERT_FALSE(box.texts.isEmpty());
    EXPECT_EQ(box.texts[0].text, "Gerätedaten");
    EXPECT_EQ(box.texts[0].font.size, 12);
    EXPECT_DOUBLE_EQ(box.texts[1].x, 0);
    ASSERT_NE(find_text(box, "QV5-004711 "), nullptr);
    EXPECT_DOUBLE_EQ(find_text(box, "QV5-004711 ")->x, 150);
    EXPECT_EQ(box.font.size, 10);

    RecordingTarget nothing;
    protocol.geraetedaten.verbunden = false;
    draw_device_data(engine, nothing, 300, 10, protocol.geraetedaten, design_caption, texts);
    EXPECT_TRUE(nothing.texts.isEmpty());
}

}  // namespace
