#include "link/conversions.h"

#include <cmath>

namespace {

constexpr std::array<quint16, 256> make_crc_table() {
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = quint16(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
        table[size_t(i)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> kCrcTable = make_crc_table();
static_assert(kCrcTable[1] == 0x1021 && kCrcTable[255] == 0x1EF0);

}  // namespace

const std::array<quint16, 256>& crc_table() {
    return kCrcTable;
}

quint16 crc16(const char* data, qsizetype size, quint16 init) {
    quint16 crc = init;
    for (qsizetype i = 0; i < size; ++i)
        crc = quint16((crc << 8) ^ kCrcTable[((crc >> 8) ^ uchar(data[i])) & 0xFF]);
    return crc;
}

int get_byte(const QByteArray& bytes, int pos) {
    return pos >= 1 && pos <= bytes.size() ? uchar(bytes[pos - 1]) : 0;
}

int get_u16be(const QByteArray& bytes, int pos) {
    return get_byte(bytes, pos) * 256 + get_byte(bytes, pos + 1);
}

int get_s16be(const QByteArray& bytes, int pos) {
    const int v = get_u16be(bytes, pos);
    return v > 32767 ? v - 65536 : v;
}

int get_u16le(const QByteArray& bytes, int pos) {
    return get_byte(bytes, pos + 1) * 256 + get_byte(bytes, pos);
}

double get_float(const QByteArray& bytes, int pos) {
    const int b1 = get_byte(bytes, pos), b2 = get_byte(bytes, pos + 1);
    const int b3 = get_byte(bytes, pos + 2), b4 = get_byte(bytes, pos + 3);
    const double sign = (b4 & 0x80) ? -1.0 : 1.0;
    const int exponent = (b4 & 0x7F) * 2 + (b3 >> 7);
    const double mantissa = 1.0 + ((b3 & 0x7F) * 65536.0 + b2 * 256.0 + b1) / 8388608.0;
    return sign * std::ldexp(mantissa, exponent - 127);
}

QString hex_pad(quint32 value, int width) {
    QString digits = QString::number(value, 16).toUpper();
    if (digits.size() < width) digits.prepend(QString(width - digits.size(), u'0'));
    return digits.right(width);
}

QString hex_dump(const QByteArray& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    QString text(bytes.size() * 3, Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const uchar b = uchar(c);
        *out++ = QLatin1Char(kDigits[b >> 4]);
        *out++ = QLatin1Char(kDigits[b & 0x0F]);
        *out++ = u' ';
    }
    return text;
}

int hex_digit_value(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return 0;
}

QByteArray hex_to_bytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    for (int i = 0; i + 1 < text.size(); i += 2)
        bytes.append(char(hex_digit_value(text[i]) * 16 + hex_digit_value(text[i + 1])));
    return bytes;
}
