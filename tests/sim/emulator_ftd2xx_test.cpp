#include "sim/emulator_ftd2xx.h"

#include <gtest/gtest.h>

#include "link/frame.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "sim/device_emulator.h"

namespace {

using Call = EmulatorFtd2xx::Call;

class EmulatorFtd2xxTest : public ::testing::Test {
protected:
    // Opens and configures the converter the way the program does.
    FT_HANDLE open_configured() {
        FT_HANDLE h = 0;
        EXPECT_EQ(ft.FT_Open(0, h), FT_OK);
        EXPECT_EQ(ft.FT_SetBaudRate(h, 19200), FT_OK);
        EXPECT_EQ(ft.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_2, FT_PARITY_NONE),
                  FT_OK);
        EXPECT_EQ(ft.FT_SetFlowControl(h, FT_FLOW_NONE, 0, 0), FT_OK);
        EXPECT_EQ(ft.FT_SetDtr(h), FT_OK);
        EXPECT_EQ(ft.FT_SetTimeouts(h, 100, 250), FT_OK);
        return h;
    }
    FT_STATUS write(FT_HANDLE h, const QByteArray& bytes) {
        quint32 written = 0;
        return ft.FT_Write(h, bytes.constData(), quint32(bytes.size()), written);
    }
    // Reads what the queue status announces, as the program's poll does.
    QByteArray read_all(FT_HANDLE h) {
        quint32 waiting = 0;
        EXPECT_EQ(ft.FT_GetQueueStatus(h, waiting), FT_OK);
        QByteArray bytes(qsizetype(waiting), '\0');
        quint32 returned = 0;
        if (waiting > 0) {
            EXPECT_EQ(ft.FT_Read(h, bytes.data(), waiting, returned), FT_OK);
        }
        return bytes.left(qsizetype(returned));
    }

    DeviceEmulator device;
    ManualClock clock;
    EmulatorFtd2xx ft{device, clock};
};

}  // namespace

TEST_F(EmulatorFtd2xxTest, ListsTheChosenNumberOfConverters) {
    for (const quint32 n : {0u, 1u, 2u}) {
        ft.set_device_count(n);
        quint32 count = 99;
        EXPECT_EQ(ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY), FT_OK);
        EXPECT_EQ(count, n);
    }
    FT_HANDLE h = 0;
    ft.set_device_count(0);
    EXPECT_EQ(ft.FT_Open(0, h), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(h, 0u);
    ft.set_device_count(1);
    EXPECT_EQ(ft.FT_Open(1, h), FT_DEVICE_NOT_FOUND);
}

TEST_F(EmulatorFtd2xxTest, HandlesAreValidOnlyWhileOpen) {
    FT_HANDLE h = 0;
    ASSERT_EQ(ft.FT_Open(0, h), FT_OK);
    EXPECT_NE(h, 0u);
    EXPECT_TRUE(ft.is_open());
    FT_HANDLE again = 0;
    EXPECT_NE(ft.FT_Open(0, again), FT_OK);  // one user at a time

    EXPECT_EQ(ft.FT_SetDtr(0), FT_INVALID_HANDLE);
    EXPECT_EQ(ft.FT_SetDtr(h + 1), FT_INVALID_HANDLE);
    EXPECT_EQ(ft.FT_Close(h), FT_OK);
    EXPECT_FALSE(ft.is_open());
    quint32 waiting = 0;
    EXPECT_EQ(ft.FT_GetQueueStatus(h, waiting), FT_INVALID_HANDLE);
    EXPECT_EQ(write(h, "x"), FT_INVALID_HANDLE);
    EXPECT_EQ(ft.FT_Close(h), FT_INVALID_HANDLE);

    FT_HANDLE next = 0;
    ASSERT_EQ(ft.FT_Open(0, next), FT_OK);
    EXPECT_NE(next, h);  // the stale handle stays refused
    EXPECT_EQ(ft.FT_SetDtr(h), FT_INVALID_HANDLE);
    EXPECT_EQ(ft.FT_SetDtr(next), FT_OK);
}

TEST_F(EmulatorFtd2xxTest, RepliesAreReadOnceTheClockHasReachedThem) {
    const FT_HANDLE h = open_configured();
    const EmulatorFtd2xx::Line& line = ft.line();
    EXPECT_EQ(line.baud, 19200u);
    EXPECT_EQ(line.word_length, 8);
    EXPECT_EQ(line.stop_bits, 2);
    EXPECT_EQ(line.parity, 0);
    EXPECT_EQ(line.flow, 0);
    EXPECT_TRUE(line.dtr);
    EXPECT_EQ(line.read_timeout_ms, 100u);
    EXPECT_EQ(line.write_timeout_ms, 250u);

    clock.set_ms(5000);
    ASSERT_EQ(write(h, build_frame(req_version())), FT_OK);
    EXPECT_TRUE(read_all(h).isEmpty());
    clock.advance_ms(5);
    const QByteArray first = read_all(h);
    EXPECT_FALSE(first.isEmpty());
    clock.advance_ms(50);
    EXPECT_EQ(first + read_all(h), build_frame('?' + device.state().version_text));
}

