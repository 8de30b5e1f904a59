// The emulated device on the line: wire-speed timing, injected faults, the
// boot loader and the wire log.
#include <gtest/gtest.h>

#include "link/conversions.h"
#include "link/frame.h"
#include "link/requests.h"
#include "sim/device_emulator.h"
#include "support/wire.h"

namespace {

// Times on the line, in microseconds, for bytes of 11 bits.
double wire_us(int bytes, int baud) {
    return bytes * 11 * 1e6 / baud;
}

// How many output bytes have arrived by each millisecond from `from` to `to`.
std::vector<int> arrivals(DeviceEmulator& device, qint64 from, qint64 to) {
    std::vector<int> total;
    int sum = 0;
    for (qint64 ms = from; ms <= to; ++ms) {
        sum += int(device.take_output(ms).size());
        total.push_back(sum);
    }
    return total;
}

// Splits raw output into frames; false when a frame fails its CRC or bytes
// other than frames are present.
bool all_frames_valid(QByteArray bytes, QList<QByteArray>* payloads = nullptr) {
    while (!bytes.isEmpty()) {
        if (bytes[0] != '&' || bytes.size() < 4) return false;
        const int n = uchar(bytes[1]) - 0x30;
        if (n < 0 || n > kMaxPayload || bytes.size() < n + 4) return false;
        const quint16 crc = quint16(uchar(bytes[n + 2]) * 256 + uchar(bytes[n + 3]));
        if (crc != crc16(bytes.mid(1, n + 1), kCrcInit)) return false;
        if (payloads) payloads->append(bytes.mid(2, n));
        bytes.remove(0, n + 4);
    }
    return true;
}

}  // namespace

TEST(EmulatorTiming, ReplyBytesArriveAtWireSpeedOnlyOnceComplete) {
    DeviceEmulator device;
    const QByteArray request = build_frame(req_version());  // 5 bytes
    const int reply_size = 4 + 1 + int(device.state().version_text.size());
    device.receive_from_host(request, 1000);
    EXPECT_EQ(device.next_output_ms(), 1004);  // request 2.86 ms, first reply byte 0.57 ms

    const std::vector<int> got = arrivals(device, 1000, 1020);
    for (size_t i = 0; i < got.size(); ++i) {
        // Byte k is complete once the request and k reply bytes have been on the line.
        const double elapsed_us = double(i) * 1000;
        int expected = 0;
        while (expected < reply_size && wire_us(5 + expected + 1, 19200) <= elapsed_us) ++expected;
        EXPECT_EQ(got[i], expected) << "at +" << i << " ms";
    }
    EXPECT_EQ(got.back(), reply_size);
}

TEST(EmulatorTiming, LongRepliesAndQueuedRepliesTakeTheirWireTime) {
    DeviceEmulator device;
    // 8-byte request, 104-byte reply: (8 + 104) × 11 / 19200 s = 64.17 ms.
    device.receive_from_host(build_frame(hex("65 00 00 60")), 0);
    EXPECT_EQ(device.take_output(64).size(), 103);
    EXPECT_EQ(device.take_output(65).size(), 1);

    // Two requests back to back: the second reply waits for the first.
    const QByteArray two = build_frame(req_zeit(0)) + build_frame(req_zeit(1));  // 6 + 6 bytes
    device.receive_from_host(two, 1000);
    // First reply starts after the first request (6 bytes) and takes 7 bytes;
    // the second follows at once: 6 + 7 + 7 = 20 bytes = 11.46 ms.
    EXPECT_EQ(device.take_output(1011).size(), 13);
    const QByteArray rest = device.take_output(1012);
    EXPECT_EQ(rest.size(), 1);
    EXPECT_TRUE(device.take_output(5000).isEmpty());
}

TEST(EmulatorTiming, ExtraDelayHoldsEachReplyBack) {
    DeviceEmulator device;
    device.faults().delay_ms = 200;
    device.receive_from_host(build_frame(req_bstd()), 0);
    EXPECT_TRUE(device.take_output(202).isEmpty());
    EXPECT_EQ(device.take_output(210), build_frame(hex("78 04 03 02 01 00 05")));
}

TEST(EmulatorFaults, EveryNthReplyIsDropped) {
    DeviceEmulator device;
    device.faults().drop_every = 2;
    QList<int> answered;
    for (int i = 1; i <= 4; ++i) {
        device.receive_from_host(build_frame(req_version()), i * 100);
        if (!device.take_output(i * 100 + 50).isEmpty()) answered.append(i);
    }
    EXPECT_EQ(answered, (QList<int>{1, 3}));
}

TEST(EmulatorFaults, EveryNthReplyHasABadCrc) {
    DeviceEmulator device;
    device.faults().corrupt_every = 3;
    for (int i = 1; i <= 3; ++i) {
        device.receive_from_host(build_frame(req_bstd()), i * 100);
        const QByteArray out = device.take_output(i * 100 + 50);
        ASSERT_EQ(out.size(), 11);
        EXPECT_EQ(all_frames_valid(out), i != 3) << i;
        // Only the CRC is touched.
        EXPECT_EQ(out.left(9), build_frame(hex("78 04 03 02 01 00 05")).left(9));
    }
}

