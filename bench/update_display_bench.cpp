// Cost of one refresh of the "Gerät" tab, as the dispatcher triggers it after
// every reply (up to twenty times a second): live values change each time.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QWidget>

#include "device/device_tab.h"
#include "link/comm_log.h"
#include "link/device_data.h"
#include "link/frame.h"
#include "link/link_view.h"
#include "link/poll_cycle.h"
#include "link/port.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "platform/settings.h"
#include "platform/waiter.h"

namespace {

struct Rig {
    ManualClock clock;
    EventLoopWaiter waiter;
    NullDialogs dialogs;
    LanguageTable texts;
    CommLog log{clock};
    Settings settings;
    PortState port_state;
    LinkState link_state;
    PollState poll_state;
    Geraetedaten geraet;
    FrameLink frames{link_state, port_state, log, dialogs, clock};
    Port port{port_state, log, dialogs, texts};
    NullLinkView view;
    PollCycle poll{
        {poll_state, link_state, frames, port, geraet, settings, log, clock, waiter, view}};
    QWidget window;
    QWidget* page = new QWidget(&window);
    DeviceTab tab{page, geraet, frames, poll, dialogs, texts};

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
