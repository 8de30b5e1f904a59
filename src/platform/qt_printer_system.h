#pragma once

#include "platform/printer_system.h"

class QWidget;

// The real printers (CUPS on Linux) and QPrintDialog, which also offers
// printing to a PDF file.
class QtPrinterSystem final : public PrinterSystem {
public:
    void set_parent(QWidget* parent) { parent_ = parent; }

    QString default_printer_name() override;
    QStringList printer_names() override;
    bool print_dialog(QPrinter& printer, PrinterSetup& setup) override;

private:
    QWidget* parent_ = nullptr;
};
