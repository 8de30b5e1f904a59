// Time to save one service protocol and to open it again, as the buttons do
// it: the form copied into the record (or back, with the device data block
// drawn), the file written atomically in Windows-1252 (or read line by line).
#include <benchmark/benchmark.h>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "protocol/protocol_form.h"
#include "support/sample_device.h"

namespace {

// Always the same file, always replaced.
class FixedFileDialogs final : public Dialogs {
public:
    explicit FixedFileDialogs(QString path) : path_(std::move(path)) {}
    void show_message(const QString& text) override { qFatal("%s", qPrintable(text)); }
    bool ask_yes_no(const QString&) override { return true; }
    bool ask_ok_cancel(const QString&) override { return true; }
    SaveAnswer ask_save_discard(const QString&) override { return SaveAnswer::save; }
    std::optional<QString> input_box(const QString&, const QString&) override { return {}; }
    QString open_file_name(const QString&, const QString&) override { return path_; }
    QString save_file_name(const QString&, const QString&, const QString&) override {
        return path_;
    }
    QString folder_name(const QString&, const QString&) override { return {}; }

private:
    QString path_;
};

struct Rig {
    Rig() {
        set_sample_device(geraet);
        settings.INITDIR = dir.path() + QLatin1Char('/');
        frame->setGeometry(4, 0, 957, 653);
        form.tab_clicked(1);
        const QString text = QString::fromUtf8("Prüfer äöüß°");
        for (QWidget* control : form.controls().feld) {
            if (auto* line = qobject_cast<QLineEdit*>(control)) line->setText(text);
        }
    }
    QTemporaryDir dir;
    FixedFileDialogs dialogs{dir.filePath(QStringLiteral("protocol.txt"))};
    LanguageTable texts;
    Settings settings;
    ManualClock clock;
    Pruefprotokoll record;
    Geraetedaten geraet;
    QWidget window;
    QGroupBox* frame = new QGroupBox(&window);
    ProtocolForm form{
        frame, {record, geraet, ProtocolFiles{dialogs, texts, settings, clock, [](const QString&) {
                                                  return true;
                                              }}}};
};

void BM_SaveProtocol(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        if (!rig.form.save_protocol()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveProtocol)->Unit(benchmark::kMicrosecond);

void BM_OpenProtocol(benchmark::State& state) {
    Rig rig;
    rig.form.save_protocol();
    for (auto _ : state) {
        if (!rig.form.open_protocol()) state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_OpenProtocol)->Unit(benchmark::kMicrosecond);

}  // namespace
