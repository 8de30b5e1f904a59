#include "platform/qt_printer_system.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/dialogs.h"

QString QtPrinterSystem::default_printer_name() {
    return QPrinterInfo::defaultPrinterName();
}

QStringList QtPrinterSystem::printer_names() {
    return QPrinterInfo::availablePrinterNames();
}

bool QtPrinterSystem::print_dialog(QPrinter& printer, PrinterSetup& setup) {
    if (!setup.pdf_file.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(setup.pdf_file);
    } else if (!setup.printer_name.isEmpty()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(setup.printer_name);
    }
    printer.setCopyCount(setup.copies);
    QPrintDialog dialog(&printer, parent_ ? parent_ : QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromLatin1(kMessageTitle));
    // One page: no page range, no selection, no current page.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    setup.pdf_file = pdf ? printer.outputFileName() : QString();
    setup.printer_name = pdf ? QString() : printer.printerName();
    setup.copies = printer.copyCount();
    return true;
}
