// Time to list an archive of 1,000 visits as the "Archiv" window does: every
// device folder, every visit folder, each visit's protocol.txt read and
// checked (100 devices with 10 visits each).
#include <benchmark/benchmark.h>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include "platform/text_file.h"
#include "protocol/protocol_file.h"
#include "visits/archive_reader.h"

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
            const QString folder = root + QStringLiteral("/QV5%1/").arg(device, 7, 10, QLatin1Char('0')) +
                                   QDate(2020 + visit / 5, 12, visit % 5 + 1)
                                       .toString(QStringLiteral("yyyyMMdd")) +
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

}  // namespace
