// Status memory bytes of any content into the table text: every block becomes
// one line of exactly 148 characters, after the identification lines (whose
// values may be of any length and wrap) and the four headings. The first byte
// steers: bit 0 German numbers, bits 1..7 the length of each identification text.
#include <QLocale>
#include <cstdint>

#include "device/sysstat.h"
#include "link/conversions.h"
#include "link/device_data.h"
#include "link/requests.h"
#include "platform/cp1252.h"
#include "platform/language_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const int control = uchar(input[0]);
    QLocale::setDefault(control & 1 ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
    const int text_length = (control >> 1) % 40;

    Geraetedaten geraet;
    QByteArray rest = input.mid(1);
    geraet.sn = decode_cp1252(rest.left(text_length));
    geraet.lp = decode_cp1252(rest.mid(text_length, text_length));
    geraet.sw = decode_cp1252(rest.mid(2 * text_length, text_length));
    rest = rest.mid(3 * text_length);
    for (qsizetype at = 0; at + kSysstatBlockSize <= rest.size() && geraet.sysstat.size() <= 33;
         at += kSysstatBlockSize) {
        const QByteArray bytes = rest.mid(at, kSysstatBlockSize);
        Sysstatblock block;
        block.block = quint8(bytes[0]);
        block.sekunden = get_u16le(bytes, 2);
        block.alarm = qint16(uchar(bytes[3]));
        for (int i = 0; i < 22; ++i) block.werte[size_t(i)] = quint8(bytes[4 + i]);
        geraet.sysstat.append(block);
    }

    static const LanguageTable texts = [] {
        LanguageTable t;
        for (int id = 3810; id <= 3817; ++id) t.texts[size_t(id)] = QStringLiteral("L%1|").arg(id);
        return t;
    }();
    const QString text =
        build_sysstat_text(geraet, texts, QDateTime(QDate(2009, 9, 24), QTime(10, 19, 30)));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const int heading = int(lines.lastIndexOf(QStringLiteral("L3817|")));
    const int blocks = int(geraet.sysstat.size()) - 1;
    // The headings come once, then one line per block, then the final line end.
    if (heading < 7 || lines.size() != heading + 1 + blocks + 1 || !lines.last().isEmpty())
        __builtin_trap();
    for (int i = heading + 1; i <= heading + blocks; ++i)
        if (lines[i].size() != kSysstatLineWidth) __builtin_trap();
    QLocale::setDefault(QLocale::c());
    return 0;
}
