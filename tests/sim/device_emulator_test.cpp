#include "sim/device_emulator.h"

#include <gtest/gtest.h>

#include <set>

#include "link/comm_log.h"
#include "link/conversions.h"
#include "link/frame.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "support/scripted_dialogs.h"
#include "support/wire.h"

namespace {

// The device on one side; on the other the program's own frame receiver, so
// every reply is checked for length and CRC exactly as the program checks it.
class EmulatorTest : public ::testing::Test {
protected:
    EmulatorTest() {
        QObject::connect(&link, &FrameLink::reply_received,
                         [this](const QByteArray& payload) { replies.append(payload); });
    }

    // Writes one request at `now`, waits `wait_ms`, returns the replies that arrived.
    QList<QByteArray> exchange(const QByteArray& payload, int wait_ms = 100) {
        device.receive_from_host(build_frame(payload), now);
        return collect(wait_ms);
    }
    QList<QByteArray> collect(int wait_ms) {
        now += wait_ms;
        replies.clear();
        link.receive(device.take_output(now));
        return replies;
    }
    // The single reply to a request.
    QByteArray ask(const QByteArray& payload) {
        const QList<QByteArray> got = exchange(payload);
        EXPECT_EQ(got.size(), 1) << "request " << payload.toHex(' ').constData();
        return got.value(0);
    }

    DeviceEmulator device;
    qint64 now = 1000;

    ManualClock clock;
    ScriptedDialogs dialogs;
    PortState port;
    CommLog log{clock};
    LinkState link_state;
    FrameLink link{link_state, port, log, dialogs, clock};
    QList<QByteArray> replies;
};

}  // namespace

TEST_F(EmulatorTest, VersionTextReadsAsANumberWithoutItsLastCharacter) {
    const QByteArray reply = ask(req_version());
    EXPECT_EQ(reply, '?' + device.state().version_text);
    bool numeric = false;
    reply.mid(1).chopped(1).toInt(&numeric);
    EXPECT_TRUE(numeric) << reply.constData();

    device.state().version_text = "1410B";
    EXPECT_EQ(ask(req_version()), "?1410B");
}

TEST_F(EmulatorTest, OperatingHoursTravelLeastSignificantDigitFirst) {
    ASSERT_TRUE(device.state().set_hours_text("012345"));  // 01234:50
    EXPECT_EQ(ask(req_bstd()), hex("78 04 03 02 01 00 05"));

    EXPECT_EQ(ask(req_set_bstd("987650")), "X");
    EXPECT_EQ(ask(req_bstd()), hex("78 05 06 07 08 09 00"));
    EXPECT_EQ(device.state().hours_text(), "987650");

    // Digits out of range and short writes are refused and change nothing.
    EXPECT_EQ(ask(hex("58 0A 00 00 00 00 00")), "!");
    EXPECT_EQ(ask(hex("58 00 00 00 00 00 06")), "!");
    EXPECT_EQ(ask(hex("58 00 00")), "!");
    EXPECT_EQ(device.state().hours_text(), "987650");

    EXPECT_FALSE(device.state().set_hours_text("01234:5"));
    EXPECT_FALSE(device.state().set_hours_text("012346"));
}

TEST_F(EmulatorTest, OperatingHoursCountWhileTheDeviceRuns) {
    ASSERT_TRUE(device.state().set_hours_text("012345"));
    now = 9 * 60 * 1000;
    EXPECT_EQ(ask(req_bstd()), hex("78 04 03 02 01 00 05"));
    now = 10 * 60 * 1000;  // ten minutes carry into the hours
    EXPECT_EQ(ask(req_bstd()), hex("78 05 03 02 01 00 00"));
    now = 31 * 60 * 1000;
    ask(req_bstd());
    EXPECT_EQ(device.state().hours_text(), "012352");

    // A written value counts from the moment it was written.
    EXPECT_EQ(ask(req_set_bstd("999995")), "X");
    now += 10 * 60 * 1000;
    ask(req_bstd());
    EXPECT_EQ(device.state().hours_text(), "000000");
}

