#pragma once

#include <QByteArray>

#include "link/conversions.h"
#include "link/frame.h"

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
