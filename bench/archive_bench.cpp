// Time to list and check an archive as the "Archiv" window does: 1,000
// devices with 10 visits each, every visit with its five files and its
// visit.json; each protocol read, each visit's sums compared with its files
// (or not: the figure without verification).
#include <benchmark/benchmark.h>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "link/device_data.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "protocol/protocol_file.h"
#include "visits/archive_reader.h"
#include "visits/measurement_log.h"
#include "visits/visit_check.h"
#include "visits/visit_file.h"

namespace {

constexpr int kDevices = 1000;
constexpr int kVisits = 10;

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
}

void fill_archive(const QString& root) {
    Pruefprotokoll record;
    record.felder[kPruefer] = QStringLiteral("Meier");
    record.felder[kStk] = QStringLiteral("1");
    record.felder[kBemerkungen] = QStringLiteral("Filter getauscht\r\nKanüle neu");
    record.geraetedaten.bstd = QStringLiteral("01234:50");
    record.geraetedaten.sw = QStringLiteral("V2.15a");
    record.geraetedaten.o2 = 93.4;
    const QString text = protocol_file_text(record);
    // Files of a short visit's size: a PDF page, a status table, a log, a
    // quarter of an hour's rows (about 50 kB a visit, 0.5 GB in all).
    const QByteArray pdf(24 * 1024, 'p');
    const QByteArray status(3 * 1024, 's');
    const QByteArray log(8 * 1024, 'c');
    const QByteArray rows(16 * 1024, 'm');
    for (int device = 0; device < kDevices; ++device) {
        for (int visit = 0; visit < kVisits; ++visit) {
            // Built by hand: "%3120" would read as placeholder %31.
            const QString folder =
                root + QStringLiteral("/QV5%1/").arg(device, 7, 10, QLatin1Char('0')) +
                QDate(2020 + visit / 5, 12, visit % 5 + 1).toString(QStringLiteral("yyyyMMdd")) +
                QStringLiteral("_101500");
            QDir().mkpath(folder);
            if (!write_text_file(folder + QStringLiteral("/protocol.txt"), text)) std::abort();
            put(folder + QStringLiteral("/protocol.pdf"), pdf);
            put(folder + QStringLiteral("/status.txt"), status);
            put(folder + QStringLiteral("/communication.txt"), log);
            put(folder + QStringLiteral("/measurements.csv"), rows);
            VisitRecord own;
            own.serial = QStringLiteral("QV5%1").arg(device, 7, 10, QLatin1Char('0'));
            own.finished = QDateTime(QDate(2024, 1, 1), QTime(10, 15));
            for (const char* name : {"protocol.txt", "protocol.pdf", "status.txt",
                                     "communication.txt", "measurements.csv"})
                own.sha256[QLatin1String(name)] = file_sha256(folder + u'/' + QLatin1String(name));
            put(folder + QStringLiteral("/visit.json"), visit_record_json(own));
        }
    }
}

// One archive for all runs: writing 60,000 files takes longer than reading them.
const QString& archive_root() {
    static QTemporaryDir dir;
    static const QString root = (fill_archive(dir.path()), dir.path());
    return root;
}

bool whole(const ArchiveListing& listing, bool verified) {
    return listing.devices.size() == kDevices && listing.devices[0].visits.size() == kVisits &&
           listing.devices[0].visits[0].readable &&
           listing.devices[0].visits[0].check ==
               (verified ? VisitCheck::intact : VisitCheck::unchecked);
}

// Arg 1: every sum verified (read afresh); arg 0: listed and read only.
void BM_ListArchiveOf10000Visits(benchmark::State& state) {
    const bool verify = state.range(0) != 0;
    const QString& root = archive_root();
    for (auto _ : state) {
        const ArchiveListing listing = list_archive(root, nullptr, verify);
        if (!whole(listing, verify)) state.SkipWithError("archive not listed whole");
        benchmark::DoNotOptimize(listing);
    }
}
BENCHMARK(BM_ListArchiveOf10000Visits)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The window's refresh: the sums already checked are kept by size and time.
void BM_RefreshArchiveOf10000Visits(benchmark::State& state) {
    const QString& root = archive_root();
    ArchiveCache cache;
    list_archive(root, &cache);
    for (auto _ : state) {
        const ArchiveListing listing = list_archive(root, &cache);
        if (!whole(listing, true)) state.SkipWithError("archive not listed whole");
        benchmark::DoNotOptimize(listing);
    }
}
BENCHMARK(BM_RefreshArchiveOf10000Visits)->Unit(benchmark::kMillisecond)->Iterations(3);

// One status reply's share of the visit record, as the program pays it while
// connected: the local time read, one row kept, the oldest row past the kept
// span dropped (the log is full, as after a long day).
void BM_RecordOneStatusReply(benchmark::State& state) {
    SystemClock clock;
    Geraetedaten geraet;
    geraet.sn = QStringLiteral("QV5000012345 ");
    geraet.o2 = 93.4;
    MeasurementLog log;
    const qint64 start = clock.epoch_ms() - MeasurementLog::kKeepMs;
    for (qint64 ms = 0; ms < MeasurementLog::kKeepMs; ms += 200) log.record(geraet, start + ms);
    for (auto _ : state) {
        log.record(geraet, clock.epoch_ms());
        benchmark::DoNotOptimize(log.rows().back());
    }
}
BENCHMARK(BM_RecordOneStatusReply);

}  // namespace

namespace {

// The measurements file of a visit at the end of a long day (9 hours of
// replies, five a second), as "Besuch abschließen" writes it.
void BM_MeasurementsCsvOfALongDay(benchmark::State& state) {
    Geraetedaten geraet;
    geraet.sn = QStringLiteral("QV5000012345");
    geraet.o2 = 93.4;
    MeasurementLog log;
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - MeasurementLog::kKeepMs;
    for (qint64 ms = 0; ms < MeasurementLog::kKeepMs; ms += 200) log.record(geraet, start + ms);
    for (auto _ : state) benchmark::DoNotOptimize(measurements_csv(log.rows()));
}
BENCHMARK(BM_MeasurementsCsvOfALongDay)->Unit(benchmark::kMillisecond);

}  // namespace