TEST(EmulatorFaults, GarbageBetweenFramesNeverLooksLikeAStart) {
    DeviceEmulator device;
    device.faults().garbage = true;
    QByteArray out;
    for (int i = 0; i < 20; ++i) {
        device.receive_from_host(build_frame(req_zeit(i % 7)), i * 100);
        out += device.take_output(i * 100 + 50);
    }
    EXPECT_FALSE(all_frames_valid(out));
    // With the stray bytes cut away at every "&", twenty good frames remain.
    QByteArray frames;
    int junk = 0;
    for (qsizetype at = 0; at < out.size();) {
        if (out[at] != '&') {
            ++junk;
            ++at;
            continue;
        }
        const int n = uchar(out[at + 1]) - 0x30;
        frames += out.mid(at, n + 4);
        at += n + 4;
    }
    QList<QByteArray> payloads;
    EXPECT_TRUE(all_frames_valid(frames, &payloads));
    EXPECT_EQ(payloads.size(), 20);
    EXPECT_GE(junk, 20);
}

TEST(EmulatorFaults, SplitRepliesArriveInBurstsWithPauses) {
    DeviceEmulator device;
    device.faults().split = true;
    device.receive_from_host(build_frame(req_status(1)), 0);  // 27-byte reply
    QList<qsizetype> bursts;
    QList<qint64> times;
    QByteArray out;
    for (qint64 ms = 0; ms <= 300; ++ms) {
        const QByteArray chunk = device.take_output(ms);
        if (chunk.isEmpty()) continue;
        bursts.append(chunk.size());
        times.append(ms);
        out += chunk;
    }
    EXPECT_GT(bursts.size(), 4);
    for (int i = 1; i < times.size(); ++i)
        EXPECT_GE(times[i] - times[i - 1], DeviceEmulator::kBurstPauseMs) << i;
    QList<QByteArray> payloads;
    ASSERT_TRUE(all_frames_valid(out, &payloads));
    EXPECT_EQ(payloads.value(0).size(), 23);
}

TEST(EmulatorFaults, EveryNthReplyAloneCanBeSplit) {
    DeviceEmulator device;
    device.faults().split_every = 3;
    QList<qint64> spans;  // first to last byte of each reply, in ms
    for (int reply = 1; reply <= 6; ++reply) {
        const qint64 start = reply * 1000;
        device.receive_from_host(build_frame(req_status(1)), start);
        qint64 first = -1, last = -1;
        for (qint64 ms = start; ms < start + 500; ++ms) {
            if (device.take_output(ms).isEmpty()) continue;
            if (first < 0) first = ms;
            last = ms;
        }
        spans.append(last - first);
    }
    // 27 bytes at wire speed take about 16 ms; in bursts with pauses, much longer.
    for (int i : {0, 1, 3, 4}) EXPECT_LE(spans[i], 20) << i;
    for (int i : {2, 5}) EXPECT_GE(spans[i], 4 * DeviceEmulator::kBurstPauseMs) << i;
}

TEST(EmulatorFaults, SilentOrUnpluggedDevicesNeitherActNorAnswer) {
    DeviceEmulator device;
    device.faults().silent = true;
    device.receive_from_host(build_frame(req_set_zeit(0, 1)), 0);
    EXPECT_TRUE(device.take_output(1000).isEmpty());
    EXPECT_EQ(device.state().zeiten[0], 100);

    device.faults().silent = false;
    device.receive_from_host(build_frame(req_version()), 2000);
    device.faults().unplugged = true;  // pulled while the reply is on its way
    EXPECT_TRUE(device.take_output(3000).isEmpty());
    device.receive_from_host(build_frame(req_set_zeit(0, 1)), 4000);
    device.faults().unplugged = false;
    EXPECT_TRUE(device.take_output(5000).isEmpty());
    EXPECT_EQ(device.state().zeiten[0], 100);
}

TEST(EmulatorBootLoader, IdentifiesItselfAtTheHigherSpeedOnly) {
    DeviceEmulator device;
    device.set_baud(19200);
    device.receive_from_host(build_frame(req_boot()), 0);
    EXPECT_TRUE(device.in_boot_loader());
    EXPECT_EQ(device.device_baud(), 38400u);
    EXPECT_TRUE(device.take_output(500).isEmpty());  // "b" draws no reply

    device.receive_from_host("I", 500);  // still at 19200: noise to the boot loader
    EXPECT_TRUE(device.take_output(600).isEmpty());

    device.set_baud(38400);
    device.receive_from_host("I", 600);
    // 1 + 13 bytes at 38400 baud: 4.01 ms.
    EXPECT_EQ(device.take_output(604).size(), 12);
    EXPECT_EQ(device.take_output(605).size(), 1);
    device.receive_from_host("I", 700);
    EXPECT_EQ(device.take_output(800), "qv60000_BL10_");
}

