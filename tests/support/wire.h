#pragma once

#include <QByteArray>
#include <optional>

#include "sim/device_emulator.h"

// Bytes written as hex digits, spaces allowed: hex("26 31 3F").
inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// The payload of a request the device received: the frame without its two
// start bytes and its CRC. Nothing for what the device sent or a torn frame.
inline std::optional<QByteArray> received_payload(const WireLogEntry& entry) {
    if (entry.direction != WireLogEntry::Direction::Received || entry.bytes.size() < 4) return {};
    return entry.bytes.mid(2, entry.bytes.size() - 4);
}
