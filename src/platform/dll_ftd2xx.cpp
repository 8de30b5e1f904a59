#include "platform/dll_ftd2xx.h"

#include <utility>

// Our own declarations of the driver's exports. Windows exports them with the
// stdcall convention (64-bit Windows has a single convention and ignores it);
// ULONG and DWORD are 32 bits there, a device handle is a pointer.
#ifdef Q_OS_WIN
#define QV5_D2XX_CALL __stdcall
#else
#define QV5_D2XX_CALL
#endif

namespace d2xx {

using Status = quint32;
using Dword = quint32;
using Handle = void*;
using UChar = unsigned char;
using UShort = unsigned short;

using ListDevices = Status(QV5_D2XX_CALL*)(void* arg1, void* arg2, Dword flags);
using Open = Status(QV5_D2XX_CALL*)(int device_number, Handle* handle);
using Close = Status(QV5_D2XX_CALL*)(Handle handle);
using SetBaudRate = Status(QV5_D2XX_CALL*)(Handle handle, Dword baud);
using SetDataCharacteristics = Status(QV5_D2XX_CALL*)(Handle handle, UChar word_length,
                                                      UChar stop_bits, UChar parity);
using SetFlowControl = Status(QV5_D2XX_CALL*)(Handle handle, UShort flow, UChar xon, UChar xoff);
using SetDtr = Status(QV5_D2XX_CALL*)(Handle handle);
using SetTimeouts = Status(QV5_D2XX_CALL*)(Handle handle, Dword read_ms, Dword write_ms);
using GetQueueStatus = Status(QV5_D2XX_CALL*)(Handle handle, Dword* rx_bytes);
using Read = Status(QV5_D2XX_CALL*)(Handle handle, void* buffer, Dword to_read, Dword* returned);
using Write = Status(QV5_D2XX_CALL*)(Handle handle, void* buffer, Dword to_write, Dword* written);

}  // namespace d2xx

static_assert(sizeof(d2xx::Status) == sizeof(FT_STATUS), "status codes pass through unchanged");
static_assert(sizeof(d2xx::Handle) <= sizeof(FT_HANDLE), "a device handle fits our handle type");

struct DllFtd2xx::Api {
    d2xx::ListDevices list_devices = nullptr;
    d2xx::Open open = nullptr;
    d2xx::Close close = nullptr;
    d2xx::SetBaudRate set_baud_rate = nullptr;
    d2xx::SetDataCharacteristics set_data_characteristics = nullptr;
    d2xx::SetFlowControl set_flow_control = nullptr;
    d2xx::SetDtr set_dtr = nullptr;
    d2xx::SetTimeouts set_timeouts = nullptr;
    d2xx::GetQueueStatus get_queue_status = nullptr;
    d2xx::Read read = nullptr;
    d2xx::Write write = nullptr;
};

namespace {

// Finds one export; remembers the first one that is missing.
template <typename F>
void resolve(QLibrary& library, const char* name, F& entry, QString& missing) {
    entry = reinterpret_cast<F>(library.resolve(name));
    if (!entry && missing.isEmpty()) missing = QString::fromLatin1(name);
}

d2xx::Handle to_device(FT_HANDLE handle) {
    return reinterpret_cast<d2xx::Handle>(handle);
}

}  // namespace

DllFtd2xx::DllFtd2xx(const QString& library) : library_(library) {
    if (!library_.load()) {
        load_error_ = QStringLiteral("The converter driver %1 could not be loaded: %2")
                          .arg(library, library_.errorString());
        return;
    }
    auto api = std::make_unique<Api>();
    QString missing;
    resolve(library_, "FT_ListDevices", api->list_devices, missing);
    resolve(library_, "FT_Open", api->open, missing);
    resolve(library_, "FT_Close", api->close, missing);
    resolve(library_, "FT_SetBaudRate", api->set_baud_rate, missing);
    resolve(library_, "FT_SetDataCharacteristics", api->set_data_characteristics, missing);
    resolve(library_, "FT_SetFlowControl", api->set_flow_control, missing);
    resolve(library_, "FT_SetDtr", api->set_dtr, missing);
    resolve(library_, "FT_SetTimeouts", api->set_timeouts, missing);
    resolve(library_, "FT_GetQueueStatus", api->get_queue_status, missing);
    resolve(library_, "FT_Read", api->read, missing);
    resolve(library_, "FT_Write", api->write, missing);
    if (!missing.isEmpty()) {
        load_error_ = QStringLiteral(
                          "The converter driver %1 could not be loaded: it has no %2. "
                          "Install the current driver of the USB converter.")
                          .arg(library_.fileName(), missing);
        library_.unload();
        return;
    }
    api_ = std::move(api);
}

DllFtd2xx::~DllFtd2xx() {
    // Give back what the program left open, so the driver releases the port.
    if (api_) {
        for (FT_HANDLE handle : std::as_const(open_)) api_->close(to_device(handle));
    }
}

