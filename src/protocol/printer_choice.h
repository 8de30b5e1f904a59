#pragma once

#include <QString>

#include "platform/printer_system.h"

class QPrinter;

// Which printer the protocol goes to. The system's default printer is never
// changed: the program keeps the last choice itself and offers it again.
class PrinterChoice {
public:
    explicit PrinterChoice(PrinterSystem& printers);

    QString default_printer_name();
    // True when a printer of exactly that name is installed.
    bool find_printer(const QString& name);
    // Offers the last choice (the system default on the first print) in the
    // print dialog and sets `printer` up as chosen, copies included. When the
    // last choice was a PDF file, or no printer is installed, the PDF file
    // offered is `pdf_proposal` (when given). False when the technician
    // cancelled.
    bool choose_printer(QPrinter& printer, const QString& pdf_proposal = QString());

    // The system default when the last choice began.
    QString saved_default_printer;
    // The printer of the last choice this run ("" at start), or the PDF file
    // it went to.
    QString last_printer;
    QString last_pdf_file;
    // What the last successful choice asked for.
    PrinterSetup chosen;

private:
    PrinterSystem& printers_;
};
