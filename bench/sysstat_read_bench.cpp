// A full status memory read (32 blocks) against the emulated device in real
// time: the real poll timer at 50 ms, wire speed on the emulated line, the
// periodic status requests interleaved, the table built at the end.
//
// Beside the time, the counters give the two floors the read cannot beat:
// one tick per exchange on the line (each tick sends one request, the next
// tick reads its reply), and the pure wire time of all requests and replies
// at 19200 baud with 11 bits a byte.
#include <benchmark/benchmark.h>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "bench_link.h"
#include "platform/clock.h"
#include "platform/waiter.h"
#include "device/sysstat.h"
#include "link/requests.h"
#include "sim/device_emulator.h"
#include "sim/emulator_ftd2xx.h"

namespace {

constexpr int kTickMs = 50;

// Runs the event loop until `done` or the time is up.
bool run_until(const std::function<bool()>& done, int max_ms) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    check.start(2);
    QTimer::singleShot(max_ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void BM_FullSysstatRead(benchmark::State& state) {
    SystemClock clock;
    EventLoopWaiter waiter;
    DeviceEmulator device;
    device.state().fill_status_blocks(kSysstatBlocks);
    EmulatorFtd2xx ft(device, clock);
    BenchLink rig(ft, clock, waiter);
    rig.settings.TIMERINTERVAL = kTickMs;
    rig.link.poll.timer1().setInterval(kTickMs);
    Geraetedaten& geraet = rig.link.geraet;
    LinkState& link = rig.link.link_state;
    ReplyDispatcher& dispatcher = rig.link.dispatcher;
    bool complete = false;
    QString table;
    QObject::connect(&dispatcher, &ReplyDispatcher::sysstat_complete, [&] {
        table = build_sysstat_text(geraet, rig.texts, clock.now());
        complete = true;
    });

    bool counting = false;
    qint64 exchanges = 0, line_bytes = 0;
    device.set_log([&](const WireLogEntry& e) {
        if (!counting) return;
        line_bytes += e.bytes.size();
        if (e.direction == WireLogEntry::Direction::Sent) ++exchanges;
    });

    rig.link.poll.connect();
    // Connected, and the start requests all answered.
    if (!run_until([&] { return geraet.verbunden && link.outbuffer_count == 0; }, 10000)) {
        state.SkipWithError("did not connect");
        return;
    }

    qint64 total_ms = 0;
    for (auto _ : state) {
        complete = false;
        counting = true;
        QElapsedTimer timer;
        timer.start();
        geraet.sysstat.resize(1);
        rig.link.frames.enqueue(req_sysstat(1));
        if (!run_until([&] { return complete; }, 20000)) {
            state.SkipWithError("the read did not finish");
            break;
        }
        total_ms += timer.elapsed();
        counting = false;
        if (geraet.sysstat.size() != kSysstatBlocks + 1) state.SkipWithError("blocks missing");
    }
    const double runs = double(state.iterations());
    const double ms = total_ms / runs;
    const double per_run_exchanges = exchanges / runs;
    const double tick_floor_ms = per_run_exchanges * kTickMs;
    const double wire_floor_ms = line_bytes / runs * 11 * 1000.0 / 19200;
    state.counters["read_ms"] = ms;
    state.counters["exchanges"] = per_run_exchanges;
    state.counters["tick_floor_ms"] = tick_floor_ms;
    state.counters["wire_floor_ms"] = wire_floor_ms;
    state.counters["x_tick_floor"] = ms / tick_floor_ms;
    state.counters["table_lines"] = table.count(QStringLiteral("\r\n"));
}
BENCHMARK(BM_FullSysstatRead)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
