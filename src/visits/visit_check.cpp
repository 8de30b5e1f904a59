#include "visits/visit_check.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "visits/archive_reader.h"

QByteArray ArchiveCache::sum(const QFileInfo& file) {
    const QString path = file.absoluteFilePath();
    Entry now{file.size(), file.lastModified().toMSecsSinceEpoch(), {}};
    {
        const QMutexLocker lock(&mutex_);
        const auto kept = entries_.constFind(path);
        if (kept != entries_.constEnd() && kept->size == now.size &&
            kept->changed_ms == now.changed_ms && !kept->sum.isEmpty())
            return kept->sum;
    }
    // Read outside the lock: the other threads go on meanwhile.
    now.sum = file_sha256(path);
    const QMutexLocker lock(&mutex_);
    entries_.insert(path, now);
    return now.sum;
}

namespace {

// The names, sizes and change times of a folder's files, as one text.
QString stamp_of(const QFileInfoList& files) {
    QString stamp;
    for (const QFileInfo& file : files)
        stamp += file.fileName() + u'\n' + QString::number(file.size()) + u'\n' +
                 QString::number(file.lastModified().toMSecsSinceEpoch()) + u'\n';
    return stamp;
}

}  // namespace

std::optional<ArchivedVisit> ArchiveCache::visit(const QString& path, const QFileInfoList& files) {
    const QString stamp = stamp_of(files);
    const QMutexLocker lock(&mutex_);
    const auto kept = visits_.constFind(path);
    if (kept == visits_.constEnd() || kept->first != stamp) return std::nullopt;
    return kept->second;
}

void ArchiveCache::keep(const ArchivedVisit& visit, const QFileInfoList& files) {
    const QString stamp = stamp_of(files);
    const QMutexLocker lock(&mutex_);
    visits_.insert(visit.path, {stamp, visit});
}

bool is_transient_name(const QString& name) {
    static const char* const endings[] = {".tmp", ".part", ".partial", ".crdownload", "~"};
    if (name.startsWith(u'.') || name.startsWith(QLatin1String("~$"))) return true;
    for (const char* ending : endings)
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return true;
    return false;
}

void check_visit(ArchivedVisit& visit, const QFileInfoList& files, ArchiveCache* cache) {
    visit.changed.clear();
    visit.added.clear();
    visit.missing.clear();
    if (std::none_of(files.begin(), files.end(), [](const QFileInfo& file) {
            return file.fileName() == QLatin1String(kVisitRecordFile);
        })) {
        visit.check = VisitCheck::unchecked;
        return;
    }
    // A visit.json that does not read is itself a change.
    if (!visit.record) {
        visit.changed << QLatin1String(kVisitRecordFile);
        visit.check = VisitCheck::altered;
        return;
    }
    const QMap<QString, QByteArray>& sums = visit.record->sha256;
    QSet<QString> present;
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (name == QLatin1String(kVisitRecordFile)) continue;
        present.insert(name);
        const auto expected = sums.constFind(name);
        if (expected == sums.constEnd()) {
            // A sync tool's half-copied file is not the technician's doing.
            if (!is_transient_name(name)) visit.added << name;
            continue;
        }
        const QByteArray actual =
            !file.isFile() ? QByteArray()
                           : (cache ? cache->sum(file) : file_sha256(file.absoluteFilePath()));
        if (actual != *expected) visit.changed << name;
    }
    for (auto it = sums.constBegin(); it != sums.constEnd(); ++it)
        if (!present.contains(it.key())) visit.missing << it.key();
    if (!visit.changed.isEmpty() || !visit.added.isEmpty())
        visit.check = VisitCheck::altered;
    else if (!visit.missing.isEmpty())
        visit.check = VisitCheck::incomplete;
    else
        visit.check = VisitCheck::intact;
}
