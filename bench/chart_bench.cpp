// Cost of one chart_add_points in the full view with the picture box at the
// main window's default size, as the dispatcher triggers it for every status
// record of index 1. The sweep runs on and wraps like on the device.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QWidget>

#include "device/chart.h"
#include "device/chart_box.h"
#include "link/device_data.h"
#include "platform/geometry.h"
#include "platform/language_table.h"

namespace {

struct Rig {
    LanguageTable texts;
    Geraetedaten geraet;
    QWidget window;
    ChartBox* box = new ChartBox(&window);
    Chart chart{*box, geraet, texts};

    Rig() {
        // The box's design size at the default window size: 14295 × 5235 twips.
        window.resize(1010, 700);
        box->setGeometry(page_rect(180, 4320, 14295, 5235));
        chart.chart_setup();
    }

    // One status record later: 0.4 s of device time and moving values.
    void step(int i) {
        geraet.laufzeit = i * 0.4;
        geraet.o2 = 85 + (i % 20) * 0.6;
        geraet.amplitude = 600 + (i * 37) % 500;
        geraet.sensor1 = quint8(90 + i % 10);
        geraet.druck = (i * 53) % 1800;
        geraet.phase = quint8((i / 10) % 4);
    }
};

void BM_ChartAddPoints(benchmark::State& state) {
    Rig rig;
    int i = 0;
    for (auto _ : state) {
        rig.step(i++);
        rig.chart.chart_add_points();
    }
}
BENCHMARK(BM_ChartAddPoints)->Unit(benchmark::kMicrosecond);

// The same with the window shown, so each point's damaged region is painted.
void BM_ChartAddPointsAndPaint(benchmark::State& state) {
    Rig rig;
    rig.window.show();
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        rig.step(i++);
        rig.chart.chart_add_points();
        QApplication::processEvents();  // the pending paint of the damage
    }
}
BENCHMARK(BM_ChartAddPointsAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
