// The frame receiver takes any byte stream: chunks of any size, garbage, bad
// lengths, bad and good CRCs. The first input byte steers the harness: bit 0
// patches a correct CRC into every plausible frame so that valid frames (and
// what the reply handler does with them) are reached, not only rejections.
#include <QCoreApplication>
#include <cstdint>

#include "fuzz_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FrameFuzzInput input;
    if (!read_frame_fuzz_input(data, size, input)) return 0;
    const int chunk = input.chunk;
    const QByteArray& stream = input.stream;

    FuzzLink fuzz;
    FrameLink& link = fuzz.frames;
    const LinkState& state = fuzz.state;
    QObject::connect(&link, &FrameLink::reply_received, [&](const QByteArray& payload) {
        if (payload.size() > kMaxPayload) __builtin_trap();
        // A reply may queue the next request, as the status memory reading does.
        link.enqueue(payload.left(4));
        link.send_next();
    });
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        link.receive(stream.mid(at, chunk));
        // Never more than one unfinished frame's worth is kept.
        if (state.rxbuffer.size() > kMaxPayload + 4 + chunk) __builtin_trap();
    }
    return 0;
}
