// One poll tick with a reply waiting at the port, without the window: time-out
// check, read, parse, dispatch into the device data, periodic requests, send.
#include <benchmark/benchmark.h>
#include <cstring>

#include "bench_link.h"
#include "link/frame.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/ftd2xx.h"
#include "platform/waiter.h"

namespace {

// Answers each status request at once with a canned record, anything else
// with a bare acknowledgement.
class LoopbackDevice final : public Ftd2xx {
public:
    FT_STATUS FT_ListDevices(quint32& count, quint32) override {
        count = 1;
        return FT_OK;
    }
    FT_STATUS FT_Open(int, FT_HANDLE& h) override {
        h = 1;
        return FT_OK;
    }
    FT_STATUS FT_Close(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetBaudRate(FT_HANDLE, quint32) override { return FT_OK; }
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, quint8, quint8, quint8) override {
        return FT_OK;
    }
    FT_STATUS FT_SetFlowControl(FT_HANDLE, quint16, quint8, quint8) override { return FT_OK; }
    FT_STATUS FT_SetDtr(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetTimeouts(FT_HANDLE, quint32, quint32) override { return FT_OK; }
    FT_STATUS FT_GetQueueStatus(FT_HANDLE, quint32& n) override {
        n = quint32(pending.size());
        return FT_OK;
    }
    FT_STATUS FT_Read(FT_HANDLE, char* buffer, quint32 to_read, quint32& returned) override {
        returned = qMin(to_read, quint32(pending.size()));
        std::memcpy(buffer, pending.constData(), returned);
        pending.remove(0, returned);
        return FT_OK;
    }
    FT_STATUS FT_Write(FT_HANDLE, const char* buffer, quint32 size, quint32& written) override {
        written = size;
        const QByteArray request(buffer + 2, qsizetype(size) - 4);
        if (request == req_status(0))
            pending +=
                build_frame(req_status(0) + QByteArray::fromHex("1234FF9C01F400D2052301A003"));
        else if (request == req_status(1))
            pending +=
                build_frame(req_status(1) +
                            QByteArray::fromHex("12340080AD4300FA00D2023A04D20000000000000060"));
        else
            pending += build_frame(request.left(1).toUpper());
        return FT_OK;
    }
    QByteArray pending;
};

class NoWait final : public Waiter {
public:
    void wait_ms(int) override {}
};

void BM_PollTickWithReplyWaiting(benchmark::State& state) {
    ManualClock clock;
    NoWait waiter;
    LoopbackDevice device;
    BenchLink rig(device, clock, waiter);
    PollCycle& poll = rig.link.poll;
    Geraetedaten& geraet = rig.link.geraet;
    poll.connect();
    // Through the start requests into the connected rhythm.
    for (int i = 0; i < 40; ++i) {
        clock.advance_ms(50);
        poll.tick();
    }
    if (!geraet.verbunden) state.SkipWithError("did not connect");

    for (auto _ : state) {
        clock.advance_ms(50);
        // A reply is waiting at every tick: the one to the request sent last tick.
        poll.tick();
    }
    state.counters["laufzeit_s"] = geraet.laufzeit;
}
BENCHMARK(BM_PollTickWithReplyWaiting);

}  // namespace
