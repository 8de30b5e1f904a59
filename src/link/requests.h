#pragma once

#include <QByteArray>
#include <QString>

// Payloads of the device's one-letter requests: the letter, then raw parameter
// bytes. Digit parameters are values 0..9; the indexes of "t", "T" and "i" are
// characters "0" + n; addresses are big-endian. The builders have no side effects.

QByteArray req_version();
QByteArray req_bstd();
// Operating hours as five hour digits (most significant first) and the tens of
// minutes digit; the caller guarantees six decimal digits at the front.
QByteArray req_set_bstd(const QString& digits);
QByteArray req_lp();
QByteArray req_veeprom();
QByteArray req_sn();
// Status memory block n (1..32).
QByteArray req_sysstat(int n);
// The serial number, padded with spaces and cut to exactly 12 characters.
QByteArray req_set_sn(const QString& text);
QByteArray req_zeit(int n);
QByteArray req_set_zeit(int n, int value);
QByteArray req_status(int n);
QByteArray req_boot();

// Parameter memory regions.
constexpr int kAddrLp = 0;
constexpr int kAddrSn = 16;
constexpr int kAddrVeeprom = 80;
constexpr int kSysstatBlockSize = 26;
constexpr int kSysstatBlocks = 32;
constexpr int sysstat_address(int n) {
    return kSysstatBlockSize * n + 102;
}
