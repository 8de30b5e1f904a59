#include "link/requests.h"

#include <algorithm>

#include "platform/cp1252.h"

namespace {

QByteArray memory_read(int address, int count) {
    QByteArray p("e");
    p.append(char((address >> 8) & 0xFF)).append(char(address & 0xFF)).append(char(count));
    return p;
}

QByteArray indexed(char letter, int n) {
    return QByteArray(1, letter).append(char('0' + n));
}

}  // namespace

QByteArray req_version() {
    return QByteArrayLiteral("?");
}
QByteArray req_bstd() {
    return QByteArrayLiteral("x");
}

QByteArray req_set_bstd(const QString& digits) {
    // The device takes the hour digits least significant first, then the minutes.
    static constexpr int kOrder[] = {4, 3, 2, 1, 0, 5};
    QByteArray p("X");
    for (const int i : kOrder)
        p.append(char(i < digits.size() ? std::max(0, digits[i].digitValue()) : 0));
    return p;
}

QByteArray req_lp() {
    return memory_read(kAddrLp, 12);
}
QByteArray req_veeprom() {
    return memory_read(kAddrVeeprom, 4);
}
QByteArray req_sn() {
    return memory_read(kAddrSn, 12);
}
QByteArray req_sysstat(int n) {
    return memory_read(sysstat_address(n) & 0xFFFF, kSysstatBlockSize);
}

QByteArray req_set_sn(const QString& text) {
    QByteArray p("E");
    p.append('\0').append(char(kAddrSn)).append(char(12));
    p.append(encode_cp1252(text.leftJustified(12, u' ', true)));
    return p;
}

QByteArray req_zeit(int n) {
    return indexed('t', n);
}

QByteArray req_set_zeit(int n, int value) {
    return indexed('T', n).append(char(value & 0xFF));
}

QByteArray req_status(int n) {
    return indexed('i', n);
}
QByteArray req_boot() {
    return QByteArrayLiteral("b");
}
