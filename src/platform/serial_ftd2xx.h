#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include "platform/clock.h"
#include "platform/ftd2xx.h"
#include "platform/port_discovery.h"

// The converter calls on the operating system's serial ports. Converters are
// the FTDI ports the system lists (USB vendor id 0x0403), ordered by device
// path, followed by the emulator: a link "ttyQV5SIM" in the emulator's folder,
// counted only while it resolves to a terminal. So FT_Open(0) opens real
// hardware before the emulator when both are there.
//
// The system's port list is kept between calls and taken again when the device
// folders change (see PortDiscovery), so that looking for a converter on every
// poll tick costs next to nothing while none is attached.
//
// Reads never block: FT_GetQueueStatus first takes in whatever the system
// holds for the port, because the program waits in nested event loops and
// must see bytes that arrived meanwhile.
class SerialFtd2xx final : public Ftd2xx {
public:
    // `link_dir`: where quorvel5-sim publishes its link, with a trailing "/".
    explicit SerialFtd2xx(const QString& link_dir);
    // How the system's FTDI ports are listed, the folders watched for devices
    // coming and going, and the clock that ages the list (tests hand in their own).
    SerialFtd2xx(const QString& link_dir, PortDiscovery::Lister lister,
                 const QStringList& device_folders, const Clock& clock);
    ~SerialFtd2xx() override;

    FT_STATUS FT_ListDevices(quint32& count, quint32 flags) override;
    FT_STATUS FT_Open(int index, FT_HANDLE& handle) override;
    FT_STATUS FT_Close(FT_HANDLE handle) override;
    FT_STATUS FT_SetBaudRate(FT_HANDLE handle, quint32 baud) override;
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, quint8 word_length, quint8 stop_bits,
                                        quint8 parity) override;
    FT_STATUS FT_SetFlowControl(FT_HANDLE handle, quint16 flow, quint8 xon, quint8 xoff) override;
    FT_STATUS FT_SetDtr(FT_HANDLE handle) override;
    FT_STATUS FT_SetTimeouts(FT_HANDLE handle, quint32 read_ms, quint32 write_ms) override;
    FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, quint32& rx_bytes) override;
    FT_STATUS FT_Read(FT_HANDLE handle, char* buffer, quint32 to_read, quint32& returned) override;
    FT_STATUS FT_Write(FT_HANDLE handle, const char* buffer, quint32 to_write,
                       quint32& written) override;

    QString last_error_detail() const override { return last_error_; }
    bool last_open_in_use() const override { return in_use_; }
    void use_texts(const LanguageTable* texts) override { texts_ = texts; }

    // Device paths of the converters in listing order, as FT_Open counts them.
    QStringList candidates() const;

private:
    struct OpenPort;
    QStringList open_paths() const;
    OpenPort* find(FT_HANDLE handle);
    FT_STATUS port_failed(OpenPort& open, const QString& what);
    FT_STATUS lost(OpenPort& open);

    QString emulator_link_;
    SystemClock system_clock_;
    mutable PortDiscovery discovery_;  // a cache: looking refreshes it
    std::map<FT_HANDLE, std::unique_ptr<OpenPort>> ports_;
    FT_HANDLE next_handle_ = 1;
    QString last_error_;
    bool in_use_ = false;
    const LanguageTable* texts_ = nullptr;
};

// The line shown to the user when a serial device would not open. A permission
// failure on a device our account may not use means a missing membership of the
// dialout group; when the account may use it, the device is locked by another
// program (the serial port reports both as a permission error). The sentences
// come from `texts` where it has them (ids 2951 and 2952), else in English.
QString serial_open_error_detail(const QString& path, QSerialPort::SerialPortError error,
                                 const QString& error_string, bool account_may_use_device,
                                 const LanguageTable* texts = nullptr);

// Language ids of the details a user reads; "%1" stands for the device path,
// "%2" for the system's reason.
constexpr int kTextConnectionLost = 2950;
constexpr int kTextNoPermission = 2951;
constexpr int kTextDeviceInUse = 2952;

// The system's FTDI ports (USB vendor id 0x0403), ordered by device path.
QStringList system_ftdi_ports();
// On Linux: the ports of the kernel's usb-serial driver (`usb_serial_folder`,
// normally /sys/bus/usb-serial/devices) whose USB device has the FTDI vendor
// id, as nodes in `dev_folder` (with a trailing "/").
QStringList usb_serial_ftdi_ports(const QString& usb_serial_folder, const QString& dev_folder);

// True when `path` (after following links) is a terminal device.
bool is_terminal_device(const QString& path);
