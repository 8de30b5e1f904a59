// Cost of one refresh of the "Gerät" tab, as the dispatcher triggers it after
// every reply (up to twenty times a second): live values change each time.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QWidget>

#include "bench_link.h"
#include "device/device_tab.h"
#include "platform/clock.h"
#include "platform/waiter.h"
#include "support/recording_ftd2xx.h"

namespace {

// The program's own link on a converter that is always there; the benchmark
// writes the device record itself, so nothing needs to answer.
struct Rig {
    ManualClock clock;
    EventLoopWaiter waiter;
    RecordingFtd2xx ft;
    BenchLink bench{ft, clock, waiter};
    Geraetedaten& geraet = bench.link.geraet;
    QWidget window;
    QWidget* page = new QWidget(&window);
    DeviceTab tab{page, geraet, bench.link.frames, bench.link.poll, bench.dialogs, bench.texts};

    Rig() {
        window.resize(1010, 725);
        page->setGeometry(0, 24, 1010, 700);
        tab.fill_timing_lists();
        window.show();
        geraet.verbunden = true;
        geraet.sn = QStringLiteral("QV5-00012345");
        geraet.lp = QStringLiteral("LP-778899001");
        geraet.bstd = QStringLiteral("01234:50");
        geraet.sw = QStringLiteral("123");
    }

    // A status record's worth of change, different on every call.
    void step(int i) {
        geraet.o2 = 90.0 + (i % 60) * 0.1;
        geraet.mwo2 = 92.0 + (i % 20) * 0.1;
        geraet.druck = (i * 37) % 2000 - 200;
        geraet.sensor1 = quint8(i % 100);
        geraet.spannung = (800 + i % 90) / 35.6;
        geraet.gastemp = 30.0 + (i % 50) * 0.1;
        geraet.kompressortemp = 50.0 + (i % 70) * 0.1;
        geraet.c = 340.0 + (i % 30) * 0.25;
        geraet.amplitude = 1000 + i % 800;
        geraet.phase = quint8(i % 4);
        geraet.ventile = quint8(i % 8);
        geraet.alarme = quint8(i % 256);
        geraet.alarmstufe = quint8(i % 4);
        geraet.leds = quint8(i % 32);
        geraet.zeiten[size_t(i % 7)] = quint8(i % 256);
    }
};

void BM_UpdateDisplayConnected(benchmark::State& state) {
    Rig rig;
    int i = 0;
    for (auto _ : state) {
        rig.step(i++);
        rig.tab.update_display();
    }
}
BENCHMARK(BM_UpdateDisplayConnected)->Unit(benchmark::kMicrosecond);

// The refresh while not connected walks the whole window for "t_" boxes.
void BM_UpdateDisplayDisconnected(benchmark::State& state) {
    Rig rig;
    rig.geraet.verbunden = false;
    for (auto _ : state) rig.tab.update_display();
}
BENCHMARK(BM_UpdateDisplayDisconnected)->Unit(benchmark::kMicrosecond);

}  // namespace
