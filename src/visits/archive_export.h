#pragma once

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

#include "visits/archive_reader.h"
#include "visits/device_book.h"

struct LanguageTable;

// How a spreadsheet of the window's language opens a CSV file in columns: a
// German one wants ";" between cells and a decimal comma, an English one ","
// and ".".
struct CsvStyle {
    QChar separator = u',';
    QChar decimal = u'.';
};
CsvStyle csv_style(const QLocale& locale);

// One line of cells, each quoted where it holds the separator, a quote or a
// line break.
QString csv_line(const QStringList& cells, const CsvStyle& style);
// A text cell: text a spreadsheet would run as a formula ("=", "+", "-",
// "@" first) gets a leading apostrophe, so a typed name stays a name.
QString csv_text(const QString& text);
QString csv_number(double value, int decimals, const CsvStyle& style);

// The device table and every visit, as UTF-8 files (with the byte order
// mark spreadsheets look for) with a header row and CR LF line ends.
QByteArray devices_csv(const QVector<DeviceRow>& rows, const CsvStyle& style,
                       const LanguageTable& texts);
QByteArray visits_csv(const QVector<ArchivedDevice>& devices, const CsvStyle& style,
                      const LanguageTable& texts);

// "ja" or "nein": whether the protocol's "STK durchgeführt" is ticked.
QString stk_text(const QString& stk, const LanguageTable& texts);

// "verändert", "unvollständig", "nicht prüfbar" or "geprüft", and the files
// named in the visit's details ("" when none).
QString visit_check_text(VisitCheck check, const LanguageTable& texts);
QString visit_check_details(const ArchivedVisit& visit, const LanguageTable& texts);