TEST(EmulatorBootLoader, AcceptsBlocksAndRestartsIntoTheFirmware) {
    DeviceEmulator device;
    device.receive_from_host(build_frame(req_boot()), 0);
    device.boot_faults().reject_every = 2;

    // Block bytes that happen to be "I" or "R" belong to the block.
    const QByteArray block1 = hex("42 10 00 00 49 52 00 FF");
    const QByteArray block2 = hex("42 10 00 08 01 02 03 04");
    device.receive_from_host(block1, 1000);
    EXPECT_TRUE(device.take_output(1005).isEmpty());  // the block is not over yet
    EXPECT_EQ(device.take_output(1040), ">");
    device.receive_from_host(QByteArray(3, '\0'), 1050);  // filler between blocks
    device.receive_from_host(block2, 1100);
    EXPECT_EQ(device.take_output(1140), "E");
    device.receive_from_host(block2, 1200);
    EXPECT_EQ(device.take_output(1240), ">");
    EXPECT_EQ(device.boot_loader().accepted_blocks(), (QList<QByteArray>{block1, block2}));
    EXPECT_EQ(device.boot_loader().rejected_blocks(), 1);

    device.receive_from_host("R", 1300);
    EXPECT_FALSE(device.in_boot_loader());
    EXPECT_EQ(device.boot_loader().restarts(), 1);
    EXPECT_TRUE(device.take_output(1400).isEmpty());

    // Back at 19200 with the normal protocol; the firmware starts afresh.
    device.set_baud(19200);
    device.receive_from_host(build_frame(req_status(0)), 5000);
    QList<QByteArray> payloads;
    ASSERT_TRUE(all_frames_valid(device.take_output(5100), &payloads));
    ASSERT_EQ(payloads.size(), 1);
    // Pre-run again: 3.7 s after the restart, although 5 s after power-on.
    EXPECT_EQ(get_byte(payloads[0], 14), 0);
}

TEST(EmulatorBootLoader, OnlyAPowerCycleEndsAnAbandonedUpdate) {
    DeviceEmulator device;
    device.set_baud(19200);
    device.receive_from_host(build_frame(req_boot()), 0);
    device.receive_from_host(build_frame(req_version()), 1000);  // the program gave up
    EXPECT_TRUE(device.take_output(2000).isEmpty());
    EXPECT_TRUE(device.in_boot_loader());

    device.power_cycle(3000);
    EXPECT_FALSE(device.in_boot_loader());
    device.receive_from_host(build_frame(req_version()), 3000);
    EXPECT_EQ(device.take_output(3100), build_frame('?' + device.state().version_text));
}

TEST(EmulatorLog, RecordsRequestsAndRepliesWithTheirTimes) {
    DeviceEmulator device;
    QList<WireLogEntry> entries;
    device.set_log([&](const WireLogEntry& e) { entries.append(e); });
    device.faults().drop_every = 2;

    device.receive_from_host(build_frame(req_version()), 1000);
    device.receive_from_host(build_frame(req_bstd()), 1100);
    QByteArray bad = build_frame(req_bstd());
    bad[4] = 0;
    device.receive_from_host(bad, 1200);
    ASSERT_EQ(entries.size(), 5);

    EXPECT_EQ(entries[0].direction, WireLogEntry::Direction::Received);
    EXPECT_EQ(entries[0].bytes, hex("26 31 3F 0A 02"));
    EXPECT_EQ(entries[0].ms, 1002);
    EXPECT_EQ(entries[1].direction, WireLogEntry::Direction::Sent);
    EXPECT_EQ(entries[1].bytes, build_frame('?' + device.state().version_text));
    EXPECT_TRUE(entries[1].note.isEmpty());
    EXPECT_EQ(entries[3].direction, WireLogEntry::Direction::Sent);
    EXPECT_TRUE(entries[3].note.contains(QStringLiteral("dropped")));
    EXPECT_EQ(entries[4].direction, WireLogEntry::Direction::Received);
    EXPECT_TRUE(entries[4].note.contains(QStringLiteral("CRC")));

    const QString line = format_log_line(entries[0]);
    EXPECT_TRUE(line.contains(QStringLiteral("1002 RECV 26 31 3F 0A 02"))) << line.toStdString();

    device.receive_from_host(build_frame(req_boot()), 2000);
    device.receive_from_host("I", 2100);
    ASSERT_EQ(entries.size(), 8);  // the "b" frame, then the raw "I" and its answer, in order
    EXPECT_TRUE(entries[6].boot_loader);
    EXPECT_EQ(entries[6].direction, WireLogEntry::Direction::Received);
    EXPECT_EQ(entries[6].bytes, "I");
    EXPECT_TRUE(entries[7].boot_loader);
    EXPECT_EQ(entries[7].direction, WireLogEntry::Direction::Sent);
    EXPECT_EQ(entries[7].bytes, BootLoader::kIdentity);
}
