#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// CRC-16 of the wire protocol: polynomial 0x1021, most significant bit first,
// no final XOR. Every frame uses the initial value kCrcInit.
constexpr quint16 kCrcInit = 0x5555;
const std::array<quint16, 256>& crc_table();
quint16 crc16(const char* data, qsizetype size, quint16 init);
inline quint16 crc16(const QByteArray& data, quint16 init) {
    return crc16(data.constData(), data.size(), init);
}

// Numbers in replies. `pos` is the 1-based position of the first byte, as the
// reply layouts count; bytes beyond the end of a short reply read as 0.
int get_u16be(const QByteArray& bytes, int pos = 1);
int get_s16be(const QByteArray& bytes, int pos = 1);
int get_u16le(const QByteArray& bytes, int pos = 1);
// 4 bytes, least significant first: single precision without special cases for
// the exponent fields 0 and 255.
double get_float(const QByteArray& bytes, int pos = 1);
int get_byte(const QByteArray& bytes, int pos);

// Upper-case hex of the value, left-padded with "0", cut to the last `width` digits.
QString hex_pad(quint32 value, int width);
// Each byte as two hex digits and a space, the trailing space kept.
QString hex_dump(const QByteArray& bytes);
// 0..15 for a hex digit (either case), 0 for anything else.
int hex_digit_value(QChar c);
// Pairs of hex digits from the start of the text; a trailing odd digit is ignored.
QByteArray hex_to_bytes(const QString& text);
