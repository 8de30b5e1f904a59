#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QVector>
#include <optional>

// The visit's own file, "visit.json", beside the five files of a visit folder.
// It keeps what those files cannot: whom the visit belongs to, when it was
// finished (with the UTC offset), how complete it is, the values the page
// shows that the protocol file lacks, and a SHA-256 of every other file, so a
// later change to the folder can be told.
inline const char* const kVisitRecordFile = "visit.json";

// How the status memory read of the visit ended.
enum class StatusReadEnd {
    complete,   // every block the device holds
    empty,      // the device's status memory holds no blocks
    cut_short,  // the read stopped at block `status_cut_at`
    not_read,   // no connection: the table is missing
};

// A serial number written to the device by the technician during the visit.
struct SerialChange {
    QDateTime when;
    QString from;
    QString to;
};

struct VisitRecord {
    static constexpr int kFormat = 1;

    QString program_version;
    QDateTime finished;  // local time; kept with its UTC offset
    QString serial;      // the serial number the visit belongs to (its folder's)
    // The mean O2 the protocol page shows (the value when the protocol was
    // started); none when the page shows none.
    std::optional<double> protocol_mean_o2;
    StatusReadEnd status_read = StatusReadEnd::complete;
    int status_blocks = 0;         // blocks in status.txt
    int status_cut_at = 0;         // with cut_short: the block the read ended at
    bool device_reachable = true;  // the device answered when the visit was finished
    // The technician chose to finish although the record lacks something (a
    // cut status read, a device that did not answer): the visit is marked.
    bool incomplete = false;
    QVector<SerialChange> serial_changes;
    // File name (no folder) -> SHA-256 as 64 lower-case hex digits, for every
    // other file of the folder.
    QMap<QString, QByteArray> sha256;
};

// The file's bytes: an indented JSON object.
QByteArray visit_record_json(const VisitRecord& record);

// Reads a visit's file. False, with a short English reason in `error` (for
// the log and the tests), for anything that is not a whole file of this
// program: not JSON, an unknown format, a missing or mistyped key, a sum that
// is not 64 hex digits, a file name with a folder in it.
bool parse_visit_record(const QByteArray& bytes, VisitRecord& record, QString* error = nullptr);

// The same from a visit's folder; false when the file is missing, larger
// than any visit file, or does not parse.
bool load_visit_record(const QString& visit_path, VisitRecord& record, QString* error = nullptr);

// SHA-256 of a file's contents as 64 lower-case hex digits; empty when the
// file cannot be read.
QByteArray file_sha256(const QString& path);
