#pragma once

#include <QString>
#include <QStringList>

// Text files as the program's files are kept: Windows-1252, lines ended by CR LF.

// Reads every line of a file. A line ends at CR LF, a lone CR or a lone LF
// (hand-edited files come with any of them); a last line without an end counts.
// False when the file cannot be opened or read; then `error`, when given, holds
// the system's description of the failure.
bool read_text_lines(const QString& path, QStringList& lines, QString* error = nullptr);

// Writes the text as it stands (the caller puts in the CR LF line ends) through
// an atomic replacement: on any failure the previous file stays as it was and
// no partial file is left behind. On failure `error`, when given, receives the
// system's description of what went wrong.
bool write_text_file(const QString& path, const QString& text, QString* error = nullptr);
