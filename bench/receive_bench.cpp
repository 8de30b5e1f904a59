// Throughput of the frame receiver on a stream of status records, as the poll
// tick feeds it: chunks as they come off the port, frames split across chunks.
#include <benchmark/benchmark.h>

#include "link/frame.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/null_dialogs.h"

namespace {

QByteArray status_stream(int records) {
    QByteArray stream;
    for (int i = 0; i < records; ++i) {
        QByteArray index0 = req_status(0);
        index0.append(QByteArray::fromHex("1234FF9C01F400D2052301A003"));
        QByteArray index1 = req_status(1);
        index1.append(QByteArray::fromHex("12340080AD4300FA00D2023A04D20000000000000060"));
        stream += build_frame(index0) + build_frame(index1);
    }
    return stream;
}

void BM_ReceiveStatusRecords(benchmark::State& state) {
    const int chunk = int(state.range(0));
    const QByteArray stream = status_stream(200);
    ManualClock clock;
    NullDialogs dialogs;
    CommLog log(clock);
    LinkState link_state;
    PortState port;
    FrameLink link(link_state, port, log, dialogs, clock);
    qint64 frames = 0;
    QObject::connect(&link, &FrameLink::reply_received, [&frames](const QByteArray&) { ++frames; });
    for (auto _ : state) {
        for (int at = 0; at < stream.size(); at += chunk) link.receive(stream.mid(at, chunk));
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.counters["frames"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
// 48 bytes arrive in one 50 ms tick at 19200 baud 8N2; larger chunks show the headroom.
BENCHMARK(BM_ReceiveStatusRecords)->Arg(48)->Arg(512);

}  // namespace
