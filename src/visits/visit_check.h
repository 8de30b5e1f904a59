#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

class QFileInfo;
struct ArchivedVisit;

// SHA-256 sums of files already checked, kept by path, size and change time,
// so the archive's watch reads again only what changed. One reader at a time.
class SumCache {
public:
    QByteArray sum(const QFileInfo& file);

private:
    struct Entry {
        qint64 size = -1;
        qint64 changed_ms = 0;
        QByteArray sum;
    };
    QHash<QString, Entry> entries_;
};

// A name another writer uses while a file or folder is not yet whole: hidden
// names (our own ".writing" folders, rsync's and Syncthing's temporary files)
// and the usual temporary endings (".tmp", ".part", "~" …).
bool is_transient_name(const QString& name);

// Compares the visit's files with the sums its visit.json keeps and sets
// `visit.check` and the names of the files changed, added or missing. Reads
// only; `cache` may be null.
void check_visit(ArchivedVisit& visit, SumCache* cache);
