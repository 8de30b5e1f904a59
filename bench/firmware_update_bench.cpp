// How long programming a 512-block firmware image takes against the emulated
// device in real time, next to its floor: the fixed waits of the update (500 ms
// after "b", 250 ms for the identity, one 40 ms poll per block, 1 s after "R")
// plus the time the blocks spend on the wire at 38400 baud.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>

#include "link/comm_log.h"
#include "link/device_data.h"
#include "link/dispatcher.h"
#include "link/frame.h"
#include "link/link_view.h"
#include "link/poll_cycle.h"
#include "link/port.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "platform/settings.h"
#include "platform/waiter.h"
#include "shell/firmware_image.h"
#include "shell/firmware_update.h"
#include "shell/info_window.h"
#include "sim/device_emulator.h"
#include "sim/emulator_ftd2xx.h"
#include "sim/firmware_image_file.h"

namespace {

constexpr int kBlocks = 512;

// Picks the one image and says yes; every message is counted.
class PickImage final : public Dialogs {
public:
    explicit PickImage(QString file) : file_(std::move(file)) {}
    void show_message(const QString& text) override { messages << text; }
    bool ask_yes_no(const QString&) override { return true; }
    bool ask_ok_cancel(const QString&) override { return true; }
    std::optional<QString> input_box(const QString&, const QString&) override { return {}; }
    QString open_file_name(const QString&, const QString&) override { return file_; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }

    QStringList messages;

private:
    QString file_;
};

void wait_until(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

void BM_ProgramImage(benchmark::State& state) {
    QTemporaryDir dir;
    const QString app_dir = dir.path() + "/";
    const QList<QByteArray> blocks = image_blocks(kBlocks);
    DeviceEmulator device;
    device.state().live.moving = false;
    QFile file(app_dir + "fw.qv5");
    file.open(QIODevice::WriteOnly);
    file.write(image_file_text("2.10", {emulated_hardware_id(device.state())}, blocks));
    file.close();

    SystemClock clock;
    EventLoopWaiter waiter;
    EmulatorFtd2xx ft{device, clock};
    PickImage dialogs(file.fileName());
    LanguageTable texts;
    Settings settings;
    settings.INITDIR = app_dir;
    CommLog log{clock};
    LinkState link;
    PortState port_state{&ft, 0};
    PollState poll_state;
    Geraetedaten geraet;
    FrameLink frames{link, port_state, log, dialogs, clock};
    Port port{port_state, log, dialogs, texts};
    ReplyDispatcher dispatcher{geraet, poll_state.timeout_count, frames, dialogs, texts, clock};
    NullLinkView view;
    PollCycle poll{{poll_state, link, frames, port, geraet, settings, log, clock, waiter, view}};
    QObject::connect(&frames, &FrameLink::reply_received, &dispatcher,
                     &ReplyDispatcher::dispatch_reply);
    QWidget main_window;
    InfoWindow progress{&main_window, texts};
    FirmwareImage image;
    FirmwareUpdate update{
        {settings, app_dir, dialogs, texts, geraet, frames, port, poll, progress, image}};
    QObject::connect(&update, &FirmwareUpdate::reinitialise, &poll, &PollCycle::connect);
    poll.timer1().setInterval(50);

    qint64 wire_us = 0;
    for (const QByteArray& block : blocks)
        wire_us += qint64(block.size()) * DeviceEmulator::kBitsPerByte * 1000000 /
                   DeviceEmulator::kBootBaud;
    const double floor_ms = FirmwareUpdate::kBootRequestWaitMs + BootLoaderLink::kHandshakeWaitMs +
                            kBlocks * BootLoaderLink::kReplyPollMs +
                            BootLoaderLink::kRestartWaitMs + wire_us / 1000.0;

    for (auto _ : state) {
        state.PauseTiming();
        poll.connect();
        wait_until([&] { return geraet.verbunden; }, 10000);
        if (!geraet.verbunden) state.SkipWithError("the emulated device did not connect");
        state.ResumeTiming();
        update.firmware_update();
    }
    const bool all = device.boot_loader().accepted_blocks() == blocks &&
                     dialogs.messages.size() == int(state.iterations());
    if (!all) state.SkipWithError("the image was not programmed intact");
    state.counters["blocks"] = kBlocks;
    state.counters["block_bytes"] = blocks.first().size();
    state.counters["floor_ms"] = floor_ms;
}
BENCHMARK(BM_ProgramImage)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
