#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "protocol/print_layout.h"
#include "protocol/printer_choice.h"
#include "support/locale_guard.h"
#include "support/pdf_text.h"
#include "support/sample_protocol.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printer_system.h"

namespace {

class PrintProtocolTest : public ::testing::Test {
protected:
    bool print() {
        return print_protocol({engine, choice, dialogs, texts, design_caption}, protocol,
                              [this] { ++form_reads; });
    }

    QTemporaryDir dir;
    QString pdf = dir.filePath("protokoll.pdf");
    LanguageTable texts = print_texts();
    ScriptedDialogs dialogs;
    ScriptedPrinterSystem printers;
    PrinterChoice choice{printers};
    PrintMarkup engine{dialogs, texts};
    Pruefprotokoll protocol = sample_protocol();
    int form_reads = 0;
    LocaleGuard locale{LocaleGuard::german()};
};

TEST_F(PrintProtocolTest, PdfHoldsTheWholeProtocolOncePerCopy) {
    printers.choices = {PrinterSetup{QString(), pdf, 2}};
    ASSERT_TRUE(print());
    EXPECT_EQ(form_reads, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(engine.print_margin, 0);  // the page's margin stays with the page

    // QV5_KEEP_PDF=<file> keeps the page to look at.
    if (qEnvironmentVariableIsSet("QV5_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("QV5_KEEP_PDF"));
    const QString text = pdf_text(pdf);
    for (const char* expected : {"STK-Prüfprotokoll Quorvel 5",
                                 "AOK Bayern",
                                 "Jörg O'Neill",
                                 "Maximilianstraße 12",
                                 "80539 München",
                                 "089 123456",
                                 "Grünwald",
                                 "31.01.2025",
                                 "14:05:09",
                                 "Patient's cannula replaced",
                                 "Filter gewechselt",
                                 "line four",
                                 "Nasenbrille 2 m",
                                 "QV5-004711",
                                 "93,5 %",
                                 "92,8 %",
                                 "31,3 °C",
                                 "12345:30 h",
                                 "1-schließen",
                                 "0,24 s",
                                 "Selbsttest, alle Funktionen vorhanden",
                                 "STK durchgeführt",
                                 "ausgeliefertes Zubehör",
                                 "Unterschrift Prüfer",
                                 "Unterschrift Patient"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(text.contains("line five"));
    EXPECT_FALSE(text.contains("Leistungsaufnahme"));
    // Five ticked boxes and two empty ones per copy.
    EXPECT_EQ(text.count("[X]"), 2 * 5);
    EXPECT_EQ(text.count(QRegularExpression("\\[ *\\]")), 2 * 2);
    EXPECT_EQ(text.count("STK-Prüfprotokoll"), 2);
}

TEST_F(PrintProtocolTest, CancelPrintsNothingAndAFailureSaysSo) {
    printers.choices = {std::nullopt};
    EXPECT_FALSE(print());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    const QString nowhere = dir.filePath("missing/folder/protokoll.pdf");
    printers.choices = {PrinterSetup{QString(), nowhere, 1}};
    EXPECT_FALSE(print());
    EXPECT_FALSE(QFile::exists(nowhere));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(
        "Das Prüfprotokoll konnte nicht gedruckt werden.\r\nFehler 482: "));
    EXPECT_EQ(engine.print_margin, 0);
}

}  // namespace
