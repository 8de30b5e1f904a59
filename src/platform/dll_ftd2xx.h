#pragma once

#include <QLibrary>
#include <QSet>
#include <QString>
#include <memory>

#include "platform/ftd2xx.h"

// The converter calls on the vendor's ftd2xx.dll, loaded when the program
// starts. The DLL is the converter's driver and ships with it, so the program
// builds and starts without it; when it or one of its entry points is missing,
// every call fails with FT_OTHER_ERROR and last_error_detail() says why.
class DllFtd2xx final : public Ftd2xx {
public:
    // `library`: the DLL's name or path; the default finds the installed driver.
    explicit DllFtd2xx(const QString& library = QStringLiteral("ftd2xx"));
    ~DllFtd2xx() override;

    bool loaded() const { return api_ != nullptr; }

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

private:
    struct Api;
    // False, with the reason as the detail, when the DLL could not be loaded.
    bool usable();
    // Only handles the DLL gave us go back to it.
    bool known(FT_HANDLE handle);
    FT_STATUS result(const char* call, FT_STATUS status);

    QLibrary library_;
    std::unique_ptr<Api> api_;
    QString load_error_;
    QSet<FT_HANDLE> open_;
    QString last_error_;
};
