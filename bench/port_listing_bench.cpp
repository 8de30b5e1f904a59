// Looking for a converter while none is attached: the poll tick does it on
// every tick. The system's full port listing against the kept list.
#include <benchmark/benchmark.h>
#include <QTemporaryDir>

#include "platform/serial_ftd2xx.h"

namespace {

void BM_SystemPortListing(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(system_ftdi_ports());
}
BENCHMARK(BM_SystemPortListing)->Unit(benchmark::kMicrosecond);

// FT_ListDevices as the reopening tick calls it, with the device folders watched.
void BM_ListDevicesBetweenChanges(benchmark::State& state) {
    QTemporaryDir app_dir;  // no emulator link in it
    SerialFtd2xx ft(app_dir.path() + "/");
    quint32 count = 0;
    for (auto _ : state) {
        ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY);
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_ListDevicesBetweenChanges)->Unit(benchmark::kMicrosecond);

}  // namespace
