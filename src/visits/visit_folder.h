#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One visit's folder under the archive: <archive>/<serial>/<yyyymmdd_hhmmss>/.
// It is filled under a hidden temporary name beside its final place and takes
// that place only once every file is written, so a failure never leaves a
// folder that looks complete, and an earlier visit is never overwritten.
class VisitFolder {
public:
    // Removes the temporary folder unless the visit was committed.
    ~VisitFolder();

    // Creates <archive>/<serial folder>/ when needed and the temporary folder
    // in it. False with the system's description in `error`.
    bool begin(const QString& archive, const QString& serial_folder, const QDateTime& when,
               QString* error);
    // Where a file of the visit goes while the folder is being filled.
    QString file_path(const QString& name) const;
    // Raw bytes (the measurements); text files go through the program's own
    // writer at file_path().
    bool write_bytes(const QString& name, const QByteArray& bytes, QString* error);
    // Gives the folder its final name: the time stamp, or with "_2", "_3" …
    // when a visit of the same second is already there. The final path is in
    // final_path() afterwards.
    bool commit(QString* error);
    const QString& final_path() const { return final_; }

private:
    QString parent_;
    QString stamp_;
    QString temp_;
    QString final_;
};

// "yyyyMMdd_HHmmss": the visit folder's name for a finish time.
QString visit_stamp(const QDateTime& when);
// The finish time a visit folder's name holds (with or without a "_N"
// suffix); invalid for a name that is no visit folder's.
QDateTime visit_time_of(const QString& folder_name);