TEST_F(EmulatorTest, ParameterMemoryReadsEchoAddressAndCount) {
    device.state().set_serial_number("ABC");
    const QByteArray sn = ask(req_sn());
    EXPECT_EQ(sn.left(4), hex("65 00 10 0C"));
    EXPECT_EQ(get_u16be(sn, 2), kAddrSn);
    EXPECT_EQ(sn.mid(4), "ABC         ");

    const QByteArray lp = ask(req_lp());
    EXPECT_EQ(get_u16be(lp, 2), kAddrLp);
    EXPECT_EQ(lp.size(), 4 + 12);
    EXPECT_EQ(lp.mid(4), device.state().read_eeprom(kAddrLp, 12));

    const QByteArray veeprom = ask(req_veeprom());
    EXPECT_EQ(get_u16be(veeprom, 2), kAddrVeeprom);
    EXPECT_EQ(veeprom.mid(4), "0001");

    // Past the end of the memory reads as erased; more than one frame can
    // carry is refused.
    EXPECT_EQ(ask(hex("65 03 FE 04")).mid(4), hex("FF FF FF FF"));
    EXPECT_EQ(ask(hex("65 00 00 60")).size(), 4 + 96);
    EXPECT_EQ(ask(hex("65 00 00 61")), "!");
}

TEST_F(EmulatorTest, ParameterMemoryWritesAreAcknowledgedAndReadBack) {
    EXPECT_EQ(ask(req_set_sn("NEW-0001")), "E");
    EXPECT_EQ(ask(req_sn()).mid(4), "NEW-0001    ");

    // A write announcing more bytes than it carries is refused whole.
    EXPECT_EQ(ask(hex("45 00 10 04 41 42")), "!");
    EXPECT_EQ(ask(req_sn()).mid(4), "NEW-0001    ");
    EXPECT_EQ(ask(hex("45 03 FF 02 11 22")), "E");  // the byte past the end is lost
    EXPECT_EQ(ask(hex("65 03 FF 02")).mid(4), hex("11 FF"));
}

TEST_F(EmulatorTest, StatusMemoryHoldsFilledBlocksThenErasedOnes) {
    device.state().fill_status_blocks(3);
    for (int n = 1; n <= 4; ++n) {
        const QByteArray reply = ask(req_sysstat(n));
        ASSERT_EQ(reply.size(), 4 + kSysstatBlockSize);
        EXPECT_EQ(get_u16be(reply, 2), sysstat_address(n));
        if (n <= 3) {
            // Positions as the program reads them: byte 6 not 0xFF marks a block.
            EXPECT_NE(get_byte(reply, 6), 0xFF) << n;
            EXPECT_GT(get_u16le(reply, 6), 0);
            const double mean_o2 = get_byte(reply, 9 + 11) * 0.5;
            EXPECT_NEAR(mean_o2, device.state().live.o2_percent, 2.0);
            EXPECT_LE(get_byte(reply, 9 + 10), get_byte(reply, 9 + 11));
            EXPECT_LE(get_byte(reply, 9 + 11), get_byte(reply, 9 + 12));
        } else {
            EXPECT_EQ(reply.mid(4), QByteArray(kSysstatBlockSize, char(0xFF)));
        }
    }

    // A full memory: every block present, none looks erased.
    device.state().fill_status_blocks(32);
    std::set<int> block_numbers;
    for (int n = 1; n <= 32; ++n) {
        const QByteArray reply = ask(req_sysstat(n));
        EXPECT_NE(get_byte(reply, 6), 0xFF) << n;
        block_numbers.insert(get_byte(reply, 5));
    }
    EXPECT_EQ(block_numbers.size(), 32u);

    device.state().fill_status_blocks(0);
    EXPECT_EQ(get_byte(ask(req_sysstat(1)), 6), 0xFF);
}

