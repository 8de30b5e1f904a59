#include "link/frame.h"

#include <gtest/gtest.h>

#include "link/conversions.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "support/recording_ftd2xx.h"
#include "support/scripted_dialogs.h"
#include "support/wire.h"

namespace {

class FrameLinkTest : public ::testing::Test {
protected:
    FrameLinkTest() {
        QObject::connect(&link, &FrameLink::reply_received, [this](const QByteArray& payload) {
            replies.append(payload);
            waiting_during_dispatch.append(state.waiting_reply);
        });
        QObject::connect(&link, &FrameLink::frame_shown,
                         [this](const QString& text) { shown.append(text); });
        QObject::connect(&link, &FrameLink::queue_overflow, [this] {
            ++overflows;
            state.clear();
        });
        log.start();
    }

    ManualClock clock;
    ScriptedDialogs dialogs;
    RecordingFtd2xx ft;
    PortState port{&ft, RecordingFtd2xx::kHandle};
    CommLog log{clock};
    LinkState state;
    FrameLink link{state, port, log, dialogs, clock};

    QList<QByteArray> replies;
    QList<bool> waiting_during_dispatch;
    QStringList shown;
    int overflows = 0;
};

}  // namespace

TEST(Frame, ReferenceFrames) {
    EXPECT_EQ(build_frame(hex("3F")), hex("26313F0A02"));
    EXPECT_EQ(build_frame(hex("78")), hex("2631783221"));
    EXPECT_EQ(build_frame(hex("6930")), hex("263269306850"));
    EXPECT_EQ(build_frame(QByteArray()), hex("26306903"));
    EXPECT_EQ(build_frame(req_set_sn("ABC")).at(1), char(0x40));
}

TEST_F(FrameLinkTest, SendFrameWritesTheWholeFrameOnceAndLogsThePayload) {
    EXPECT_EQ(link.send_frame(hex("6930")), 0);
    ASSERT_EQ(ft.writes.size(), 1);
    EXPECT_EQ(ft.writes[0], hex("263269306850"));
    EXPECT_TRUE(log.comm_log().startsWith("OUT 000.00            69 30 \r\n"));
}

TEST_F(FrameLinkTest, SendFrameWithoutDeviceLogsButWritesNothing) {
    port.ft_handle = 0;
    EXPECT_EQ(link.send_frame(hex("3F")), -1);
    EXPECT_TRUE(ft.writes.isEmpty());
    EXPECT_TRUE(log.comm_log().startsWith("OUT "));
    EXPECT_TRUE(log.comm_log().contains("3F \r\n"));
}

TEST_F(FrameLinkTest, QueueSendsInOrderWithOneRequestOutstanding) {
    ASSERT_TRUE(link.enqueue(req_version()));
    ASSERT_TRUE(link.enqueue(req_bstd()));
    link.send_next();
    link.send_next();  // still waiting for the first reply
    ASSERT_EQ(ft.writes.size(), 1);
    EXPECT_EQ(ft.writes[0], build_frame(req_version()));
    EXPECT_EQ(state.last_command, req_version());
    EXPECT_TRUE(state.waiting_reply);
    EXPECT_EQ(state.outbuffer_count, 1);

    link.receive(build_frame(QByteArray("?12A")));
    EXPECT_FALSE(state.waiting_reply);
    link.send_next();
    ASSERT_EQ(ft.writes.size(), 2);
    EXPECT_EQ(ft.writes[1], build_frame(req_bstd()));
    EXPECT_EQ(state.outbuffer_count, 0);
    link.send_next();  // nothing queued
    EXPECT_EQ(ft.writes.size(), 2);
}

TEST_F(FrameLinkTest, HundredFirstEntryOverflowsAndEmptiesTheQueue) {
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(link.enqueue(req_status(i % 2)));
    EXPECT_FALSE(link.enqueue(req_bstd()));
    EXPECT_EQ(dialogs.messages, QStringList({"Outbuffer overflow"}));
    EXPECT_EQ(overflows, 1);
    EXPECT_EQ(state.outbuffer_count, 0);
}

TEST_F(FrameLinkTest, ReplyIsDispatchedThenWaitingClearedThenShown) {
    state.waiting_reply = true;
    link.receive(hex("26313F0A02"));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0], QByteArray("?"));
    // The dispatcher still sees the request outstanding; it is freed afterwards.
    EXPECT_EQ(waiting_during_dispatch, QList<bool>({true}));
    EXPECT_FALSE(state.waiting_reply);
    EXPECT_EQ(shown, QStringList({"26 31 3F 0A 02 "}));
    EXPECT_TRUE(state.rxbuffer.isEmpty());
    EXPECT_TRUE(log.comm_log().contains("IN  000.00            26 31 3F 0A 02 \r\n"));
}

