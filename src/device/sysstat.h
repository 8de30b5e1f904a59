#pragma once

#include <QDateTime>
#include <QString>

struct Geraetedaten;
struct LanguageTable;
struct Sysstatblock;

// The device's status memory as the fixed-width text table the "System Status"
// tab shows and saves: four identification lines, four heading lines from the
// language file, then one 148-character line per block read, the last block
// read first. Lines end with CR LF; numbers follow the default locale.

// The value's text right-aligned in `width` columns; longer texts are cut to
// their first `width` characters.
QString pad_right_aligned(const QString& value, int width);

// The value left-aligned in `width` columns. A longer value is broken into
// pieces of `width` characters, each further piece on a new line after
// `indent` spaces; the last piece is filled up with spaces.
QString pad_wrap(const QString& value, int width, int indent);

// Seconds of an alarm duration code 1..255 (0 means no alarm). The codes grow
// in steps that double every 16 codes, so one byte reaches 2159 s.
int decode_duration(int code);

// One block as its 148-character table line, without the line end.
QString sysstat_line(const Sysstatblock& block);

// The whole table from the blocks in geraet.sysstat, stamped with `now`.
QString build_sysstat_text(const Geraetedaten& geraet, const LanguageTable& texts,
                           const QDateTime& now);

// The table as shown, as its file holds it: CR LF line ends, one more at the end.
QString sysstat_file_text(const QString& shown_table);

// The name the save dialog proposes: "Status_" + serial + "_" + date and time;
// characters no file name can hold become "_".
QString sysstat_file_name(const QString& serial, const QDateTime& now);

// Width of a block line in characters.
constexpr int kSysstatLineWidth = 148;
