#pragma once

#include <QByteArray>
#include <array>

#include "platform/ftd2xx.h"

class Clock;
class DeviceEmulator;

// The converter calls on an emulated device in the same process: what the
// program writes goes to the emulator, and reads return what the emulator has
// transmitted by the clock's present time. For tests, every call can be made
// to fail, the number of attached converters can be chosen, and one read can
// be made to return fewer bytes than were announced.
//
// Like the real converter it starts at 9600 baud on every open, so a program
// that does not set the line speed hears nothing; bytes that arrive while the
// converter is closed are lost. With the device unplugged there is no
// converter to list or open, and calls on a handle still open fail with
// FT_IO_ERROR.
class EmulatorFtd2xx final : public Ftd2xx {
public:
    enum class Call {
        ListDevices,
        Open,
        Close,
        SetBaudRate,
        SetDataCharacteristics,
        SetFlowControl,
        SetDtr,
        SetTimeouts,
        GetQueueStatus,
        Read,
        Write,
    };
    static constexpr int kCallCount = int(Call::Write) + 1;
    static constexpr int kAlways = -1;
    static constexpr quint32 kPowerOnBaud = 9600;

    // What the program last configured on the open converter.
    struct Line {
        quint32 baud = kPowerOnBaud;
        quint8 word_length = 0, stop_bits = 0, parity = 0;
        quint16 flow = 0xFFFF;
        quint8 xon = 0, xoff = 0;
        bool dtr = false;
        quint32 read_timeout_ms = 0, write_timeout_ms = 0;
    };

    EmulatorFtd2xx(DeviceEmulator& device, const Clock& clock);

    // Converters FT_ListDevices reports (the emulated device is the first).
    void set_device_count(quint32 count) { device_count_ = count; }
    // The next `times` calls of that kind (every call with kAlways) return
    // `status` and do nothing else.
    void fail(Call call, FT_STATUS status, int times = kAlways);
    void clear_failures();
    // The next FT_Read returns `missing` bytes fewer than were announced; they
    // stay for the read after it.
    void short_read_once(quint32 missing = 1) { short_read_ = missing; }
    // Another program holds the converter: it is listed, but FT_Open fails
    // and says so, as the serial port does (text 2952 once texts are given).
    void hold_elsewhere(bool held) { held_elsewhere_ = held; }

    bool is_open() const { return handle_ != 0; }
    FT_HANDLE handle() const { return handle_; }
    const Line& line() const { return line_; }
    int calls(Call call) const { return calls_[size_t(call)]; }

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

    QString last_error_detail() const override { return detail_; }
    bool last_open_in_use() const override { return in_use_; }
    void use_texts(const LanguageTable* texts) override { texts_ = texts; }

private:
    // Counts the call, then gives the injected failure or, for calls on a
    // handle, FT_INVALID_HANDLE / FT_IO_ERROR; FT_OK when the call may go on.
    FT_STATUS begin(Call call);
    FT_STATUS begin(Call call, FT_HANDLE handle);
    void collect();

    DeviceEmulator& device_;
    const Clock& clock_;
    quint32 device_count_ = 1;
    FT_HANDLE handle_ = 0;
    FT_HANDLE last_handle_ = 0;
    Line line_;
    QByteArray received_;  // taken from the device, not yet read
    quint32 short_read_ = 0;
    bool held_elsewhere_ = false;
    bool in_use_ = false;
    QString detail_;
    const LanguageTable* texts_ = nullptr;
    std::array<int, kCallCount> calls_{};
    std::array<FT_STATUS, kCallCount> failure_{};
    std::array<int, kCallCount> failures_left_{};
};
