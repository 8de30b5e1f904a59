#include "platform/port_discovery.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/clock.h"
#include "platform/serial_ftd2xx.h"
#include "support/files.h"

namespace {

// Generous bound for the system to report a folder change; only a broken
// watch ever reaches it.
constexpr int kEventDeadlineMs = 5000;

// Stands in for the system's port list and counts how often it is asked.
struct FakeSystem {
    QStringList attached;
    int listings = 0;
    PortDiscovery::Lister lister() {
        return [this] {
            ++listings;
            return attached;
        };
    }
};

class PortDiscoveryTest : public ::testing::Test {
protected:
    PortDiscoveryTest() : dev(dir.path() + "/dev") { QDir().mkpath(dev); }

    QTemporaryDir dir;
    QString dev;
    ManualClock clock;
    FakeSystem system;
};

}  // namespace

TEST_F(PortDiscoveryTest, AsksTheSystemOnlyWhenAFolderChangedOrTheListGrewOld) {
    PortDiscovery discovery({dev}, system.lister(), clock);
    ASSERT_TRUE(discovery.watching());
    for (int tick = 0; tick < 50; ++tick) {
        EXPECT_TRUE(discovery.ports().isEmpty());
        clock.advance_ms(50);
    }
    EXPECT_EQ(system.listings, 1);

    // A converter is plugged in: its node appears and it is found at once.
    system.attached = {dev + "/ttyUSB0"};
    ASSERT_TRUE(write_bytes(dev + "/ttyUSB0", ""));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return discovery.ports() == system.attached; }, kEventDeadlineMs));
    // For three seconds after a change the system is asked on every call, as
    // it fills in a new device's details a moment after its node appears.
    const int after_change = system.listings;
    discovery.ports();
    clock.advance_ms(2999);
    discovery.ports();
    EXPECT_EQ(system.listings, after_change + 2);
    clock.advance_ms(1);
    discovery.ports();
    EXPECT_EQ(system.listings, after_change + 2);
    // Without changes the list is taken again once it is five seconds old.
    clock.advance_ms(4998);
    discovery.ports();
    EXPECT_EQ(system.listings, after_change + 2);
    clock.advance_ms(1);
    discovery.ports();
    discovery.ports();
    EXPECT_EQ(system.listings, after_change + 3);
}

TEST_F(PortDiscoveryTest, FoldersThatAppearLaterAreWatchedToo) {
    const QString serial = dev + "/serial";
    const QString by_id = serial + "/by-id";
    PortDiscovery discovery({dev, serial, by_id}, system.lister(), clock);
    discovery.ports();
    const auto changed = [&](const std::function<bool()>& change) {
        clock.advance_ms(10000);  // well past the settling after any earlier change
        discovery.ports();
        const int before = system.listings;
        if (!change()) return false;
        return QTest::qWaitFor(
            [&] {
                discovery.ports();
                return system.listings > before;
            },
            kEventDeadlineMs);
    };
    // The first converter creates /dev/serial, then /dev/serial/by-id, then its link.
    EXPECT_TRUE(changed([&] { return QDir().mkdir(serial); }));
    EXPECT_TRUE(changed([&] { return QDir().mkdir(by_id); }));
    EXPECT_TRUE(changed([&] { return QFile::link("/dev/null", by_id + "/usb-FTDI-if00-port0"); }));
}

TEST_F(PortDiscoveryTest, WithoutAWatchTheListIsAtMostASecondOld) {
    PortDiscovery discovery({dir.path() + "/missing"}, system.lister(), clock);
    EXPECT_FALSE(discovery.watching());
    discovery.ports();
    clock.advance_ms(999);
    discovery.ports();
    EXPECT_EQ(system.listings, 1);
    clock.advance_ms(1);
    discovery.ports();
    EXPECT_EQ(system.listings, 2);
}

TEST_F(PortDiscoveryTest, ConverterBackendListsOnceAcrossManyTicks) {
    system.attached = {dev + "/ttyUSB7"};  // listed, but no such device node
    SerialFtd2xx ft(dir.path() + "/", system.lister(), {dev}, clock);
    for (int tick = 0; tick < 100; ++tick) {
        quint32 count = 0;
        ASSERT_EQ(ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY), FT_OK);
        EXPECT_EQ(count, 1u);
        clock.advance_ms(20);
    }
    EXPECT_EQ(system.listings, 1);
    // Opening it finds it gone: the next look asks the system again.
    FT_HANDLE handle = 0;
    EXPECT_EQ(ft.FT_Open(0, handle), FT_DEVICE_NOT_OPENED);
    system.attached.clear();
    quint32 count = 9;
    ASSERT_EQ(ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(system.listings, 2);
}

// The kernel's usb-serial folder as sysfs lays it out: each port a link into
// its USB interface, the vendor id two folders above the port.
TEST(UsbSerialPorts, OnlyFtdiConvertersCountInDevicePathOrder) {
    QTemporaryDir sys;
    const QString bus = sys.path() + "/bus/usb-serial/devices";
    QDir().mkpath(bus);
    const auto add = [&](const char* port, const char* usb, const QByteArray& vendor) {
        const QString device = sys.path() + "/devices/" + usb;
        QDir().mkpath(device + "/" + usb + ":1.0/" + port);
        write_bytes(device + "/idVendor", vendor);
        QFile::link(device + "/" + usb + ":1.0/" + port, bus + "/" + port);
    };
    add("ttyUSB1", "1-2", "0403\n");
    add("ttyUSB0", "1-1", "0403\n");
    add("ttyUSB2", "1-3", "067b\n");  // another maker's converter
    add("ttyUSB3", "1-4", "");        // a vendor id that cannot be read
    EXPECT_EQ(usb_serial_ftdi_ports(bus, "/dev/"), QStringList({"/dev/ttyUSB0", "/dev/ttyUSB1"}));
    EXPECT_TRUE(usb_serial_ftdi_ports(sys.path() + "/none", "/dev/").isEmpty());
}
