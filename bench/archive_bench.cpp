// Time to list an archive of 1,000 visits as the "Archiv" window does: every
// device folder, every visit folder, each visit's protocol.txt read and
// checked (100 devices with 10 visits each).
#include <benchmark/benchmark.h>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include "link/device_data.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "protocol/protocol_file.h"
#include "visits/archive_reader.h"
#include "visits/measurement_log.h"

namespace {

void fill_archive(const QString& root) {
    Pruefprotokoll record;
    record.felder[kPruefer] = QStringLiteral("Meier");
    record.felder[kStk] = QStringLiteral("1");
    record.felder[kBemerkungen] = QStringLiteral("Filter getauscht\r\nKanüle neu");
    record.geraetedaten.bstd = QStringLiteral("01234:50");
    record.geraetedaten.sw = QStringLiteral("V2.15a");
    record.geraetedaten.o2 = 93.4;
    const QString text = protocol_file_text(record);
    for (int device = 0; device < 100; ++device) {
        for (int visit = 0; visit < 10; ++visit) {
            // Built by hand: "%3120" would read as placeholder %31.
            const QString folder =
                root + QStringLiteral("/QV5%1/").arg(device, 7, 10, QLatin1Char('0')) +
                QDate(2020 + visit / 5, 12, visit % 5 + 1).toString(QStringLiteral("yyyyMMdd")) +
                QStringLiteral("_101500");
            QDir().mkpath(folder);
            if (!write_text_file(folder + QStringLiteral("/protocol.txt"), text)) std::abort();
        }
    }
}

void BM_ListArchiveOf1000Visits(benchmark::State& state) {
    QTemporaryDir dir;
    fill_archive(dir.path());
    for (auto _ : state) {
        const QVector<ArchivedDevice> devices = list_archive(dir.path());
        if (devices.size() != 100 || devices[0].visits.size() != 10 ||
            !devices[0].visits[0].readable)
            state.SkipWithError("archive not listed whole");
        benchmark::DoNotOptimize(devices);
    }
}
BENCHMARK(BM_ListArchiveOf1000Visits)->Unit(benchmark::kMillisecond);

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
