#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "platform/printer_system.h"

// Installed printers as the test says, and a print dialog that answers from a
// script. A PDF choice really sets the printer up for that file.
class ScriptedPrinterSystem final : public PrinterSystem {
public:
    QString default_printer_name() override { return default_name; }
    QStringList printer_names() override { return names; }
    bool print_dialog(QPrinter& printer, PrinterSetup& setup) override;

    QString default_name;
    QStringList names;
    std::deque<std::optional<PrinterSetup>> choices;  // nullopt: cancel
    // Runs inside every print dialog, as the link may act while it is open.
    std::function<void()> on_dialog;
    // What each dialog offered: the printer name, or "pdf:" and the file.
    QStringList offered;
};
