#include "link/poll_cycle.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <functional>

#include "link/requests.h"
#include "support/link_rig.h"
#include "support/wire.h"

namespace {

using Call = EmulatorFtd2xx::Call;

QList<QByteArray> start_requests() {
    QList<QByteArray> r{req_version(), req_bstd(), req_lp(), req_veeprom(), req_sn()};
    for (int n = 0; n < 7; ++n) r.append(req_zeit(n));
    r << req_status(0) << req_status(1);
    return r;
}

class PollCycleTest : public ::testing::Test {
protected:
    LinkRig rig;
};

}  // namespace

TEST_F(PollCycleTest, ConnectSendsTheFourteenStartRequestsInOrder) {
    rig.link.poll.connect();
    EXPECT_TRUE(rig.view.busy);
    EXPECT_FALSE(rig.view.tabs_enabled);
    EXPECT_TRUE(rig.link.poll.timer1().isActive());
    ASSERT_TRUE(rig.run_until_connected());
    EXPECT_EQ(rig.requests_received().mid(0, 14), start_requests());
    // The first index 1 record ends the start-up wait.
    EXPECT_FALSE(rig.view.busy);
    EXPECT_TRUE(rig.view.tabs_enabled);
    // What the start requests filled in.
    EXPECT_EQ(rig.link.geraet.sw, QString::fromLatin1(rig.device.state().version_text));
    EXPECT_EQ(rig.link.geraet.zeiten[0], 100);  // the standard timing
    EXPECT_EQ(rig.link.geraet.sn.size(), 12);
    EXPECT_FALSE(rig.link.geraet.bstd.isEmpty());
}

TEST_F(PollCycleTest, NothingPeriodicBeforeTheFirstIndexOneRecord) {
    rig.device.faults().silent = true;  // no replies at all
    rig.link.poll.connect();
    rig.run_ticks(16);
    EXPECT_FALSE(rig.link.geraet.verbunden);
    // Only the head of the start requests went out (then its resends).
    for (const QByteArray& request : rig.requests_received()) EXPECT_EQ(request, req_version());
    EXPECT_EQ(rig.link.link_state.outbuffer_count, 13);
}

TEST_F(PollCycleTest, PeriodicCadenceByTickCount) {
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected());
    // From here every queued request is answered within its tick: log each
    // request the device receives with the tick it was sent in.
    QList<QPair<int, QByteArray>> sent;
    rig.device.set_log([&](const WireLogEntry& e) {
        if (auto payload = received_payload(e))
            sent.append({rig.link.poll_state.tick_count, *payload});
    });
    while (rig.link.poll_state.tick_count < 840) rig.run_ticks(1);
    const auto between = [&](int from, int to) {
        QList<QPair<int, QByteArray>> part;
        for (const auto& entry : sent)
            if (entry.first >= from && entry.first <= to) part.append(entry);
        return part;
    };
    const QByteArray i0("i0"), i1("i1");
    // Status records every eight ticks, index 1 four ticks after index 0; the
    // operating hours at 11 and the seven timings at 21 .. 33 of every 400.
    const QList<QPair<int, QByteArray>> expected{
        {400, i0},   {404, i1},   {408, i0},   {411, "x"},  {412, i1},   {416, i0}, {420, i1},
        {421, "t0"}, {423, "t1"}, {424, i0},   {425, "t2"}, {427, "t3"}, {428, i1}, {429, "t4"},
        {431, "t5"}, {432, i0},   {433, "t6"}, {436, i1},   {440, i0}};
    EXPECT_EQ(between(400, 440), expected);
    QList<QPair<int, QByteArray>> next_round;
    for (const auto& entry : expected) next_round.append({entry.first + 400, entry.second});
    EXPECT_EQ(between(800, 840), next_round);
    const QList<QPair<int, QByteArray>> quiet{{444, i1}, {448, i0}, {452, i1}};
    EXPECT_EQ(between(441, 455), quiet);
}

