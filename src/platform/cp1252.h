#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the code page of the files that existing installations wrote.
// Our own table: Qt builds without ICU have no codec for it.
QString decode_cp1252(const QByteArray& bytes);
// True when the code page has a byte for this UTF-16 unit.
bool cp1252_holds(QChar c);
// Characters outside the code page become "?".
QByteArray encode_cp1252(const QString& text);
