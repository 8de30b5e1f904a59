#include "sim/emulator_ftd2xx.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/language_table.h"
#include "sim/device_emulator.h"

EmulatorFtd2xx::EmulatorFtd2xx(DeviceEmulator& device, const Clock& clock)
    : device_(device), clock_(clock) {}

void EmulatorFtd2xx::fail(Call call, FT_STATUS status, int times) {
    failure_[size_t(call)] = status;
    failures_left_[size_t(call)] = times;
}

void EmulatorFtd2xx::clear_failures() {
    failures_left_.fill(0);
}

FT_STATUS EmulatorFtd2xx::begin(Call call) {
    const size_t i = size_t(call);
    ++calls_[i];
    if (failures_left_[i] == 0) return FT_OK;
    if (failures_left_[i] > 0) --failures_left_[i];
    return failure_[i];
}

FT_STATUS EmulatorFtd2xx::begin(Call call, FT_HANDLE handle) {
    const FT_STATUS status = begin(call);
    if (status != FT_OK) return status;
    if (handle == 0 || handle != handle_) return FT_INVALID_HANDLE;
    if (call != Call::Close && device_.unplugged_at(clock_.monotonic_ms())) return FT_IO_ERROR;
    return FT_OK;
}

void EmulatorFtd2xx::collect() {
    received_ += device_.take_output(clock_.monotonic_ms());
}

FT_STATUS EmulatorFtd2xx::FT_ListDevices(quint32& count, quint32 flags) {
    const FT_STATUS status = begin(Call::ListDevices);
    if (status != FT_OK) return status;
    if (flags != FT_LIST_NUMBER_ONLY) return FT_INVALID_PARAMETER;
    count = device_.unplugged_at(clock_.monotonic_ms()) ? 0 : device_count_;
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_Open(int index, FT_HANDLE& handle) {
    const FT_STATUS status = begin(Call::Open);
    if (status != FT_OK) return status;
    // Only the first converter has the emulated device behind it.
    in_use_ = false;
    detail_.clear();
    if (device_.unplugged_at(clock_.monotonic_ms()) || device_count_ == 0 || index != 0)
        return FT_DEVICE_NOT_FOUND;
    if (held_elsewhere_) {
        in_use_ = true;
        const QString own = texts_ ? texts_->lang_text(2952) : QString();
        const QString phrase =
            own.isEmpty() ? QStringLiteral("%1 is in use by another program (%2).") : own;
        detail_ =
            phrase.arg(QStringLiteral("ttyQV5SIM"), QStringLiteral("Device or resource busy"));
        return FT_DEVICE_NOT_OPENED;
    }
    if (handle_ != 0) return FT_DEVICE_NOT_OPENED;  // already in use
    // A fresh handle each time, so a stale one from before is refused.
    handle_ = last_handle_ = last_handle_ == 0 ? 0x5100 : last_handle_ + 1;
    handle = handle_;
    line_ = Line();
    device_.set_baud(line_.baud);
    device_.discard_output();
    received_.clear();
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_Close(FT_HANDLE handle) {
    const FT_STATUS status = begin(Call::Close, handle);
    if (status != FT_OK) return status;
    handle_ = 0;
    device_.discard_output();
    received_.clear();
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_SetBaudRate(FT_HANDLE handle, quint32 baud) {
    const FT_STATUS status = begin(Call::SetBaudRate, handle);
    if (status != FT_OK) return status;
    if (baud == 0) return FT_INVALID_PARAMETER;
    line_.baud = baud;
    device_.set_baud(baud);
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_SetDataCharacteristics(FT_HANDLE handle, quint8 word_length,
                                                    quint8 stop_bits, quint8 parity) {
    const FT_STATUS status = begin(Call::SetDataCharacteristics, handle);
    if (status != FT_OK) return status;
    line_.word_length = word_length;
    line_.stop_bits = stop_bits;
    line_.parity = parity;
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_SetFlowControl(FT_HANDLE handle, quint16 flow, quint8 xon,
                                            quint8 xoff) {
    const FT_STATUS status = begin(Call::SetFlowControl, handle);
    if (status != FT_OK) return status;
    line_.flow = flow;
    line_.xon = xon;
    line_.xoff = xoff;
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_SetDtr(FT_HANDLE handle) {
    const FT_STATUS status = begin(Call::SetDtr, handle);
    if (status != FT_OK) return status;
    line_.dtr = true;
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_SetTimeouts(FT_HANDLE handle, quint32 read_ms, quint32 write_ms) {
    const FT_STATUS status = begin(Call::SetTimeouts, handle);
    if (status != FT_OK) return status;
    line_.read_timeout_ms = read_ms;
    line_.write_timeout_ms = write_ms;
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_GetQueueStatus(FT_HANDLE handle, quint32& rx_bytes) {
    rx_bytes = 0;
    const FT_STATUS status = begin(Call::GetQueueStatus, handle);
    if (status != FT_OK) return status;
    collect();
    rx_bytes = quint32(received_.size());
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_Read(FT_HANDLE handle, char* buffer, quint32 to_read,
                                  quint32& returned) {
    returned = 0;
    const FT_STATUS status = begin(Call::Read, handle);
    if (status != FT_OK) return status;
    collect();
    quint32 count = std::min<quint32>(to_read, quint32(received_.size()));
    if (short_read_ > 0) {
        count = count > short_read_ ? count - short_read_ : 0;
        short_read_ = 0;
    }
    if (count > 0) std::memcpy(buffer, received_.constData(), count);
    received_.remove(0, count);
    returned = count;
    return FT_OK;
}

FT_STATUS EmulatorFtd2xx::FT_Write(FT_HANDLE handle, const char* buffer, quint32 to_write,
                                   quint32& written) {
    written = 0;
    const FT_STATUS status = begin(Call::Write, handle);
    if (status != FT_OK) return status;
    device_.receive_from_host(QByteArray(buffer, qsizetype(to_write)), clock_.monotonic_ms());
    written = to_write;
    return FT_OK;
}
