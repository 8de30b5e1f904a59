#include "visits/archive_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/text_file.h"
#include "protocol/protocol_file.h"
#include "visits/visit_check.h"
#include "visits/visit_folder.h"

namespace {

// A protocol is a few kilobytes; anything far bigger is not one of ours.
constexpr qint64 kMaxProtocolBytes = 256 * 1024;
constexpr qint64 kTailBytes = 4096;

bool has_every_key(const QStringList& lines) {
    QSet<QString> keys;
    for (const QString& line : lines) keys.insert(line.section(u'|', 0, 0));
    for (int i = 1; i <= kFeldCount; ++i)
        if (!keys.contains(QLatin1String(feldnamen[size_t(i)]))) return false;
    for (int i = 1; i <= kGeraeteschluesselCount; ++i)
        if (!keys.contains(QLatin1String(geraeteschluessel[size_t(i)]))) return false;
    return true;
}

ArchivedVisit read_visit(const QFileInfo& entry, ArchiveCache* cache, bool verify) {
    // Only visit folders come here. A refresh reads again only a visit whose
    // files changed.
    const QFileInfoList files = QDir(entry.absoluteFilePath())
                                    .entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot,
                                                   QDir::Name);
    if (cache && verify)
        if (std::optional<ArchivedVisit> kept = cache->visit(entry.absoluteFilePath(), files))
            return std::move(*kept);
    ArchivedVisit visit;
    visit.path = entry.absoluteFilePath();
    visit.when = visit_time_of(entry.fileName());
    Pruefprotokoll record;
    if (load_visit_protocol(visit.path, record)) {
        visit.readable = true;
        visit.pruefer = record.felder[kPruefer];
        visit.stk = record.felder[kStk];
        visit.bstd = record.geraetedaten.bstd;
        visit.sw = record.geraetedaten.sw;
        visit.o2 = record.geraetedaten.o2;
    }
    // A protocol that does not read may still be one the sums say was changed.
    VisitRecord own;
    if (load_visit_record(visit.path, own)) visit.record = own;
    if (verify) check_visit(visit, files, cache);
    if (cache && verify) cache->keep(visit, files);
    return visit;
}

// The entries another program is not done with are no one's to list.
QFileInfoList entries_of(const QString& folder, QDir::Filters filters) {
    QFileInfoList entries = QDir(folder).entryInfoList(filters | QDir::NoDotAndDotDot, QDir::Name);
    entries.erase(
        std::remove_if(entries.begin(), entries.end(),
                       [](const QFileInfo& entry) { return is_transient_name(entry.fileName()); }),
        entries.end());
    return entries;
}

bool is_visit_folder(const QFileInfo& entry) {
    return entry.isDir() && visit_time_of(entry.fileName()).isValid();
}

}  // namespace

bool parse_visit_protocol(const QStringList& lines, Pruefprotokoll& record) {
    if (!has_every_key(lines)) return false;
    for (const QString& line : lines)
        if (!parse_protocol_line(record, line)) return false;
    record.geraetedaten.verbunden = true;
    return true;
}

bool load_visit_protocol(const QString& visit_path, Pruefprotokoll& record) {
    const QFileInfo file(visit_path + u'/' + QLatin1String(kVisitProtocol));
    if (!file.isFile() || file.size() > kMaxProtocolBytes) return false;
    QStringList lines;
    return read_text_lines(file.filePath(), lines) && parse_visit_protocol(lines, record);
}

namespace {

// One entry of the archive's top folder: a device with its visits, or a
// foreign entry (with the foreign entries among a device's visits).
void read_top(const QFileInfo& top, std::optional<ArchivedDevice>& device, QStringList& foreign,
              ArchiveCache* cache, bool verify) {
    const QFileInfoList entries =
        top.isDir() ? entries_of(top.absoluteFilePath(), QDir::AllEntries | QDir::System)
                    : QFileInfoList();
    if (std::none_of(entries.begin(), entries.end(), is_visit_folder)) {
        foreign << top.fileName();
        return;
    }
    device.emplace();
    device->name = top.fileName();
    for (const QFileInfo& entry : entries) {
        if (is_visit_folder(entry))
            device->visits.append(read_visit(entry, cache, verify));
        else
            foreign << device->name + u'/' + entry.fileName();
    }
    // Newest first; same time by name, "_2" before the first.
    std::sort(device->visits.begin(), device->visits.end(),
              [](const ArchivedVisit& a, const ArchivedVisit& b) {
                  if (a.when != b.when) return a.when > b.when;
                  return a.path > b.path;
              });
}

}  // namespace

ArchiveListing list_archive(const QString& archive, ArchiveCache* cache, bool verify) {
    const QFileInfoList tops = entries_of(archive, QDir::AllEntries | QDir::System);
    std::vector<std::optional<ArchivedDevice>> devices(size_t(tops.size()));
    std::vector<QStringList> foreign(size_t(tops.size()));
    // Most of the time goes to the file system's calls: the devices are read
    // on every core, each entry by one thread only.
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 4);
    const auto work = [&](int first) {
        for (int i = first; i < tops.size(); i += threads)
            read_top(tops[i], devices[size_t(i)], foreign[size_t(i)], cache, verify);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads && t < tops.size(); ++t) helpers.emplace_back(work, t);
    work(0);
    for (std::thread& helper : helpers) helper.join();

    ArchiveListing listing;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i]) listing.devices.append(std::move(*devices[i]));
        listing.foreign << foreign[i];
    }
    return listing;
}

std::optional<double> last_mean_o2(const QByteArray& tail) {
    QList<QByteArray> lines = tail.split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
    // The first piece may be cut off by the tail's start; only a whole last
    // line counts, and the header is no row.
    if (lines.size() < 2) return std::nullopt;
    const QList<QByteArray> cells = lines.last().trimmed().split(',');
    if (cells.size() != 11) return std::nullopt;
    bool ok = false;
    const double value = cells[3].toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> read_last_mean_o2(const QString& visit_path) {
    QFile file(visit_path + u'/' + QLatin1String(kVisitMeasurements));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    if (file.size() > kTailBytes && !file.seek(file.size() - kTailBytes)) return std::nullopt;
    return last_mean_o2(file.read(kTailBytes));
}

std::optional<double> page_mean_o2(const ArchivedVisit& visit) {
    return visit.record ? visit.record->protocol_mean_o2 : read_last_mean_o2(visit.path);
}
