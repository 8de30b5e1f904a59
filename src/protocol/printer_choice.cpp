#include "protocol/printer_choice.h"

PrinterChoice::PrinterChoice(PrinterSystem& printers) : printers_(printers) {}

QString PrinterChoice::default_printer_name() {
    return printers_.default_printer_name();
}

bool PrinterChoice::find_printer(const QString& name) {
    return !name.isEmpty() && printers_.printer_names().contains(name);
}

bool PrinterChoice::choose_printer(QPrinter& printer, const QString& pdf_proposal) {
    saved_default_printer = default_printer_name();
    if (last_printer.isEmpty() && last_pdf_file.isEmpty()) last_printer = saved_default_printer;

    // A printer removed since the last print is not offered; the dialog then
    // offers what the system has.
    PrinterSetup setup;
    // Each protocol gets its own PDF beside its file, not the last one's.
    if (!last_pdf_file.isEmpty())
        setup.pdf_file = pdf_proposal.isEmpty() ? last_pdf_file : pdf_proposal;
    else if (find_printer(last_printer))
        setup.printer_name = last_printer;
    else if (printers_.printer_names().isEmpty())
        setup.pdf_file = pdf_proposal;  // only a PDF can be made
    if (!printers_.print_dialog(printer, setup)) return false;

    last_printer = setup.printer_name;
    last_pdf_file = setup.pdf_file;
    chosen = setup;
    return true;
}