TEST_F(PollCycleTest, SilentDeviceTimesOutThreeTimesThenDisconnectsAndReopens) {
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected());
    rig.link.comm_log.clear_out();
    rig.device.faults().silent = true;
    const qint64 silent_from = rig.clock.monotonic_ms();

    QList<qint64> timeouts;
    QObject::connect(&rig.link.comm_log, &CommLog::out_appended, [&](const QString& text) {
        if (text.contains(" Timeout Nr ")) timeouts.append(rig.clock.monotonic_ms());
    });
    while (rig.link.port.is_open() && rig.clock.monotonic_ms() - silent_from < 10000)
        rig.run_ticks(1);
    ASSERT_FALSE(rig.link.port.is_open());
    const QString out = rig.link.comm_log.out();
    EXPECT_TRUE(out.contains(" Timeout Nr 1 Command:"));
    EXPECT_TRUE(out.contains(" Timeout Nr 2 Command:"));
    EXPECT_TRUE(out.contains(" Timeout Nr 3 Command:"));
    EXPECT_FALSE(out.contains(" Timeout Nr 4"));
    EXPECT_TRUE(out.endsWith("Device Closed\r\n"));
    // Each report carries the date with its century and the time to the second.
    const QRegularExpression stamped(
        "^05\\.12\\.2026 21:2\\d:\\d\\d Timeout Nr \\d Command:i[01]\r$",
        QRegularExpression::MultilineOption);
    EXPECT_EQ(int(out.count(stamped)), 3) << out.toStdString();
    ASSERT_EQ(timeouts.size(), 3);
    // About one TIMEOUT apart, and the disconnect one more TIMEOUT later.
    EXPECT_NEAR(double(timeouts[1] - timeouts[0]), 1000, 60);
    EXPECT_NEAR(double(timeouts[2] - timeouts[1]), 1000, 60);
    EXPECT_NEAR(double(rig.clock.monotonic_ms() - timeouts[2]), 1000, 60);
    EXPECT_FALSE(rig.link.geraet.verbunden);
    EXPECT_EQ(rig.view.tab, 0);
    EXPECT_TRUE(rig.link.poll.timer1().isActive());
    EXPECT_EQ(rig.link.link_state.outbuffer_count, 0);
    EXPECT_TRUE(rig.link.link_state.rxbuffer.isEmpty());

    // The device answers again: the tick reopens it and connects.
    rig.device.faults().silent = false;
    int reopened = 0;
    QObject::connect(&rig.link.poll, &PollCycle::reopened, [&] { ++reopened; });
    ASSERT_TRUE(rig.run_until_connected());
    EXPECT_EQ(reopened, 1);
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
}

// A silent device given up and reopened: its first request goes out at once,
// and it gets the full count again, one TIMEOUT apart, before it is given up.
TEST_F(PollCycleTest, AReopenedSilentDeviceGetsTheFullCountAndItsFirstRequestAtOnce) {
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected());
    rig.device.faults().silent = true;
    bool reopened = false;
    QObject::connect(&rig.link.poll, &PollCycle::reopened, [&] { reopened = true; });
    for (int i = 0; i < 500 && !reopened; ++i) rig.run_ticks(1);
    const qint64 reopened_at = rig.clock.monotonic_ms();
    rig.wire.clear();
    rig.run_ticks(1);
    EXPECT_EQ(rig.requests_received(), QList<QByteArray>{req_version()});
    QList<qint64> at{reopened_at};
    QObject::connect(&rig.link.comm_log, &CommLog::out_appended, [&](const QString& text) {
        if (text.contains(" Timeout Nr ") || text.contains("Device Closed"))
            at.append(rig.clock.monotonic_ms());
    });
    for (int i = 0; i < 200 && rig.link.port.is_open(); ++i) rig.run_ticks(1);
    ASSERT_EQ(at.size(), 5);  // three time-outs, then closed
    for (int n = 1; n < 5; ++n) EXPECT_NEAR(double(at[n] - at[n - 1]), 1000, 60) << n;
}

