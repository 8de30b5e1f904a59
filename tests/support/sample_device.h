#pragma once

#include "link/device_data.h"

// A connected device with plausible values: a serial and board number, the
// operating hours, live values in the middle of a cycle and the valve timings.
// Sets these fields only; what the test set before stays.
inline void set_sample_device(Geraetedaten& g) {
    g.verbunden = true;
    g.sn = QStringLiteral("QV5-00012345");
    g.lp = QStringLiteral("LP-778899001");
    g.bstd = QStringLiteral("01234:50");
    g.sw = QStringLiteral("123");
    g.o2 = 93.4;
    g.mwo2 = 92.96;
    g.druck = -123;
    g.sensor1 = 96;
    g.spannung = 854 / 35.6;
    g.gastemp = 41.6;
    g.kompressortemp = 41.6;
    g.c = 347.0;
    g.amplitude = 1512;
    g.phase = 3;
    g.zeiten = {100, 144, 144, 27, 134, 27, 134};
}
