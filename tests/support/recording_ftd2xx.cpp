#include "support/recording_ftd2xx.h"

#include <cstring>

FT_STATUS RecordingFtd2xx::FT_ListDevices(quint32& count, quint32) {
    count = 1;
    return FT_OK;
}

FT_STATUS RecordingFtd2xx::FT_Open(int, FT_HANDLE& handle) {
    handle = kHandle;
    return FT_OK;
}

FT_STATUS RecordingFtd2xx::FT_Close(FT_HANDLE) {
    return FT_OK;
}

FT_STATUS RecordingFtd2xx::FT_GetQueueStatus(FT_HANDLE, quint32& rx_bytes) {
    rx_bytes = quint32(incoming.size());
    return FT_OK;
}

FT_STATUS RecordingFtd2xx::FT_Read(FT_HANDLE, char* buffer, quint32 to_read, quint32& returned) {
    returned = std::min<quint32>(to_read, quint32(incoming.size()));
    std::memcpy(buffer, incoming.constData(), returned);
    incoming.remove(0, returned);
    return FT_OK;
}

FT_STATUS RecordingFtd2xx::FT_Write(FT_HANDLE, const char* buffer, quint32 to_write,
                                    quint32& written) {
    writes.append(QByteArray(buffer, qsizetype(to_write)));
    written = write_status == FT_OK ? to_write : 0;
    return write_status;
}