TEST_F(PollCycleTest, ResentRequestIsTheLastCommand) {
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected());
    rig.run_ticks(3);
    rig.device.faults().silent = true;
    rig.run_ticks(5);  // a status request goes unanswered
    const QByteArray unanswered = rig.link.link_state.last_command;
    rig.wire.clear();
    rig.device.set_log([&](const WireLogEntry& e) { rig.wire.push_back(e); });
    rig.run_ticks(22);
    const QList<QByteArray> resent = rig.requests_received();
    ASSERT_GE(resent.size(), 1);
    for (const QByteArray& r : resent) EXPECT_EQ(r, unanswered);
}

TEST_F(PollCycleTest, FirstFourAutomaticOpensAreQuietTheFifthSpeaks) {
    rig.ft.set_device_count(0);
    rig.link.poll.connect();
    EXPECT_FALSE(rig.link.port.is_open());
    // Two seconds apart, kept by the ticks: no wait greys the window meanwhile.
    for (int attempt = 1; attempt <= 5; ++attempt) {
        rig.run_ticks(40);
        EXPECT_EQ(rig.ft.calls(Call::ListDevices), attempt) << attempt;
        rig.run_ticks(1);
        EXPECT_EQ(rig.ft.calls(Call::ListDevices), 1 + attempt) << attempt;
        EXPECT_EQ(rig.dialogs.messages.isEmpty(), attempt < 5) << attempt;
    }
    EXPECT_TRUE(rig.waiter.waits.empty());
    EXPECT_EQ(rig.dialogs.messages, QStringList({"T2100\r\nT2200"}));
    EXPECT_FALSE(rig.link.poll_state.open_quiet);
    // From now on silent attempts every tick, without the pause.
    rig.run_ticks(3);
    EXPECT_EQ(rig.dialogs.messages.size(), 1);
    EXPECT_EQ(rig.ft.calls(Call::ListDevices), 1 + 5 + 3);

    rig.ft.set_device_count(1);
    EXPECT_TRUE(rig.run_until_connected());
}

TEST_F(PollCycleTest, NoAutomaticOpenOffTheFirstTab) {
    rig.ft.set_device_count(0);
    rig.link.poll.connect();
    rig.view.tab = 2;
    rig.run_ticks(10);
    EXPECT_EQ(rig.ft.calls(Call::ListDevices), 1);  // only connect's own attempt
    rig.view.tab = 0;
    rig.run_ticks(41);  // after the pause between quiet attempts
    EXPECT_EQ(rig.ft.calls(Call::ListDevices), 2);
}

TEST_F(PollCycleTest, KPayloadsGoOutBackToBackInOneTick) {
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected());
    rig.run_ticks(2);
    // Let the rhythm be quiet: a tick with nothing periodic due.
    while (rig.link.poll_state.tick_count % 8 != 5) rig.run_ticks(1);
    rig.link.frames.enqueue("k1");
    rig.link.frames.enqueue("k2");
    rig.link.frames.enqueue("k3");
    rig.wire.clear();
    rig.device.set_log([&](const WireLogEntry& e) { rig.wire.push_back(e); });
    // The k burst waits 20 ms for each reply; the manual waiter moves the clock.
    rig.run_ticks(1);
    const QList<QByteArray> sent = rig.requests_received();
    EXPECT_EQ(sent, QList<QByteArray>({"k1", "k2", "k3"}));
    EXPECT_EQ(rig.link.poll_state.tick_count % 8, 6);
}

TEST_F(PollCycleTest, GarbageAndCorruptedRepliesAreSurvived) {
    rig.device.faults().garbage = true;
    rig.device.faults().corrupt_every = 5;
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected(400));
    rig.run_ticks(200);
    EXPECT_TRUE(rig.link.port.is_open());
    EXPECT_TRUE(rig.link.geraet.verbunden);
    EXPECT_TRUE(rig.link.comm_log.out().contains("Invalid CRC"));
    EXPECT_TRUE(rig.link.comm_log.out().contains(" Timeout Nr 1"));
    EXPECT_FALSE(rig.link.comm_log.out().contains("Device Closed"));
}

