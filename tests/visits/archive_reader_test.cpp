// The archive as it is found on disk: visits of the program, and whatever
// else ended up there.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "link/device_data.h"
#include "protocol/protocol_file.h"
#include "visits/archive_reader.h"
#include "visits/measurement_log.h"
#include "visits/visit_check.h"
#include "visits/visit_folder.h"

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray protocol_bytes(const QString& pruefer, const QString& o2_line) {
    Pruefprotokoll record;
    record.felder[kPruefer] = pruefer;
    record.felder[kStk] = "1";
    record.geraetedaten.bstd = "01234:50";
    record.geraetedaten.sw = "V2.15a";
    QString text = protocol_file_text(record);
    text.replace("O2|0\r\n", o2_line);
    return text.toLatin1();
}

}  // namespace

TEST(ArchiveReader, ListsEveryVisitNewestFirstAndMarksWhatIsNoProtocol) {
    QTemporaryDir archive;
    const QString dev = archive.path() + "/QV5000012345/";
    struct Case {
        const char* entry;  // below the device folder; a trailing "/" is a folder without files
        QByteArray protocol;
        bool readable;  // false: listed as unreadable; no entry: a foreign entry
        bool listed = true;
    };
    const QByteArray good = protocol_bytes("Meier", "O2|93,5\r\n");
    const QByteArray no_sn = QByteArray(good).replace("SN|\r\n", "");
    const Case cases[] = {
        {"20261201_101500", good, true},
        {"20261203_090000", protocol_bytes("Schulz", "O2|95,1\r\n"), true},
        {"20261203_090000_2", good, true},  // a second visit in the same second
        {"20261202_080000", "", false},
        {"20261202_080001", "Hello, this is a shopping list\r\n", false},
        {"20261202_080002", no_sn, false},
        {"20261202_080003", protocol_bytes("X", "O2|viel\r\n"), false},
        {"20261202_080004", QByteArray("\xff\xfe\x00\x01\x02|\x80", 7), false},
        {"20261202_080005", good + QByteArray(300 * 1024, 'x'), false},
        {"20261202_080006/", {}, false},   // a folder without protocol.txt
        {"notes", good, false, false},     // a folder that is no visit
        {"README.txt", {}, false, false},  // a file beside the visits
    };
    for (const Case& c : cases) {
        const QString entry = dev + c.entry;
        if (entry.endsWith('/'))
            QDir().mkpath(entry);
        else if (entry.endsWith(".txt"))
            put(entry, "foreign");
        else
            put(entry + "/protocol.txt", c.protocol);
    }
    put(dev + ".20261204_000000.writing/protocol.txt", good);  // still being written
    put(archive.path() + "/loose.pdf", "%PDF");                // no device folder

    const ArchiveListing listing = list_archive(archive.path());
    const QVector<ArchivedDevice>& devices = listing.devices;
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0].name, "QV5000012345");
    const QVector<ArchivedVisit>& visits = devices[0].visits;
    ASSERT_EQ(visits.size(), int(std::size(cases)) - 2);
    for (const Case& c : cases) {
        const QString name = QString(c.entry).remove('/');
        const auto found = std::find_if(visits.begin(), visits.end(), [&](const ArchivedVisit& v) {
            return QFileInfo(v.path).fileName() == name;
        });
        EXPECT_EQ(found != visits.end(), c.listed) << c.entry;
        if (found != visits.end()) {
            EXPECT_EQ(found->readable, c.readable) << c.entry;
        }
    }
    EXPECT_EQ(listing.foreign,
              QStringList({"QV5000012345/README.txt", "QV5000012345/notes", "loose.pdf"}));
    EXPECT_TRUE(visits[0].path.endsWith("20261203_090000_2"));
    EXPECT_TRUE(visits[1].path.endsWith("20261203_090000"));
    EXPECT_EQ(visits[1].pruefer, "Schulz");
    EXPECT_DOUBLE_EQ(visits[1].o2, 95.1);
    EXPECT_EQ(visits[1].stk, "1");
    EXPECT_EQ(visits[1].bstd, "01234:50");
    EXPECT_EQ(visits[1].sw, "V2.15a");
    EXPECT_TRUE(visits[2].path.endsWith("20261202_080006"));  // dated, unreadable: by date

    // The mean O2 comes from the measurements' last whole row.
    const QByteArray header = "time,a,b,c,d,e,f,g,h,i,j\n";
    struct Tail {
        QByteArray bytes;
        std::optional<double> mean;
    };
    for (const Tail& t :
         {Tail{header + "2026-12-01T10:00:00,1,93.0,92.5,1,2,3,4,5,6,7\n", 92.5},
          Tail{"00:00,1,93.0,92.5,1,2,3,4,5,6,7\n2026-12-01T10:00:01,1,9,91.0,1,2"
               ",3,4,5,6,7",
               91.0},
          Tail{header, std::nullopt},
          Tail{header + "2026-12-01T10:00:00,1,93.0,nan,1,2,3,4,5,6,7\n", std::nullopt},
          Tail{header + "2026-12-01T10:00:00,1,93.0\n", std::nullopt}, Tail{"", std::nullopt}})
        EXPECT_EQ(last_mean_o2(t.bytes), t.mean) << t.bytes.constData();
}

