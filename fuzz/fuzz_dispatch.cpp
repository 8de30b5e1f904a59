// Replies of any content, through the receiver into the dispatcher: short
// records, unknown letters, odd addresses, status memory chains. The first
// input byte steers: bit 0 patches valid CRCs in, bit 1 starts connected, bit 2
// starts a status memory pass. Queued requests go out before each chunk.
#include <cstdint>

#include "fuzz_frames.h"
#include "link/dispatcher.h"
#include "platform/language_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const LanguageTable texts;
    FrameFuzzInput input;
    if (!read_frame_fuzz_input(data, size, input)) return 0;
    const int chunk = input.chunk;
    const QByteArray& stream = input.stream;

    FuzzLink link;
    FrameLink& frames = link.frames;
    LinkState& state = link.state;
    Geraetedaten geraet;
    geraet.verbunden = input.control & 2;
    qint32 timeout_count = 0;
    ReplyDispatcher dispatcher(geraet, timeout_count, frames, link.dialogs, texts, link.clock);
    QObject::connect(&frames, &FrameLink::reply_received, &dispatcher,
                     &ReplyDispatcher::dispatch_reply);
    QObject::connect(&frames, &FrameLink::queue_overflow, [&] { state.clear(); });
    if (input.control & 4) dispatcher.start_sysstat();
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        link.clock.advance_ms(7);
        frames.send_next();
        frames.receive(stream.mid(at, chunk));
        // Status memory blocks only ever land at 1..33.
        if (geraet.sysstat.size() > 34 || geraet.sysstat.isEmpty()) __builtin_trap();
        if (state.outbuffer_count < 0 || state.outbuffer_count > LinkState::kQueueCapacity)
            __builtin_trap();
    }
    return 0;
}
