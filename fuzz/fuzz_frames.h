#pragma once

#include <QByteArray>
#include <cstdint>

#include "link/comm_log.h"
#include "link/conversions.h"
#include "link/frame.h"
#include "platform/clock.h"
#include "platform/null_dialogs.h"

// Patches a correct CRC into every plausible frame of the stream, so that the
// fuzzer reaches what happens to valid frames, not only their rejection.
inline void patch_crcs(QByteArray& bytes) {
    for (qsizetype at = 0; at + 4 <= bytes.size(); ++at) {
        if (bytes[at] != '&') continue;
        const int n = uchar(bytes[at + 1]) - 0x30;
        if (n < 0 || n > kMaxPayload || at + n + 4 > bytes.size()) continue;
        const quint16 crc = crc16(bytes.constData() + at + 1, n + 1, kCrcInit);
        bytes[at + n + 2] = char(crc >> 8);
        bytes[at + n + 3] = char(crc & 0xFF);
    }
}

// The frame harnesses read their input alike: a control byte, a chunk size,
// then the byte stream, with valid CRCs patched in when bit 0 is set.
struct FrameFuzzInput {
    uint8_t control = 0;
    int chunk = 1;
    QByteArray stream;
};

inline bool read_frame_fuzz_input(const uint8_t* data, size_t size, FrameFuzzInput& input) {
    if (size < 2) return false;
    input.control = data[0];
    input.chunk = 1 + data[1] % 64;
    input.stream = QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    if (input.control & 1) patch_crcs(input.stream);
    return true;
}

// A frame link with no device behind it, as the frame harnesses drive it.
struct FuzzLink {
    ManualClock clock;
    NullDialogs dialogs;
    CommLog log{clock};
    LinkState state;
    PortState port;
    FrameLink frames{state, port, log, dialogs, clock};
};