TEST_F(EmulatorTest, ValveTimingsAreReadAndWrittenByIndexCharacter) {
    for (int n = 0; n < 7; ++n) {
        const QByteArray reply = ask(req_zeit(n));
        ASSERT_EQ(reply.size(), 3);
        EXPECT_EQ(reply.left(2), req_zeit(n));
        EXPECT_EQ(get_byte(reply, 3), DeviceState::kStandardZeiten[size_t(n)]) << n;
    }
    EXPECT_EQ(ask(req_set_zeit(3, 200)), "T");
    EXPECT_EQ(ask(req_zeit(3)), hex("74 33 C8"));

    EXPECT_EQ(ask(hex("74 37")), "!");
    EXPECT_EQ(ask(hex("54 37 10")), "!");
    EXPECT_EQ(ask(hex("54 31")), "!");
    EXPECT_EQ(ask(hex("74")), "!");
    EXPECT_EQ(get_byte(ask(req_zeit(1)), 3), 144);
}

TEST_F(EmulatorTest, StatusRecordsAreLaidOutAsTheProgramReadsThem) {
    LiveSettings& live = device.state().live;
    live.moving = false;
    live.gas_temp_c = -12.3;
    live.compressor_temp_c = 41.6;
    live.supply_volts = 24.0;
    live.pressure_hpa = 1013;
    live.amplitude = 512;
    live.sensor_quality = 98;
    live.alarm_level = 2;
    live.alarms = 0x21;
    live.leds = 0x10;

    const QByteArray r0 = ask(req_status(0));
    ASSERT_EQ(r0.size(), 15);
    EXPECT_EQ(r0.left(2), "i0");
    EXPECT_EQ(get_s16be(r0, 5), 1013);
    EXPECT_DOUBLE_EQ(get_u16be(r0, 7) * 0.1, 93.0);
    EXPECT_DOUBLE_EQ(get_s16be(r0, 9) * 0.1, 41.6);
    EXPECT_EQ(get_byte(r0, 12), 2);
    EXPECT_EQ(get_byte(r0, 13), 0x14);  // the device adds its "O2 ok" lamp
    EXPECT_EQ(get_byte(r0, 15), 0x21);

    const QByteArray r1 = ask(req_status(1));
    ASSERT_EQ(r1.size(), 23);
    EXPECT_EQ(r1.left(2), "i1");
    EXPECT_GT(get_float(r1, 5), 300.0);  // speed of sound in cold oxygen-rich gas
    EXPECT_LT(get_float(r1, 5), 330.0);
    EXPECT_EQ(get_s16be(r1, 9), -123);
    EXPECT_DOUBLE_EQ(get_u16be(r1, 11) * 0.1, 93.0);
    EXPECT_NEAR(get_u16be(r1, 13) / 35.6, 24.0, 0.02);
    EXPECT_EQ(get_u16be(r1, 15), 512);
    EXPECT_EQ(get_byte(r1, 23), 98);

    // Both records carry the same counter at the same moment.
    device.receive_from_host(build_frame(req_status(0)) + build_frame(req_status(1)), now);
    const QList<QByteArray> both = collect(100);
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(get_u16be(both[0], 3), get_u16be(both[1], 3));

    EXPECT_EQ(ask(hex("69 32")), "!");
    EXPECT_EQ(ask(hex("69")), "!");
}

