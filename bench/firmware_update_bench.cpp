// How long programming a 512-block firmware image takes against the emulated
// device in real time, next to its floor: the fixed waits of the update (500 ms
// after "b", 250 ms for the identity, one 40 ms poll per block, 1 s after "R")
// plus the time the blocks spend on the wire at 38400 baud.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/waiter.h"
#include "shell/app.h"
#include "shell/firmware_update.h"
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
    SaveAnswer ask_save_discard(const QString&) override { return SaveAnswer::save; }
    std::optional<QString> input_box(const QString&, const QString&) override { return {}; }
    QString open_file_name(const QString&, const QString&) override { return file_; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    QString folder_name(const QString&, const QString&) override { return {}; }

    QStringList messages;

private:
    QString file_;
};

bool write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool wait_until(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return done();
}

// The whole program (composition root, windows offscreen, real timers and
// waits) on the emulated device in this process.
void BM_ProgramImage(benchmark::State& state) {
    QTemporaryDir dir;
    const QString app_dir = dir.path() + "/";
    const QList<QByteArray> blocks = image_blocks(kBlocks);
    DeviceEmulator device;
    device.state().live.moving = false;
    const QString image = app_dir + "fw.qv5";
    if (!write_file(image,
                    image_file_text("2.10", {emulated_hardware_id(device.state())}, blocks)) ||
        !write_file(app_dir + "quorvel5.ini",
                    "TIMEOUT|1\r\nTIMERINTERVAL|50\r\nINITDIR|" + app_dir.toUtf8() + "\r\n") ||
        !QFile::copy(QStringLiteral(QV5_BUILD_BIN_DIR "langEN.txt"), app_dir + "langEN.txt")) {
        state.SkipWithError("cannot prepare the program folder");
        return;
    }
    SystemClock clock;
    EventLoopWaiter waiter;
    EmulatorFtd2xx ft{device, clock};
    PickImage dialogs(image);
    App app({app_dir, dialogs, clock, ft, waiter});
    if (!app.startup()) state.SkipWithError("the program did not start");

    qint64 wire_us = 0;
    for (const QByteArray& block : blocks)
        wire_us += qint64(block.size()) * DeviceEmulator::kBitsPerByte * 1000000 /
                   DeviceEmulator::kBootBaud;
    const double floor_ms = FirmwareUpdate::kBootRequestWaitMs + BootLoaderLink::kHandshakeWaitMs +
                            kBlocks * BootLoaderLink::kReplyPollMs +
                            BootLoaderLink::kRestartWaitMs + wire_us / 1000.0;

    for (auto _ : state) {
        state.PauseTiming();
        if (!wait_until([&] { return app.link.geraet.verbunden; }, 10000))
            state.SkipWithError("the emulated device did not connect");
        state.ResumeTiming();
        app.firmware()->firmware_update();
    }
    if (device.boot_loader().accepted_blocks() != blocks ||
        dialogs.messages.size() != int(state.iterations()))
        state.SkipWithError("the image was not programmed intact");
    state.counters["blocks"] = kBlocks;
    state.counters["block_bytes"] = blocks.first().size();
    state.counters["floor_ms"] = floor_ms;
}
BENCHMARK(BM_ProgramImage)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
