#include "link/dispatcher.h"

#include <gtest/gtest.h>
#include <QLocale>

#include "link/frame.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "support/recording_ftd2xx.h"
#include "support/scripted_dialogs.h"
#include "support/wire.h"

namespace {

// Index 0: counter, pressure, O2, compressor temperature, valves, alarm level,
// LEDs, phase, alarms.
QByteArray status0(int counter, int druck, int o2_raw, int temp_raw, int ventile = 0x05,
                   int stufe = 2, int leds = 0x11, int phase = 3, int alarme = 0x40) {
    QByteArray p = req_status(0);
    for (int v : {counter, druck & 0xFFFF, o2_raw, temp_raw & 0xFFFF})
        p.append(char(v >> 8)).append(char(v & 0xFF));
    for (int b : {ventile, stufe, leds, phase, alarme}) p.append(char(b));
    return p;
}

// Index 1: counter, float c (LE), gas temperature, mean O2, voltage, amplitude,
// six unused bytes, sensor quality.
QByteArray status1(int counter, int gas_raw = 215, int mwo2_raw = 930, int volt_raw = 854,
                   int amplitude = 1234, int sensor = 96) {
    QByteArray p = req_status(1);
    p.append(char(counter >> 8)).append(char(counter & 0xFF));
    p.append(hex("0080AD43"));  // 347.0
    for (int v : {gas_raw & 0xFFFF, mwo2_raw, volt_raw, amplitude})
        p.append(char(v >> 8)).append(char(v & 0xFF));
    p.append(QByteArray(6, '\x7E'));
    p.append(char(sensor));
    return p;
}

QByteArray memory_reply(int address, const QByteArray& data) {
    QByteArray p("e");
    p.append(char(address >> 8))
        .append(char(address & 0xFF))
        .append(char(data.size()))
        .append(data);
    return p;
}

QByteArray sysstat_block(int n, bool erased = false) {
    if (erased) return QByteArray(26, '\xFF');
    QByteArray b;
    b.append(char(n)).append(char(0x10)).append(char(0x27)).append(char(0x03));  // 10000 s
    for (int i = 0; i < 22; ++i) b.append(char(n + i));
    return b;
}

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() {
        texts.texts[3300] = "Softwareversion nicht numerisch:";
        QObject::connect(&dispatcher, &ReplyDispatcher::display_changed, [this] { ++displays; });
        QObject::connect(&dispatcher, &ReplyDispatcher::chart_points, [this] { ++charts; });
        QObject::connect(&dispatcher, &ReplyDispatcher::sysstat_complete, [this] { ++tables; });
        reset_geraet(geraet, clock.monotonic_ms());
    }

    void dispatch(const QByteArray& payload) { dispatcher.dispatch_reply(payload); }

    ManualClock clock;
    ScriptedDialogs dialogs;
    LanguageTable texts;
    RecordingFtd2xx ft;
    PortState port{&ft, 0};
    CommLog log{clock};
    LinkState link;
    FrameLink frames{link, port, log, dialogs, clock};
    Geraetedaten geraet;
    qint32 timeout_count = 2;
    ReplyDispatcher dispatcher{geraet, timeout_count, frames, dialogs, texts, clock};
    int displays = 0, charts = 0, tables = 0;
};

}  // namespace

TEST_F(DispatcherTest, EveryReplyResetsTheTimeoutsStampsAndRefreshes) {
    clock.advance_ms(700);
    dispatch("T");
    EXPECT_EQ(timeout_count, 0);
    EXPECT_EQ(geraet.letzte_antwort, 700);
    EXPECT_EQ(displays, 1);
    // Unknown letters and empty payloads change nothing else but do not stop anything.
    dispatch("Q123");
    dispatch(QByteArray());
    EXPECT_EQ(displays, 3);
    EXPECT_EQ(geraet.sn, "");
}