TEST_F(EmulatorTest, LiveValuesMoveThroughTheOperatingPhases) {
    const auto& z = DeviceState::kStandardZeiten;
    std::set<int> phases;
    bool a1_opened = false, a2_opened = false;
    int pressure_min = 100000, pressure_max = -100000;
    for (int step = 0; step < 300; ++step) {  // 60 s in steps of 0.2 s
        const qint64 ms = step * 200;
        now = ms;
        const QByteArray r = ask(req_status(0));
        const int phase = get_byte(r, 14), valves = get_byte(r, 11);
        phases.insert(phase);
        if (ms < z[0] * 40) {
            EXPECT_EQ(phase, 0) << ms;  // pre-run
            continue;
        }
        ASSERT_TRUE(phase == 1 || phase == 2) << ms;
        // Each column uses its own inlet; only the other column's exhaust opens.
        EXPECT_EQ(valves & 1, phase == 2 ? 1 : 0) << ms;
        EXPECT_EQ(valves & (phase == 1 ? 2 : 4), 0) << ms;
        a1_opened |= (valves & 2) != 0;
        a2_opened |= (valves & 4) != 0;
        pressure_min = std::min(pressure_min, get_s16be(r, 5));
        pressure_max = std::max(pressure_max, get_s16be(r, 5));
    }
    EXPECT_TRUE(a1_opened);
    EXPECT_TRUE(a2_opened);
    EXPECT_EQ(phases, (std::set<int>{0, 1, 2}));
    EXPECT_GT(pressure_max - pressure_min, 200);
    EXPECT_GT(pressure_min, 0);

    // After a few minutes the concentration has settled near its target.
    now = 5 * 60 * 1000;
    const double o2 = get_u16be(ask(req_status(0)), 7) * 0.1;
    const double mean = get_u16be(ask(req_status(1)), 11) * 0.1;
    EXPECT_NEAR(o2, 93.0, 1.0);
    EXPECT_NEAR(mean, 93.0, 1.0);
}

TEST_F(EmulatorTest, TickCounterCounts25PerSecondAndWraps) {
    device.state().counter_start = 65530;
    const auto counter_at = [this](qint64 ms) {
        now = ms;
        return get_u16be(ask(req_status(1)), 3);
    };
    EXPECT_EQ(counter_at(0), 65530);
    EXPECT_EQ(counter_at(200), 65535);
    EXPECT_EQ(counter_at(240), 0);
    EXPECT_EQ(counter_at(1000), 19);
    EXPECT_EQ(counter_at(2000), 44);
    EXPECT_EQ(counter_at(2000 + 65536 * 40), 44);
}

TEST_F(EmulatorTest, RefusedRequestsAreAnsweredWithExclamationMark) {
    EXPECT_EQ(ask("Z"), "!");
    EXPECT_EQ(ask("k1"), "!");
    EXPECT_EQ(ask(QByteArray()), "!");  // the empty frame 26 30 69 03, answered at once
    EXPECT_EQ(ask(hex("65 00")), "!");
    EXPECT_EQ(ask(hex("45 00 10")), "!");
}

TEST_F(EmulatorTest, RequestFramesAreFoundLikeTheProgramFindsReplies) {
    // Garbage before the start byte, and a frame split over two writes.
    device.receive_from_host(hex("78 78 26 31"), now);
    EXPECT_TRUE(collect(50).isEmpty());
    device.receive_from_host(hex("3F 0A 02"), now);
    EXPECT_EQ(collect(50).size(), 1);

    // A frame with a broken CRC is not answered; the good one behind it is.
    QByteArray bad = build_frame(req_bstd());
    bad[bad.size() - 1] = char(bad[bad.size() - 1] ^ 1);
    device.receive_from_host(bad + build_frame(req_version()), now);
    QList<QByteArray> got = collect(100);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].left(1), "?");

    // A length byte out of range is skipped.
    device.receive_from_host(hex("26 2F") + build_frame(req_bstd()), now);
    got = collect(100);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].left(1), "x");

    // Two requests in one write get two replies, in order.
    device.receive_from_host(build_frame(req_zeit(0)) + build_frame(req_zeit(6)), now);
    got = collect(100);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].left(2), req_zeit(0));
    EXPECT_EQ(got[1].left(2), req_zeit(6));
}

TEST_F(EmulatorTest, WrittenStateSurvivesOtherTraffic) {
    EXPECT_EQ(ask(req_set_zeit(0, 25)), "T");
    EXPECT_EQ(ask(req_set_sn("SN")), "E");
    ask(req_status(0));
    ask(req_status(1));
    ask(req_sysstat(1));
    EXPECT_EQ(get_byte(ask(req_zeit(0)), 3), 25);
    EXPECT_EQ(ask(req_sn()).mid(4).trimmed(), "SN");
}
