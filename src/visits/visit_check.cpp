#include "visits/visit_check.h"

#include <QDir>
#include <QFileInfo>

#include "visits/archive_reader.h"

QByteArray SumCache::sum(const QFileInfo& file) {
    const qint64 changed = file.lastModified().toMSecsSinceEpoch();
    Entry& entry = entries_[file.absoluteFilePath()];
    if (entry.size != file.size() || entry.changed_ms != changed || entry.sum.isEmpty()) {
        entry.size = file.size();
        entry.changed_ms = changed;
        entry.sum = file_sha256(file.absoluteFilePath());
    }
    return entry.sum;
}

bool is_transient_name(const QString& name) {
    static const char* const endings[] = {".tmp", ".part", ".partial", ".crdownload", "~"};
    if (name.startsWith(u'.') || name.startsWith(QLatin1String("~$"))) return true;
    for (const char* ending : endings)
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return true;
    return false;
}

void check_visit(ArchivedVisit& visit, SumCache* cache) {
    visit.changed.clear();
    visit.added.clear();
    visit.missing.clear();
    const QDir folder(visit.path);
    if (!folder.exists(QLatin1String(kVisitRecordFile))) {
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
    const QFileInfoList files = folder.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
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
