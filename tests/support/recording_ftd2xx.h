#pragma once

#include <QByteArray>
#include <QList>

#include "platform/ftd2xx.h"

// A converter that is always there: records what is written and hands out
// bytes the test puts into its receive queue.
class RecordingFtd2xx final : public Ftd2xx {
public:
    FT_STATUS FT_ListDevices(quint32& count, quint32 flags) override;
    FT_STATUS FT_Open(int index, FT_HANDLE& handle) override;
    FT_STATUS FT_Close(FT_HANDLE handle) override;
    FT_STATUS FT_SetBaudRate(FT_HANDLE, quint32) override { return FT_OK; }
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, quint8, quint8, quint8) override {
        return FT_OK;
    }
    FT_STATUS FT_SetFlowControl(FT_HANDLE, quint16, quint8, quint8) override { return FT_OK; }
    FT_STATUS FT_SetDtr(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetTimeouts(FT_HANDLE, quint32, quint32) override { return FT_OK; }
    FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, quint32& rx_bytes) override;
    FT_STATUS FT_Read(FT_HANDLE handle, char* buffer, quint32 to_read, quint32& returned) override;
    FT_STATUS FT_Write(FT_HANDLE handle, const char* buffer, quint32 to_write,
                       quint32& written) override;

    static constexpr FT_HANDLE kHandle = 0x51;
    QList<QByteArray> writes;  // one entry per FT_Write call
    QByteArray incoming;
    FT_STATUS write_status = FT_OK;
};