TEST_F(DispatcherTest, VersionTextAndItsNumber) {
    dispatch("?12A");
    EXPECT_EQ(geraet.sw, "12A");
    EXPECT_EQ(geraet.sw_num, "12");
    dispatch("?2.10B");
    EXPECT_EQ(geraet.sw_num, "2.1");
    EXPECT_EQ(displays, 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(DispatcherTest, VersionThatIsNoNumberWarnsAndSkipsTheRefresh) {
    clock.advance_ms(300);
    for (const char* reply : {"?ABC", "?"}) {
        dialogs.messages.clear();
        displays = 0;
        geraet.sw_num = "9";
        dispatch(reply);
        EXPECT_EQ(dialogs.messages,
                  QStringList({"Softwareversion nicht numerisch:\r\n" + geraet.sw}));
        EXPECT_EQ(geraet.sw_num, "0");
        EXPECT_EQ(displays, 0);
        EXPECT_EQ(geraet.letzte_antwort, 0);  // no stamp either
    }
}

TEST_F(DispatcherTest, OperatingHoursAndTimings) {
    dispatch(hex("78050403020103"));
    EXPECT_EQ(geraet.bstd, "12345:30");
    dispatch(hex("78000000000000"));
    EXPECT_EQ(geraet.bstd, "00000:00");
    dispatch(QByteArray("t3\x19", 3));
    EXPECT_EQ(geraet.zeiten[3], 25);
    dispatch(QByteArray("t6\xFF", 3));
    EXPECT_EQ(geraet.zeiten[6], 255);
    dispatch(QByteArray("t7\x01", 3));  // no such timing
    dispatch(QByteArray("t/\x01", 3));
    for (int i : {0, 1, 2, 4, 5}) EXPECT_EQ(geraet.zeiten[size_t(i)], 0) << i;
}

TEST_F(DispatcherTest, ShortRepliesChangeNoField) {
    geraet.bstd = "00042:10";
    dispatch(hex("780504"));
    dispatch(QByteArray("t3", 2));
    dispatch(status0(100, 5, 930, 250).left(14));
    dispatch(status1(100).left(22));
    dispatch(hex("6500"));
    EXPECT_EQ(geraet.bstd, "00042:10");
    EXPECT_EQ(geraet.zeiten[3], 0);
    EXPECT_EQ(geraet.zaehler, 0);
    EXPECT_FALSE(geraet.verbunden);
    EXPECT_EQ(charts, 0);
    EXPECT_EQ(displays, 5);  // still proof of life
}

TEST_F(DispatcherTest, StatusRecordIndexZeroWithScalingsAndSigns) {
    dispatch(status0(1000, -100, 934, -125, 0x0A, 3, 0x21, 5, 0x81));
    EXPECT_EQ(geraet.zaehler, 1000);
    EXPECT_DOUBLE_EQ(geraet.druck, -100);
    EXPECT_NEAR(geraet.o2, 93.4, 1e-9);
    EXPECT_NEAR(geraet.kompressortemp, -12.5, 1e-9);
    EXPECT_EQ(geraet.ventile, 0x0A);
    EXPECT_EQ(geraet.alarmstufe, 3);
    EXPECT_EQ(geraet.leds, 0x21);
    EXPECT_EQ(geraet.phase, 5);
    EXPECT_EQ(geraet.alarme, 0x81);
    EXPECT_FALSE(geraet.verbunden);  // index 0 does not connect
    EXPECT_EQ(charts, 0);
}

TEST_F(DispatcherTest, StatusRecordIndexOneConnectsAndStartsTheTimeBase) {
    QObject::connect(&dispatcher, &ReplyDispatcher::status_record_received,
                     [this] { EXPECT_TRUE(geraet.verbunden); });
    dispatch(status1(5000, -37, 931, 854, 40000, 97));
    EXPECT_TRUE(geraet.verbunden);
    EXPECT_DOUBLE_EQ(geraet.c, 347.0);
    EXPECT_NEAR(geraet.gastemp, -3.7, 1e-9);
    EXPECT_NEAR(geraet.mwo2, 93.1, 1e-9);
    EXPECT_NEAR(geraet.spannung, 854 / 35.6, 1e-9);
    EXPECT_EQ(geraet.amplitude, 40000);
    EXPECT_EQ(geraet.sensor1, 97);
    EXPECT_DOUBLE_EQ(geraet.laufzeit, 0.0);
    EXPECT_EQ(charts, 1);

    dispatch(status1(5036));
    EXPECT_NEAR(geraet.laufzeit, 1.44, 1e-9);
}

TEST_F(DispatcherTest, CounterWrapKeepsTimeRunningForward) {
    dispatch(status1(65500));
    dispatch(status1(20));
    EXPECT_NEAR(geraet.laufzeit, 2.24, 1e-9);
    dispatch(status1(65530 - 65536 + 65536));  // no wrap: 65530 > 20
    // Index 0 records overwrite the counter but never count as a wrap.
    dispatch(status0(3, 0, 0, 0));
    dispatch(status1(65534));
    EXPECT_NEAR(geraet.laufzeit, (65534 + 65536 - 65500) * 0.04, 1e-9);
}

TEST_F(DispatcherTest, LaufzeitRestartsOnRequest) {
    dispatch(status1(100));
    dispatch(status1(200));
    geraet.laufzeit_reset = true;
    dispatch(status1(300));
    EXPECT_DOUBLE_EQ(geraet.laufzeit, 0.0);
    EXPECT_FALSE(geraet.laufzeit_reset);
    dispatch(status1(325));
    EXPECT_NEAR(geraet.laufzeit, 1.0, 1e-9);
}

TEST_F(DispatcherTest, ParameterMemoryTexts) {
    dispatch(memory_reply(kAddrSn, "QV5-00012345"));
    dispatch(memory_reply(kAddrLp, "LP-7788     "));
    dispatch(memory_reply(kAddrVeeprom, "V1.3"));
    dispatch(memory_reply(40, "ignored"));
    EXPECT_EQ(geraet.sn, "QV5-00012345");
    EXPECT_EQ(geraet.lp, "LP-7788     ");
    EXPECT_EQ(geraet.veeprom, "V1.3");
}

TEST_F(DispatcherTest, StatusMemoryChainStopsAtTheFirstErasedBlock) {
    for (int n = 1; n <= 3; ++n) {
        dispatch(memory_reply(sysstat_address(n), sysstat_block(n)));
        ASSERT_EQ(link.outbuffer_count, n);
        EXPECT_EQ(link.outbuffer[size_t(n - 1)], req_sysstat(n + 1));
    }
    dispatch(memory_reply(sysstat_address(4), sysstat_block(4, true)));
    EXPECT_EQ(link.outbuffer_count, 3);  // nothing more asked
    EXPECT_EQ(tables, 1);
    ASSERT_EQ(geraet.sysstat.size(), 4);
    const Sysstatblock& b = geraet.sysstat[2];
    EXPECT_EQ(b.block, 2);
    EXPECT_EQ(b.sekunden, 10000);
    EXPECT_EQ(b.alarm, 3);
    EXPECT_EQ(b.werte[0], 2);
    EXPECT_EQ(b.werte[21], 23);
}

TEST_F(DispatcherTest, StatusMemoryChainEndsAfterBlock32) {
    for (int n = 1; n <= 32; ++n) dispatch(memory_reply(sysstat_address(n), sysstat_block(n)));
    EXPECT_EQ(link.outbuffer_count, 31);
    EXPECT_EQ(link.outbuffer[30], req_sysstat(32));
    EXPECT_EQ(tables, 1);
    EXPECT_EQ(geraet.sysstat.size(), 33);
    EXPECT_EQ(geraet.sysstat[32].block, 32);
}

TEST_F(DispatcherTest, ErasedFirstBlockGivesAnEmptyTable) {
    dispatch(memory_reply(sysstat_address(1), sysstat_block(1, true)));
    EXPECT_EQ(geraet.sysstat.size(), 1);
    EXPECT_EQ(tables, 1);
    EXPECT_EQ(link.outbuffer_count, 0);
}

TEST_F(DispatcherTest, OnlyAnErasedSecondsCountMarksAnEmptySlot) {
    // Seconds low byte, high byte: a low byte of 255 alone is a real block
    // (255 s, 1791 s); an erased slot reads 0xFF in both.
    const struct {
        int low, high;
        bool present;
    } cases[] = {{0xFF, 0x00, true},
                 {0xFF, 0x06, true},
                 {0xFF, 0xFE, true},
                 {0x00, 0xFF, true},
                 {0xFF, 0xFF, false}};
    for (const auto& c : cases) {
        geraet.sysstat.resize(1);
        link.clear();
        tables = 0;
        QByteArray block = sysstat_block(1);
        block[1] = char(c.low);
        block[2] = char(c.high);
        dispatch(memory_reply(sysstat_address(1), block));
        const int seconds = c.low + 256 * c.high;
        EXPECT_EQ(geraet.sysstat.size(), c.present ? 2 : 1) << seconds;
        EXPECT_EQ(tables, c.present ? 0 : 1) << seconds;
        if (c.present) {
            EXPECT_EQ(geraet.sysstat[1].sekunden, seconds);
        }
    }
}

TEST_F(DispatcherTest, CutBlockEndsTheReadingInsteadOfStalling) {
    dispatch(memory_reply(sysstat_address(1), sysstat_block(1)));
    dispatch(memory_reply(sysstat_address(2), sysstat_block(2).left(10)));
    EXPECT_EQ(tables, 1);
    EXPECT_EQ(geraet.sysstat.size(), 2);
    EXPECT_EQ(link.outbuffer_count, 1);
}
