// Time to print one filled-in protocol to a PDF file, as "Drucken" does after
// the print dialog: printer set-up, the page through the markup engine, and
// Qt's PDF writer finishing the file.
#include <benchmark/benchmark.h>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include "platform/null_dialogs.h"
#include "platform/printer_system.h"
#include "protocol/print_layout.h"
#include "protocol/printer_choice.h"
#include "support/sample_protocol.h"

namespace {

// A print dialog that always chooses the same PDF file.
class PdfPrinters final : public PrinterSystem {
public:
    explicit PdfPrinters(QString file) : file_(std::move(file)) {}
    QString default_printer_name() override { return {}; }
    QStringList printer_names() override { return {}; }
    bool print_dialog(QPrinter& printer, PrinterSetup& setup) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file_);
        setup = {QString(), file_, 1};
        return true;
    }

private:
    QString file_;
};

void BM_PrintProtocolToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath("protokoll.pdf");
    PdfPrinters printers(file);
    PrinterChoice choice(printers);
    NullDialogs dialogs;
    const LanguageTable texts = print_texts();
    PrintMarkup engine(dialogs, texts);
    Pruefprotokoll protocol = sample_protocol();
    for (auto _ : state) {
        if (!print_protocol({engine, choice, dialogs, texts, design_caption}, protocol, {}))
            state.SkipWithError("print failed");
    }
    state.counters["pdf_bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_PrintProtocolToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
