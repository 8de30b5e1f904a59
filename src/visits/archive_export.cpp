#include "visits/archive_export.h"

#include "platform/language_table.h"
#include "visits/device_book_model.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString iso_date(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QString iso_time(const QDateTime& when) {
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QByteArray utf8_file(const QString& text) {
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace

CsvStyle csv_style(const QLocale& locale) {
    if (locale.decimalPoint() == QLatin1String(",")) return {u';', u','};
    return {u',', u'.'};
}

QString csv_text(const QString& text) {
    static const QString formula_start = QStringLiteral("=+-@");
    if (!text.isEmpty() && formula_start.contains(text.front())) return u'\'' + text;
    return text;
}

QString csv_number(double value, int decimals, const CsvStyle& style) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(u'.', style.decimal);
    return text;
}

QString csv_line(const QStringList& cells, const CsvStyle& style) {
    QStringList quoted;
    quoted.reserve(cells.size());
    for (const QString& cell : cells) {
        const bool needs_quotes = cell.contains(style.separator) || cell.contains(u'"') ||
                                  cell.contains(u'\n') || cell.contains(u'\r');
        quoted << (needs_quotes ? u'"' + QString(cell).replace(u'"', QLatin1String("\"\"")) + u'"'
                                : cell);
    }
    return quoted.join(style.separator) + kCrLf;
}

QString stk_text(const QString& stk, const LanguageTable& texts) {
    return texts.lang_text(stk == QLatin1String("1") ? 6034 : 6035);
}

QString visit_check_text(VisitCheck check, const LanguageTable& texts) {
    switch (check) {
        case VisitCheck::unchecked:
            return texts.lang_text(6092);
        case VisitCheck::intact:
            return texts.lang_text(6093);
        case VisitCheck::altered:
            return texts.lang_text(6090);
        case VisitCheck::incomplete:
            break;
    }
    return texts.lang_text(6091);
}

QString visit_check_details(const ArchivedVisit& visit, const LanguageTable& texts) {
    QStringList parts;
    const auto name = [&](int id, const QStringList& files) {
        if (!files.isEmpty()) parts << texts.lang_text(id) + u' ' + files.join(QLatin1String(", "));
    };
    name(6094, visit.changed);
    name(6095, visit.added);
    name(6096, visit.missing);
    return parts.join(QLatin1String("; "));
}

QByteArray devices_csv(const QVector<DeviceRow>& rows, const CsvStyle& style,
                       const LanguageTable& texts) {
    QStringList header;
    for (int id = 6070; id <= 6077; ++id) header << texts.lang_text(id);
    QString text = csv_line(header, style);
    for (const DeviceRow& row : rows)
        text += csv_line(
            {csv_text(row.serial), iso_date(row.last_visit.date()), iso_date(row.last_stk),
             iso_date(row.next_due),
             row.hours.isEmpty() ? QString() : csv_number(operating_hours(row.hours), 2, style),
             row.o2 ? csv_number(*row.o2, 1, style) : QString(), QString::number(row.visits),
             due_state_word(row.state, texts)},
            style);
    return utf8_file(text);
}

QByteArray visits_csv(const QVector<ArchivedDevice>& devices, const CsvStyle& style,
                      const LanguageTable& texts) {
    QString text = csv_line(
        {texts.lang_text(6070), texts.lang_text(6022), texts.lang_text(6023), texts.lang_text(6024),
         texts.lang_text(6025), texts.lang_text(6026), texts.lang_text(6032), texts.lang_text(6033),
         texts.lang_text(6098), texts.lang_text(6511), texts.lang_text(6512)},
        style);
    for (const ArchivedDevice& device : devices) {
        for (const ArchivedVisit& visit : device.visits) {
            const std::optional<double> mean = visit.readable ? page_mean_o2(visit) : std::nullopt;
            const bool read = visit.readable;
            text += csv_line(
                {csv_text(device.name), iso_time(visit.when), read ? csv_text(visit.pruefer) : "",
                 read ? stk_text(visit.stk, texts) : "",
                 read ? csv_number(operating_hours(visit.bstd), 2, style) : "",
                 read ? csv_text(visit.sw) : "", read ? csv_number(visit.o2, 1, style) : "",
                 mean.has_value() ? csv_number(mean.value_or(0), 1, style) : "",
                 read ? visit_check_text(visit.check, texts) : texts.lang_text(6027),
                 csv_text(visit_check_details(visit, texts)), csv_text(visit.path)},
                style);
        }
    }
    return utf8_file(text);
}
