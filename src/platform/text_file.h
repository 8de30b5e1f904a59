#pragma once

#include <QString>
#include <QStringList>

// Text files as the program's files are kept: Windows-1252, lines ended by CR LF.

// Reads every line of a file. A line ends at CR LF, a lone CR or a lone LF
// (hand-edited files come with any of them); a last line without an end counts.
// False when the file cannot be opened or read.
bool read_text_lines(const QString& path, QStringList& lines);

// Writes the text as it stands (the caller puts in the CR LF line ends) through
// an atomic replacement: on any failure the previous file stays as it was and
// no partial file is left behind. Where the folder refuses new files but the
// file itself may be written, the file is written in place instead; a failure
// then may leave it partly written, and is reported all the same.
bool write_text_file(const QString& path, const QString& text);
