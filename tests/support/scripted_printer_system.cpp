#include "support/scripted_printer_system.h"

#include <gtest/gtest.h>
#include <QPrinter>

bool ScriptedPrinterSystem::print_dialog(QPrinter& printer, PrinterSetup& setup) {
    offered.append(setup.pdf_file.isEmpty() ? setup.printer_name
                                            : QStringLiteral("pdf:") + setup.pdf_file);
    if (on_dialog) on_dialog();
    if (choices.empty()) {
        ADD_FAILURE() << "unexpected print dialog";
        return false;
    }
    const std::optional<PrinterSetup> choice = choices.front();
    choices.pop_front();
    if (!choice) return false;
    setup = *choice;
    if (!choice->pdf_file.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(choice->pdf_file);
    }
    printer.setCopyCount(choice->copies);
    return true;
}
