// The emulated device takes any byte stream from the host: garbage, bad
// lengths and CRCs, requests of every letter and length, the boot loader's raw
// bytes. The first input byte chooses faults and whether correct CRCs are
// patched into plausible frames (so requests are actually answered), the
// second the chunk size, the third the time between chunks.
//
// Checked: every reply the device logs as sent is a frame the program would
// accept (unless a fault is meant to spoil it), and everything it sends
// reaches the host exactly once and in order.
#include <cstdint>

#include "fuzz_frames.h"
#include "sim/device_emulator.h"

namespace {

bool is_valid_frame(const QByteArray& bytes) {
    if (bytes.size() < 4 || bytes[0] != '&') return false;
    const int n = uchar(bytes[1]) - 0x30;
    if (n < 0 || n > kMaxPayload || bytes.size() != n + 4) return false;
    return build_frame(bytes.mid(2, n)) == bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t control = data[0];
    const int chunk = 1 + data[1] % 64;
    const int step_ms = data[2];
    QByteArray stream(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
    if (control & 0x80) patch_crcs(stream);

    DeviceEmulator device;
    DeviceFaults& faults = device.faults();
    faults.drop_every = (control & 0x01) ? 3 : 0;
    faults.corrupt_every = (control & 0x02) ? 2 : 0;
    faults.garbage = (control & 0x04) != 0;
    faults.split = (control & 0x08) != 0;
    faults.delay_ms = (control & 0x10) ? 30 : 0;
    device.boot_faults().reject_every = (control & 0x20) ? 2 : 0;
    device.boot_faults().fillers_before_reply = (control & 0x40) ? 3 : 0;
    const bool frames_intact = !faults.corrupt_every && !faults.garbage;

    QByteArray sent;
    device.set_log([&](const WireLogEntry& e) {
        if (e.direction != WireLogEntry::Direction::Sent || e.note == QStringLiteral("dropped"))
            return;
        if (!e.boot_loader && frames_intact && !is_valid_frame(e.bytes)) __builtin_trap();
        sent += e.bytes;
    });

    QByteArray received;
    qint64 now = 0;
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        device.receive_from_host(stream.mid(at, chunk), now);
        now += step_ms;
        received += device.take_output(now);
        if (!sent.startsWith(received)) __builtin_trap();
    }
    // Long after the last request everything sent has arrived, once.
    received += device.take_output(now + 3600 * 1000);
    if (received != sent || device.next_output_ms() != -1) __builtin_trap();
    return 0;
}
