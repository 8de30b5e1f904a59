#pragma once

#include <QPrinter>

#include "platform/printer_system.h"

// A print dialog that always answers "one copy into this PDF file": the page
// goes through the very path "Drucken" takes, without asking anyone.
class PdfFilePrinter final : public PrinterSystem {
public:
    explicit PdfFilePrinter(QString pdf_file) : pdf_file_(std::move(pdf_file)) {}

    QString default_printer_name() override { return {}; }
    QStringList printer_names() override { return {}; }
    bool print_dialog(QPrinter& printer, PrinterSetup& setup) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf_file_);
        printer.setCopyCount(1);
        setup = PrinterSetup{QString(), pdf_file_, 1};
        return true;
    }

private:
    QString pdf_file_;
};