TEST(VisitFolder, NeverOverwritesAndLeavesNothingWhenNotCommitted) {
    QTemporaryDir archive;
    const QDateTime when(QDate(2026, 12, 8), QTime(2, 15, 30));
    QString error;
    {
        VisitFolder abandoned;
        ASSERT_TRUE(abandoned.begin(archive.path(), "SN1", when, &error));
        ASSERT_TRUE(abandoned.write_bytes("measurements.csv", "x", &error));
    }
    EXPECT_TRUE(QDir(archive.path() + "/SN1")
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    for (const char* expected : {"20261208_021530", "20261208_021530_2"}) {
        VisitFolder folder;
        ASSERT_TRUE(folder.begin(archive.path(), "SN1", when, &error));
        ASSERT_TRUE(folder.write_bytes("measurements.csv", expected, &error));
        ASSERT_TRUE(folder.commit(&error));
        EXPECT_EQ(folder.final_path(), archive.path() + "/SN1/" + expected);
    }
    QFile first(archive.path() + "/SN1/20261208_021530/measurements.csv");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), "20261208_021530");
}

TEST(MeasurementLog, KeepsRowsAcrossLinkDropsButNotAcrossDevices) {
    MeasurementLog log;
    Geraetedaten g;
    const qint64 t = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0)).toMSecsSinceEpoch();
    g.o2 = 93.4;
    log.record(g, t);  // before the serial number arrived
    g.sn = "QV5000012345";
    log.record(g, t + 1000);
    reset_geraet(g, 0);  // the link dropped and came back
    g.sn = "QV5000012345";
    log.record(g, t + 2000);
    EXPECT_EQ(log.rows().size(), 3u);
    // Eight hours of rows at one a second stay whole.
    for (int s = 3; s <= 8 * 3600 + 2; ++s) log.record(g, t + s * 1000LL);
    EXPECT_EQ(log.rows().size(), size_t(8 * 3600 + 3));
    g.sn = "QV5000099999";
    log.record(g, t + (8 * 3600 + 3) * 1000LL);
    EXPECT_EQ(log.rows().size(), 1u);
    EXPECT_EQ(measurements_csv(log.rows()).split('\n')[1],
              "2026-12-08T16:00:03,0.00,0.0,0.0,0,0,0,0.00,0.0,0.0,0");
}

TEST(ArchiveReader, ARefreshSeesEveryChangeTheCacheCouldHide) {
    QTemporaryDir archive;
    const QString visit = archive.path() + "/QV5000012345/20261201_101500";
    put(visit + "/protocol.txt", protocol_bytes("Meier", "O2|93,5\r\n"));
    put(visit + "/status.txt", "blocks 1-32");
    VisitRecord own;
    own.serial = "QV5000012345";
    own.finished = QDateTime(QDate(2026, 12, 1), QTime(10, 15));
    for (const char* name : {"protocol.txt", "status.txt"})
        own.sha256[name] = file_sha256(visit + '/' + name);
    put(visit + "/visit.json", visit_record_json(own));
    ArchiveCache cache;
    const auto check = [&] { return list_archive(archive.path(), &cache).devices[0].visits[0]; };
    EXPECT_EQ(check().check, VisitCheck::intact);
    put(visit + "/.status.txt.syncthing.tmp", "half");  // a sync tool at work: no change
    EXPECT_EQ(check().check, VisitCheck::intact);

    // The same size, another content, a later time: read again, not taken from the cache.
    QFile status(visit + "/status.txt");
    ASSERT_TRUE(status.open(QIODevice::ReadWrite));
    status.write("blocks 1-31");
    status.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    status.close();
    ArchivedVisit read = check();
    EXPECT_EQ(read.check, VisitCheck::altered);
    EXPECT_EQ(read.changed, QStringList{"status.txt"});
    // A visit.json that does not read is itself a change; without one the visit cannot be checked.
    QFile(visit + "/visit.json").resize(10);
    read = check();
    EXPECT_EQ(read.check, VisitCheck::altered);
    EXPECT_EQ(read.changed, QStringList{"visit.json"});
    QFile::remove(visit + "/visit.json");
    EXPECT_EQ(check().check, VisitCheck::unchecked);
    EXPECT_TRUE(check().readable);
}
