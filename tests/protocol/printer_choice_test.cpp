#include "protocol/printer_choice.h"

#include <gtest/gtest.h>
#include <QPrinter>

#include "support/scripted_printer_system.h"

namespace {

PrinterSetup on_printer(const QString& name, int copies = 1) {
    return {name, QString(), copies};
}

TEST(PrinterChoiceTest, OffersTheLastChoiceAndNeverTouchesTheSystemDefault) {
    ScriptedPrinterSystem system;
    system.default_name = "A";
    system.names = {"A", "B", "C"};
    PrinterChoice choice(system);
    QPrinter printer;

    system.choices = {on_printer("B", 3), std::nullopt, on_printer("C")};
    EXPECT_TRUE(choice.choose_printer(printer));  // first print: the system default
    EXPECT_EQ(choice.chosen.copies, 3);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_FALSE(choice.choose_printer(printer));  // cancelled: B stays the choice
    system.default_name = "C";                     // changed outside the program
    EXPECT_TRUE(choice.choose_printer(printer));
    EXPECT_EQ(system.offered, QStringList({"A", "B", "B"}));
    EXPECT_EQ(choice.last_printer, "C");
    EXPECT_EQ(choice.saved_default_printer, "C");
    EXPECT_EQ(system.default_printer_name(), "C");
}

TEST(PrinterChoiceTest, PdfFilesAndVanishedOrMissingPrinters) {
    ScriptedPrinterSystem system;  // no printer installed, no default
    PrinterChoice choice(system);
    QPrinter printer;
    system.choices = {std::nullopt, PrinterSetup{QString(), "/tmp/p.pdf", 1}, on_printer("B")};
    EXPECT_FALSE(choice.choose_printer(printer));
    EXPECT_TRUE(choice.choose_printer(printer));
    EXPECT_EQ(printer.outputFileName(), "/tmp/p.pdf");
    EXPECT_TRUE(choice.choose_printer(printer));  // the PDF file is offered again
    system.names = {"A"};                         // B went away meanwhile
    system.choices = {std::nullopt};
    EXPECT_FALSE(choice.choose_printer(printer));
    EXPECT_EQ(system.offered, QStringList({"", "", "pdf:/tmp/p.pdf", ""}));
    EXPECT_FALSE(choice.find_printer("a"));  // names compare exactly
    EXPECT_TRUE(choice.find_printer("A"));
}

}  // namespace