TEST_F(EmulatorFtd2xxTest, AConverterLeftAtItsPowerOnSpeedHearsNothing) {
    FT_HANDLE h = 0;
    ASSERT_EQ(ft.FT_Open(0, h), FT_OK);
    EXPECT_EQ(ft.line().baud, 9600u);  // a converter's speed at power-on
    ASSERT_EQ(write(h, build_frame(req_version())), FT_OK);
    clock.advance_ms(200);
    EXPECT_TRUE(read_all(h).isEmpty());
}

TEST_F(EmulatorFtd2xxTest, InjectedFailuresReturnTheirStatusAndDoNothing) {
    ft.fail(Call::SetDtr, FT_IO_ERROR);
    FT_HANDLE h = 0;
    ASSERT_EQ(ft.FT_Open(0, h), FT_OK);
    EXPECT_EQ(ft.FT_SetDtr(h), FT_IO_ERROR);
    EXPECT_EQ(ft.FT_SetDtr(h), FT_IO_ERROR);
    EXPECT_FALSE(ft.line().dtr);
    EXPECT_EQ(ft.FT_SetBaudRate(h, 19200), FT_OK);  // other calls unaffected
    ft.clear_failures();
    EXPECT_EQ(ft.FT_SetDtr(h), FT_OK);
    EXPECT_EQ(ft.calls(Call::SetDtr), 3);

    // A failed write never reaches the device.
    ft.fail(Call::Write, FT_OTHER_ERROR, 1);
    EXPECT_EQ(write(h, build_frame(req_set_zeit(0, 7))), FT_OTHER_ERROR);
    clock.advance_ms(100);
    EXPECT_TRUE(read_all(h).isEmpty());
    EXPECT_EQ(device.state().zeiten[0], 100);
    EXPECT_EQ(write(h, build_frame(req_set_zeit(0, 7))), FT_OK);  // only once
    EXPECT_EQ(device.state().zeiten[0], 7);

    // A failed open leaves nothing open; a failed list reports no count.
    EXPECT_EQ(ft.FT_Close(h), FT_OK);
    ft.fail(Call::Open, FT_DEVICE_NOT_OPENED, 1);
    FT_HANDLE h2 = 0;
    EXPECT_EQ(ft.FT_Open(0, h2), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(h2, 0u);
    EXPECT_FALSE(ft.is_open());
    ft.fail(Call::ListDevices, FT_OTHER_ERROR, 1);
    quint32 count = 0;
    EXPECT_EQ(ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY), FT_OTHER_ERROR);
    EXPECT_EQ(count, 0u);
}

TEST_F(EmulatorFtd2xxTest, AShortReadKeepsTheMissingBytesForLater) {
    const FT_HANDLE h = open_configured();
    ASSERT_EQ(write(h, build_frame(req_bstd())), FT_OK);
    clock.advance_ms(100);
    quint32 waiting = 0;
    ASSERT_EQ(ft.FT_GetQueueStatus(h, waiting), FT_OK);
    ASSERT_EQ(waiting, 11u);

    ft.short_read_once(3);
    QByteArray bytes(11, '\0');
    quint32 returned = 0;
    EXPECT_EQ(ft.FT_Read(h, bytes.data(), waiting, returned), FT_OK);
    EXPECT_EQ(returned, 8u);
    bytes.truncate(qsizetype(returned));
    bytes += read_all(h);  // the next read is whole again
    EXPECT_EQ(bytes, build_frame(QByteArray::fromHex("78 04 03 02 01 00 05")));
}

TEST_F(EmulatorFtd2xxTest, ChangingTheSpeedReachesTheBootLoader) {
    const FT_HANDLE h = open_configured();
    ASSERT_EQ(write(h, build_frame(req_boot())), FT_OK);
    clock.advance_ms(500);
    ASSERT_EQ(ft.FT_SetBaudRate(h, 38400), FT_OK);
    ASSERT_EQ(write(h, "I"), FT_OK);
    clock.advance_ms(250);
    EXPECT_EQ(read_all(h), "qv60000_BL10_");
}

TEST_F(EmulatorFtd2xxTest, UnpluggedDevicesVanishFromTheList) {
    const FT_HANDLE h = open_configured();
    device.faults().unplugged = true;
    quint32 count = 9;
    EXPECT_EQ(ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(write(h, build_frame(req_version())), FT_IO_ERROR);
    quint32 waiting = 0;
    EXPECT_EQ(ft.FT_GetQueueStatus(h, waiting), FT_IO_ERROR);
    EXPECT_EQ(ft.FT_Close(h), FT_OK);
    FT_HANDLE again = 0;
    EXPECT_EQ(ft.FT_Open(0, again), FT_DEVICE_NOT_FOUND);

    device.faults().unplugged = false;  // plugged back in
    EXPECT_EQ(ft.FT_Open(0, again), FT_OK);
}

TEST_F(EmulatorFtd2xxTest, ClosingLosesRepliesStillOnTheWay) {
    FT_HANDLE h = open_configured();
    ASSERT_EQ(write(h, build_frame(req_version())), FT_OK);
    EXPECT_EQ(ft.FT_Close(h), FT_OK);
    h = open_configured();
    clock.advance_ms(100);
    EXPECT_TRUE(read_all(h).isEmpty());
}