bool DllFtd2xx::usable() {
    if (api_) return true;
    last_error_ = load_error_;
    return false;
}

bool DllFtd2xx::known(FT_HANDLE handle) {
    if (handle != 0 && open_.contains(handle)) return true;
    last_error_ = QStringLiteral("No converter is open under handle %1.").arg(handle);
    return false;
}

FT_STATUS DllFtd2xx::result(const char* call, FT_STATUS status) {
    if (status != FT_OK)
        last_error_ =
            QStringLiteral("%1 failed with status %2.").arg(QString::fromLatin1(call)).arg(status);
    return status;
}

FT_STATUS DllFtd2xx::FT_ListDevices(quint32& count, quint32 flags) {
    count = 0;
    if (!usable()) return FT_OTHER_ERROR;
    // Our signature only has room for the number.
    if ((flags & FT_LIST_NUMBER_ONLY) == 0) return FT_INVALID_PARAMETER;
    d2xx::Dword number = 0;
    const FT_STATUS status = api_->list_devices(&number, nullptr, flags);
    if (status == FT_OK) count = number;
    return result("FT_ListDevices", status);
}

FT_STATUS DllFtd2xx::FT_Open(int index, FT_HANDLE& handle) {
    handle = 0;
    if (!usable()) return FT_OTHER_ERROR;
    d2xx::Handle device = nullptr;
    const FT_STATUS status = api_->open(index, &device);
    if (status != FT_OK) return result("FT_Open", status);
    if (!device) return result("FT_Open", FT_DEVICE_NOT_OPENED);  // 0 means "none" to us
    handle = reinterpret_cast<FT_HANDLE>(device);
    open_.insert(handle);
    last_error_.clear();
    return FT_OK;
}

FT_STATUS DllFtd2xx::FT_Close(FT_HANDLE handle) {
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    open_.remove(handle);  // the program forgets the handle whatever the driver says
    return result("FT_Close", api_->close(to_device(handle)));
}

FT_STATUS DllFtd2xx::FT_SetBaudRate(FT_HANDLE handle, quint32 baud) {
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    return result("FT_SetBaudRate", api_->set_baud_rate(to_device(handle), baud));
}

FT_STATUS DllFtd2xx::FT_SetDataCharacteristics(FT_HANDLE handle, quint8 word_length,
                                               quint8 stop_bits, quint8 parity) {
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    return result(
        "FT_SetDataCharacteristics",
        api_->set_data_characteristics(to_device(handle), word_length, stop_bits, parity));
}

FT_STATUS DllFtd2xx::FT_SetFlowControl(FT_HANDLE handle, quint16 flow, quint8 xon, quint8 xoff) {
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    return result("FT_SetFlowControl", api_->set_flow_control(to_device(handle), flow, xon, xoff));
}

FT_STATUS DllFtd2xx::FT_SetDtr(FT_HANDLE handle) {
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    return result("FT_SetDtr", api_->set_dtr(to_device(handle)));
}

FT_STATUS DllFtd2xx::FT_SetTimeouts(FT_HANDLE handle, quint32 read_ms, quint32 write_ms) {
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    return result("FT_SetTimeouts", api_->set_timeouts(to_device(handle), read_ms, write_ms));
}

FT_STATUS DllFtd2xx::FT_GetQueueStatus(FT_HANDLE handle, quint32& rx_bytes) {
    rx_bytes = 0;
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    d2xx::Dword waiting = 0;
    const FT_STATUS status = api_->get_queue_status(to_device(handle), &waiting);
    if (status == FT_OK) rx_bytes = waiting;
    return result("FT_GetQueueStatus", status);
}

FT_STATUS DllFtd2xx::FT_Read(FT_HANDLE handle, char* buffer, quint32 to_read, quint32& returned) {
    returned = 0;
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    if (!buffer && to_read > 0) return FT_INVALID_PARAMETER;
    d2xx::Dword got = 0;
    const FT_STATUS status = api_->read(to_device(handle), buffer, to_read, &got);
    returned = qMin<quint32>(got, to_read);  // never trust a count beyond the buffer
    return result("FT_Read", status);
}

FT_STATUS DllFtd2xx::FT_Write(FT_HANDLE handle, const char* buffer, quint32 to_write,
                              quint32& written) {
    written = 0;
    if (!usable()) return FT_OTHER_ERROR;
    if (!known(handle)) return FT_INVALID_HANDLE;
    if (!buffer && to_write > 0) return FT_INVALID_PARAMETER;
    d2xx::Dword sent = 0;
    // The driver's prototype takes a non-const buffer but only reads it.
    const FT_STATUS status =
        api_->write(to_device(handle), const_cast<char*>(buffer), to_write, &sent);
    written = qMin<quint32>(sent, to_write);
    return result("FT_Write", status);
}
