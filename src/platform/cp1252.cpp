#include "platform/cp1252.h"

#include <array>

namespace {

// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined, which we
// pass through as the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t to_unicode(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) {
        const char16_t u = kHigh[b - 0x80];
        return u != 0 ? u : char16_t(b);
    }
    return char16_t(b);
}

}  // namespace

QString decode_cp1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < bytes.size(); ++i) out[i] = QChar(to_unicode(uchar(bytes[i])));
    return text;
}

namespace {

// The byte for `u`, or 0 with `found` false.
char to_byte(char16_t u, bool& found) {
    found = true;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
    for (int k = 0; k < int(kHigh.size()); ++k) {
        const char16_t mapped = kHigh[k] != 0 ? kHigh[k] : char16_t(0x80 + k);
        if (mapped == u) return char(0x80 + k);
    }
    found = false;
    return 0;
}

}  // namespace

bool cp1252_holds(QChar c) {
    bool found = false;
    to_byte(c.unicode(), found);
    return found;
}

QByteArray encode_cp1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i) {
        bool found = false;
        const char b = to_byte(text[i].unicode(), found);
        bytes[i] = found ? b : '?';
    }
    return bytes;
}