TEST_F(FrameLinkTest, FrameSplitAcrossChunksAfterGarbage) {
    link.receive(hex("787826313F"));
    EXPECT_TRUE(replies.isEmpty());
    link.receive(hex("0A02"));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0], QByteArray("?"));
    EXPECT_TRUE(state.rxbuffer.isEmpty());
    // Both chunks are logged as read, garbage included.
    EXPECT_TRUE(log.comm_log().contains("78 78 26 31 3F \r\n"));
    EXPECT_TRUE(log.out().isEmpty());
}

TEST_F(FrameLinkTest, CorruptedFrameIsReportedAndTheNextOneFound) {
    QByteArray corrupted = build_frame(QByteArray("x\x05\x04\x03\x02\x01\x03", 7));
    corrupted[corrupted.size() - 1] = char(corrupted.back() ^ 0x01);
    const QByteArray good = build_frame(req_status(1));
    link.receive(corrupted + good);
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0], req_status(1));
    EXPECT_TRUE(log.out().startsWith("Invalid CRC"));
    EXPECT_EQ(log.out().size(), QString("Invalid CRC0A03/0A02").size());
    EXPECT_TRUE(state.rxbuffer.isEmpty());
}

TEST_F(FrameLinkTest, CrcReportShowsReceivedThenComputed) {
    link.receive(hex("26313F0A03") + "?");
    EXPECT_EQ(log.out(), "Invalid CRC0A03/0A02");
    EXPECT_TRUE(replies.isEmpty());
    EXPECT_TRUE(log.comm_log().contains("ERR "));
}

TEST_F(FrameLinkTest, StartByteInsideARejectedFrameIsTried) {
    // A bad frame whose payload hides a complete valid frame.
    const QByteArray inner = build_frame(req_version());
    QByteArray outer = hex("2635") + inner + hex("0000");
    link.receive(outer);
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0], req_version());
}

TEST_F(FrameLinkTest, LengthOutOfRange) {
    link.receive(hex("262F000000"));
    // The clock stands at 5 December 2026, 21:20:00.
    EXPECT_EQ(log.out(), "05.12.2026 21:20:00:Invalid clen-1\r\n");
    EXPECT_TRUE(state.rxbuffer.isEmpty() || state.rxbuffer.at(0) != '&');

    log.clear_out();
    state.rxbuffer.clear();
    link.receive(hex("2627"));
    EXPECT_TRUE(log.out().isEmpty());  // fewer than five bytes: wait
    link.receive(hex("414243"));
    EXPECT_TRUE(log.out().endsWith(":Invalid clen-9\r\n"));

    log.clear_out();
    state.rxbuffer.clear();
    link.receive(hex("2695") + QByteArray(10, 'a'));  // n = 101
    EXPECT_TRUE(log.out().contains(":Invalid clen101\r\n"));
}

TEST_F(FrameLinkTest, LongFrameWaitsForAllItsBytes) {
    QByteArray payload(53, 'e');
    const QByteArray frame = build_frame(payload);
    ASSERT_EQ(frame.at(1), char(0x65));
    link.receive(frame.left(56));
    EXPECT_TRUE(replies.isEmpty());
    EXPECT_EQ(state.rxbuffer.size(), 56);
    link.receive(frame.mid(56));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0], payload);

    // The longest payload accepted is 100 bytes.
    link.receive(build_frame(QByteArray(100, 'z')));
    ASSERT_EQ(replies.size(), 2);
    EXPECT_EQ(replies[1].size(), 100);
}

TEST_F(FrameLinkTest, EmptyPayloadFrameNeedsAFifthByte) {
    link.receive(hex("26306903"));
    EXPECT_TRUE(replies.isEmpty());
    link.receive(hex("00"));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_TRUE(replies[0].isEmpty());
    EXPECT_TRUE(state.rxbuffer.isEmpty());  // the extra byte is no start byte
}

TEST_F(FrameLinkTest, SeveralFramesInOneChunkInOrder) {
    const QByteArray a = build_frame(req_zeit(1));
    const QByteArray b = build_frame(QByteArray("t1\x19", 3));
    const QByteArray c = build_frame(req_version());
    link.receive(a + b + c.left(3));
    EXPECT_EQ(replies, QList<QByteArray>({req_zeit(1), QByteArray("t1\x19", 3)}));
    link.receive(c.mid(3));
    EXPECT_EQ(replies.size(), 3);
    EXPECT_EQ(shown.size(), 3);
}

TEST_F(FrameLinkTest, ResetInsideTheReplyHandlerIsSafe) {
    QObject::connect(&link, &FrameLink::reply_received, [this] { state.clear(); });
    const QByteArray f = build_frame(req_version());
    link.receive(f + f + f.left(2));
    // The first reply reset the link: what followed in the buffer is gone.
    EXPECT_EQ(replies.size(), 1);
    EXPECT_TRUE(state.rxbuffer.isEmpty());
}

TEST_F(FrameLinkTest, GarbageNeverGrowsTheBuffer) {
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise.append(char((i * 37) % 256 == 0x26 ? 0x27 : (i * 37) % 256));
    link.receive(noise);
    EXPECT_TRUE(state.rxbuffer.isEmpty());
    EXPECT_TRUE(replies.isEmpty());
}
