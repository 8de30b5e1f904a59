#pragma once

#include <QString>
#include <QStringList>

class QPrinter;

// What the print dialog is offered and what the technician chose in it: a
// printer by name, or a PDF file.
struct PrinterSetup {
    QString printer_name;
    QString pdf_file;  // not empty: print to this PDF file
    int copies = 1;
};

// The installed printers and the system's print dialog. Tests script the
// dialog, so printing runs without a printer or a window.
class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;

    // The system default printer, or "" when there is none.
    virtual QString default_printer_name() = 0;
    virtual QStringList printer_names() = 0;
    // Shows the print dialog for `printer`, offering `setup`; the choice is
    // written into `printer` (with everything else the dialog sets) and back
    // into `setup`. False when cancelled.
    virtual bool print_dialog(QPrinter& printer, PrinterSetup& setup) = 0;
};
