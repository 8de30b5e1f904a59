#include "link/port.h"

#include <gtest/gtest.h>

#include "support/link_rig.h"

namespace {

using Call = EmulatorFtd2xx::Call;

class PortTest : public ::testing::Test {
protected:
    LinkRig rig;
    Port& port = rig.link.port;
    EmulatorFtd2xx& ft = rig.ft;
};

}  // namespace

TEST_F(PortTest, OpensTheOneConverterAt19200Baud8N2WithDtr) {
    ASSERT_TRUE(port.opendevice(false));
    EXPECT_NE(rig.link.port_state.ft_handle, 0u);
    const EmulatorFtd2xx::Line& line = ft.line();
    EXPECT_EQ(line.baud, 19200u);
    EXPECT_EQ(line.word_length, 8);
    EXPECT_EQ(line.stop_bits, 2);
    EXPECT_EQ(line.parity, 0);
    EXPECT_EQ(line.flow, 0);
    EXPECT_TRUE(line.dtr);
    EXPECT_EQ(line.read_timeout_ms, 100u);
    EXPECT_EQ(line.write_timeout_ms, 250u);
    EXPECT_EQ(rig.link.comm_log.out(),
              QStringLiteral("Handle:%1\r\n").arg(rig.link.port_state.ft_handle));
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
}

TEST_F(PortTest, OpeningAgainReleasesTheOldHandleFirst) {
    ASSERT_TRUE(port.opendevice(false));
    ASSERT_TRUE(port.opendevice(false));
    EXPECT_EQ(ft.calls(Call::Close), 1);
    EXPECT_TRUE(rig.link.comm_log.out().contains("Device Closed\r\nHandle:"));
}

TEST_F(PortTest, ConverterCountOtherThanOne) {
    ft.set_device_count(2);
    EXPECT_FALSE(port.opendevice(false));
    EXPECT_EQ(ft.calls(Call::Open), 0);
    ft.set_device_count(0);
    EXPECT_FALSE(port.opendevice(false));
    EXPECT_EQ(rig.dialogs.messages, QStringList({"T20002", "T2100\r\nT2200"}));

    rig.dialogs.messages.clear();
    EXPECT_FALSE(port.opendevice(true));
    ft.set_device_count(2);
    EXPECT_FALSE(port.opendevice(true));
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
    EXPECT_EQ(rig.link.port_state.ft_handle, 0u);
}

TEST_F(PortTest, ListingFailureNamesTheStatus) {
    ft.fail(Call::ListDevices, FT_DEVICE_NOT_FOUND);
    EXPECT_FALSE(port.opendevice(false));
    EXPECT_EQ(rig.dialogs.messages, QStringList({"DLL-Error:2"}));
}

TEST_F(PortTest, EachFailingStepHasItsMessageAndLeavesTheDeviceClosed) {
    const std::pair<Call, const char*> steps[] = {
        {Call::Open, "T2300"},
        {Call::SetBaudRate, "T2400"},
        {Call::SetDataCharacteristics, "T2500"},
        {Call::SetFlowControl, "T2600"},
        {Call::SetDtr, "T2700"},
        {Call::SetTimeouts, "T2800"},
    };
    for (const auto& [call, text] : steps) {
        rig.dialogs.messages.clear();
        rig.link.comm_log.clear_out();
        ft.clear_failures();
        ft.fail(call, FT_IO_ERROR);
        EXPECT_FALSE(port.opendevice(false)) << text;
        EXPECT_EQ(rig.dialogs.messages, QStringList({QString(text) + " DLL-Error:4"}));
        EXPECT_EQ(rig.link.port_state.ft_handle, 0u) << text;
        EXPECT_FALSE(ft.is_open()) << text;
        // A failure after the open releases the converter again.
        if (call != Call::Open)
            EXPECT_EQ(rig.link.comm_log.out(), "Device Closed\r\n") << text;
        else
            EXPECT_EQ(rig.link.comm_log.out(), "") << text;
    }
}

TEST_F(PortTest, QuietFailuresStillLog) {
    ft.fail(Call::SetDtr, FT_IO_ERROR);
    EXPECT_FALSE(port.opendevice(true));
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
    EXPECT_EQ(rig.link.comm_log.out(), "Device Closed\r\n");
    EXPECT_TRUE(rig.link.comm_log.comm_log().contains("ERR "));
}

TEST_F(PortTest, CloseReportsItsStatusOnce) {
    EXPECT_EQ(port.closedevice(), FT_OK);
    EXPECT_TRUE(rig.link.comm_log.comm_log().isEmpty());  // nothing was open: no line

    ASSERT_TRUE(port.opendevice(true));
    rig.link.comm_log.clear_out();
    ft.fail(Call::Close, FT_IO_ERROR, 1);
    EXPECT_EQ(port.closedevice(), FT_IO_ERROR);
    EXPECT_EQ(rig.link.comm_log.out(), "Error Device Closed: 4\r\n");
    EXPECT_EQ(rig.link.port_state.ft_handle, 0u);
}

TEST_F(PortTest, ShortReadIsLoggedAndTheBytesStillCount) {
    ASSERT_TRUE(port.opendevice(true));
    port.write_raw(build_frame("?"));
    rig.clock.advance_ms(100);
    ft.short_read_once(2);
    const QByteArray first = port.read_raw();
    EXPECT_TRUE(
        rig.link.comm_log.out().contains(QStringLiteral("0|RxBytes<>BytesReturned:%1/%2\r\n")
                                             .arg(first.size() + 2)
                                             .arg(first.size())));
    const QByteArray rest = port.read_raw();
    EXPECT_EQ(rest.size(), 2);
    EXPECT_EQ(first + rest, build_frame("?" + rig.device.state().version_text));
    EXPECT_TRUE(port.read_raw().isEmpty());
}
