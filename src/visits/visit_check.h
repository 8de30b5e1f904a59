#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>

#include <QFileInfoList>
#include <optional>

#include "visits/archive_reader.h"

// What was read of the archive, kept by path with the size and change time
// of every file it came from, so the archive's watch reads again only what
// changed: each file's SHA-256, and each visit as listed. Threads may share one.
class ArchiveCache {
public:
    QByteArray sum(const QFileInfo& file);
    // A visit read before from exactly these files (names, sizes, times).
    std::optional<ArchivedVisit> visit(const QString& path, const QFileInfoList& files);
    void keep(const ArchivedVisit& visit, const QFileInfoList& files);

private:
    struct Entry {
        qint64 size = -1;
        qint64 changed_ms = 0;
        QByteArray sum;
    };
    QMutex mutex_;
    QHash<QString, Entry> entries_;
    QHash<QString, std::pair<QString, ArchivedVisit>> visits_;  // by path: stamp, visit
};

// A name another writer uses while a file or folder is not yet whole: hidden
// names (our own ".writing" folders, rsync's and Syncthing's temporary files)
// and the usual temporary endings (".tmp", ".part", "~" …).
bool is_transient_name(const QString& name);

// Compares the visit's files (`files`: its folder's entries) with the sums
// its visit.json keeps and sets `visit.check` and the names of the files
// changed, added or missing. Reads only; `cache` may be null.
void check_visit(ArchivedVisit& visit, const QFileInfoList& files, ArchiveCache* cache);
