#pragma once

#include <QString>
#include <QtGlobal>

// The calls of the converter's D2XX interface that the program uses, declared by
// us. Every call returns an FT_STATUS: 0 is success. Backends: the serial port
// (QSerialPort), on Windows the vendor's DLL loaded at run time, and the
// in-process emulator for tests.
struct LanguageTable;

using FT_STATUS = quint32;
using FT_HANDLE = quintptr;  // 0 means no device is open

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
constexpr FT_STATUS FT_OTHER_ERROR = 18;

constexpr quint32 FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr quint8 FT_BITS_8 = 8;
constexpr quint8 FT_STOP_BITS_2 = 2;
constexpr quint8 FT_PARITY_NONE = 0;
constexpr quint16 FT_FLOW_NONE = 0;

class Ftd2xx {
public:
    virtual ~Ftd2xx() = default;

    // With FT_LIST_NUMBER_ONLY: the number of attached converters in `count`.
    virtual FT_STATUS FT_ListDevices(quint32& count, quint32 flags) = 0;
    virtual FT_STATUS FT_Open(int index, FT_HANDLE& handle) = 0;
    virtual FT_STATUS FT_Close(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_SetBaudRate(FT_HANDLE handle, quint32 baud) = 0;
    virtual FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, quint8 word_length,
                                                quint8 stop_bits, quint8 parity) = 0;
    virtual FT_STATUS FT_SetFlowControl(FT_HANDLE handle, quint16 flow, quint8 xon,
                                        quint8 xoff) = 0;
    virtual FT_STATUS FT_SetDtr(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_SetTimeouts(FT_HANDLE handle, quint32 read_ms, quint32 write_ms) = 0;
    // Number of received bytes waiting to be read.
    virtual FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, quint32& rx_bytes) = 0;
    virtual FT_STATUS FT_Read(FT_HANDLE handle, char* buffer, quint32 to_read,
                              quint32& returned) = 0;
    virtual FT_STATUS FT_Write(FT_HANDLE handle, const char* buffer, quint32 to_write,
                               quint32& written) = 0;

    // What the platform said about the last failed call, for the user (for
    // example that the serial device needs membership of the dialout group);
    // empty when there is nothing to add.
    virtual QString last_error_detail() const { return QString(); }
    // The last failed FT_Open found the converter held by another program.
    virtual bool last_open_in_use() const { return false; }
    // The program's language texts for those details, once they are loaded;
    // until then, and for texts the language file lacks, they are English.
    virtual void use_texts(const LanguageTable* texts) { Q_UNUSED(texts); }
};
