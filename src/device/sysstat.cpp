#include "device/sysstat.h"

#include <QLocale>
#include <cmath>

#include "link/conversions.h"
#include "link/device_data.h"
#include "platform/language_table.h"
#include "platform/paths.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Text ids of the identification labels and of the four heading lines.
constexpr int kLabelSn = 3810;
constexpr int kLabelLp = 3811;
constexpr int kLabelSw = 3812;
constexpr int kLabelDate = 3813;
constexpr int kFirstHeading = 3814;
constexpr int kHeadingLines = 4;

// Column widths of a block line.
constexpr int kNumberWidth = 6;  // block, seconds and every value column
constexpr int kAlarmWidth = 4;

// The table's number patterns "0" and "0.0": the locale's decimal separator,
// never a thousands separator (8 hPa steps reach 2040).
QLocale table_locale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString column(const QString& text, int width = kNumberWidth) {
    return pad_right_aligned(text, width);
}

QString duration_column(int code) {
    return column(code == 0 ? QStringLiteral("-") : QString::number(decode_duration(code)));
}

// A measurement: the raw byte scaled, "---" when the device recorded none.
QString value_column(const QLocale& locale, int raw, double scale, int decimals) {
    if (raw == 0) return column(QStringLiteral("---"));
    return column(locale.toString(raw * scale, 'f', decimals));
}

}  // namespace

QString pad_right_aligned(const QString& value, int width) {
    if (value.size() >= width) return value.left(qMax(0, width));
    return QString(width - value.size(), u' ') + value;
}

QString pad_wrap(const QString& value, int width, int indent) {
    if (width <= 0) return value;
    QString out;
    QString rest = value;
    while (rest.size() > width) {
        out += rest.left(width) + kCrLf + QString(qMax(0, indent), u' ');
        rest = rest.mid(width);
    }
    return out + rest + QString(width - rest.size(), u' ');
}

int decode_duration(int code) {
    // k is (code - 1) / 16 rounded to the nearest integer, halves to even.
    const int k = int(std::nearbyint((code - 1) / 16.0));
    return (code - 8 * k) * (k + 1);
}

QString sysstat_line(const Sysstatblock& block) {
    const QLocale locale = table_locale();
    QString line = column(QString::number(block.block)) + column(QString::number(block.sekunden)) +
                   column(hex_pad(quint32(block.alarm), 2), kAlarmWidth);
    const auto& w = block.werte;
    for (int i = 0; i <= 3; ++i) line += duration_column(w[size_t(i)]);
    // Gas and compressor temperature and oxygen in 0.5 steps, both pressures
    // in 8 hPa steps, sensor quality in %.
    for (int i = 4; i <= 12; ++i) line += value_column(locale, w[size_t(i)], 0.5, 1);
    for (int i = 13; i <= 18; ++i) line += value_column(locale, w[size_t(i)], 8, 0);
    for (int i = 19; i <= 21; ++i) line += value_column(locale, w[size_t(i)], 1, 0);
    return line;
}

QString build_sysstat_text(const Geraetedaten& geraet, const LanguageTable& texts,
                           const QDateTime& now) {
    QString text = texts.lang_text(kLabelSn) + pad_wrap(geraet.sn, 12, 0) + kCrLf +
                   texts.lang_text(kLabelLp) + pad_wrap(geraet.lp, 12, 0) + kCrLf +
                   texts.lang_text(kLabelSw) + pad_wrap(geraet.sw, 6, 0) + kCrLf +
                   texts.lang_text(kLabelDate) +
                   pad_wrap(now.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), 20, 0) + kCrLf;
    for (int id = kFirstHeading; id < kFirstHeading + kHeadingLines; ++id)
        text += texts.lang_text(id) + kCrLf;
    // The last block read comes first; index 0 never holds a block.
    for (int n = int(geraet.sysstat.size()) - 1; n >= 1; --n)
        text += sysstat_line(geraet.sysstat[n]) + kCrLf;
    return text;
}

QString sysstat_file_name(const QString& serial, const QDateTime& now) {
    return QLatin1String("Status_") + file_name_safe(serial) + u'_' +
           now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

QString sysstat_file_text(const QString& shown_table) {
    QString text = shown_table;
    text.replace(u'\n', QLatin1String("\r\n"));
    return text + QLatin1String("\r\n");
}