TEST_F(PollCycleTest, QueueOverflowReconnectsAsAfterTheFourthTimeOut) {
    rig.link.poll.connect();
    ASSERT_TRUE(rig.run_until_connected());
    rig.view.tab = 1;
    // By the time the message shows, the link is reset already, so the ticks
    // running behind the message box cannot overflow it again.
    QList<int> queued_during_message;
    rig.dialogs.on_message = [&](const QString&) {
        queued_during_message.append(rig.link.link_state.outbuffer_count);
    };
    for (int i = 0; i < 100; ++i) rig.link.frames.enqueue(req_bstd());
    EXPECT_FALSE(rig.link.frames.enqueue(req_bstd()));
    EXPECT_EQ(rig.dialogs.messages, QStringList({"Outbuffer overflow"}));
    EXPECT_EQ(queued_during_message, QList<int>({0}));
    EXPECT_EQ(rig.link.link_state.outbuffer_count, 0);
    EXPECT_FALSE(rig.link.geraet.verbunden);
    EXPECT_FALSE(rig.link.port.is_open());
    EXPECT_EQ(rig.view.tab, 0);
    EXPECT_TRUE(rig.link.poll.timer1().isActive());

    // The tick reopens the device and connects by itself.
    ASSERT_TRUE(rig.run_until_connected());
    EXPECT_EQ(rig.dialogs.messages.size(), 1);
}

// On a slow or lossy line every lost reply costs a whole time-out while the
// periodic requests come due at their normal rate; the queue must not grow, the
// live values must not pause behind the slower hours and timing requests, and
// those still come round at least once a minute.
TEST(PollCycleLossyLine, StaysConnectedWithABoundedQueueAndSteadyStatus) {
    struct Case {
        const char* name;
        int drop_every;
        int corrupt_every;
        bool garbage;
        int delay_ms;
    };
    for (const Case& c :
         {Case{"drop 4", 4, 0, false, 0}, Case{"drop 3 garbage corrupt 5", 3, 5, true, 0},
          Case{"delay 700", 0, 0, false, 700}}) {
        LinkRig rig;
        rig.device.faults().drop_every = c.drop_every;
        rig.device.faults().corrupt_every = c.corrupt_every;
        rig.device.faults().garbage = c.garbage;
        rig.device.faults().delay_ms = c.delay_ms;
        rig.link.poll.connect();
        ASSERT_TRUE(rig.run_until_connected(2000)) << c.name;
        int records = 0;
        qint64 last_status = rig.clock.monotonic_ms(), longest_gap = 0;
        QSet<QByteArray> refreshed;  // hours and timing replies this minute
        QList<LinkPhase> phases;     // no trouble told while the values keep coming
        QObject::connect(&rig.link.poll, &PollCycle::phase_changed,
                         [&](LinkPhase phase) { phases.append(phase); });
        QObject::connect(
            &rig.link.frames, &FrameLink::reply_received, [&](const QByteArray& reply) {
                if (reply.startsWith('i')) {
                    ++records;
                    longest_gap = std::max(longest_gap, rig.clock.monotonic_ms() - last_status);
                    last_status = rig.clock.monotonic_ms();
                }
                if (reply.startsWith('x')) refreshed.insert("x");
                if (reply.startsWith('t')) refreshed.insert(reply.left(2));
            });
        // Four minutes; the queue overflowed within the first minute before.
        for (int minute = 1; minute <= 4; ++minute) {
            records = 0;
            refreshed.clear();
            rig.run_ticks(1200);
            EXPECT_TRUE(rig.link.geraet.verbunden) << c.name << ", minute " << minute;
            EXPECT_GE(records, 10) << c.name << ", minute " << minute;
            EXPECT_EQ(refreshed.size(), 8) << c.name << ", minute " << minute;
        }
        EXPECT_LE(longest_gap, 3000) << c.name;
        EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << c.name;
        EXPECT_TRUE(phases.isEmpty()) << c.name << ": " << phases.size() << " changes";
        EXPECT_FALSE(rig.link.comm_log.out().contains("Device Closed")) << c.name;
        // At most each of the ten periodic requests once.
        EXPECT_LE(rig.link.poll_state.queue_high_water, 10) << c.name;
        EXPECT_GE(rig.link.poll_state.queue_high_water, 2) << c.name;
    }
}
