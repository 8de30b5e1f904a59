// The visit's own file as another program, a later version or a damaged disk
// may leave it: only a whole file of this program is read.
#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

#include "visits/visit_file.h"

namespace {

const QString kSum = QString(64, u'a');

VisitRecord sample_record() {
    VisitRecord record;
    record.program_version = "1.2.0";
    record.finished = QDateTime::fromString("2026-12-08T14:05:09+01:00", Qt::ISODate);
    record.serial = "QV5B2002";
    record.protocol_mean_o2 = 93.4;
    record.status_read = StatusReadEnd::cut_short;
    record.status_blocks = 2;
    record.status_cut_at = 3;
    record.device_reachable = false;
    record.incomplete = true;
    record.serial_changes = {{record.finished.addSecs(-60), "QV5B2002", "QV5BX"}};
    record.sha256 = {{"protocol.txt", kSum.toLatin1()}, {"status.txt", QByteArray(64, '0')}};
    return record;
}

QJsonObject sample_object() {
    return QJsonDocument::fromJson(visit_record_json(sample_record())).object();
}

// Changes one value, also one below the root ("status_read/cut_at"); an
// undefined value removes the key.
void put(QJsonObject& root, const QString& key, const QJsonValue& value) {
    const auto set = [&value](QJsonObject& object, const QString& name) {
        if (value.isUndefined())
            object.remove(name);
        else
            object.insert(name, value);
    };
    const QString outer = key.section('/', 0, 0), inner = key.section('/', 1);
    if (inner.isEmpty()) return set(root, outer);
    QJsonObject child = root.value(outer).toObject();
    set(child, inner);
    root.insert(outer, child);
}

}  // namespace

TEST(VisitFile, ReadsBackWhatItWritesWithTheOffsetOfTheFinishTime) {
    VisitRecord read;
    ASSERT_TRUE(parse_visit_record(visit_record_json(sample_record()), read));
    EXPECT_EQ(visit_record_json(read), visit_record_json(sample_record()));
    EXPECT_EQ(read.finished.offsetFromUtc(), 3600);
    EXPECT_EQ(read.status_cut_at, 3);
    EXPECT_EQ(read.serial_changes.value(0).to, "QV5BX");
    // A page that showed no mean O2 keeps none, not 0.
    QJsonObject none = sample_object();
    none.insert("protocol_mean_o2", QJsonValue::Null);
    ASSERT_TRUE(parse_visit_record(QJsonDocument(none).toJson(), read));
    EXPECT_FALSE(read.protocol_mean_o2.has_value());
}

TEST(VisitFile, RefusesEveryEntryThatIsNotTheProgramsOwn) {
    const QJsonValue gone;  // undefined: the key is removed
    const struct Case {
        const char* key;
        QJsonValue value;
    } cases[] = {
        {"format", 2},
        {"format", gone},
        {"program_version", 120},
        {"serial", "  "},
        {"serial", gone},
        {"finished", "2026-12-08T14:05:09"},  // no UTC offset
        {"finished", "gestern"},
        {"protocol_mean_o2", "93,4"},
        {"status_read/end", "partial"},
        {"status_read/blocks", gone},
        {"status_read/blocks", 256},
        {"status_read/blocks", "2"},
        {"status_read/cut_at", gone},
        {"status_read/cut_at", 0},
        {"status_read", "complete"},
        {"device_reachable", "no"},
        {"incomplete", gone},
        {"serial_changes", gone},
        {"serial_changes",
         QJsonArray{QJsonObject{{"time", "2026-12-08T14:04:09+01:00"}, {"from", "QV5B2002"}}}},
        {"serial_changes",
         QJsonArray{QJsonObject{{"time", "2026-12-08T14:04:09"}, {"from", "A"}, {"to", "B"}}}},
        {"sha256", QJsonArray{}},
        {"sha256/../protocol.txt", kSum},
        {"sha256/..", kSum},
        {"sha256/visit.json", kSum},
        {"sha256/status.txt", QString(63, u'0')},
        {"sha256/status.txt", QString(64, u'A')},  // upper case is not how it is written
        {"sha256/status.txt", 0},
    };
    for (const Case& c : cases) {
        QJsonObject root = sample_object();
        put(root, QLatin1String(c.key), c.value);
        VisitRecord read = sample_record();
        read.serial = "kept";
        QString error;
        EXPECT_FALSE(parse_visit_record(QJsonDocument(root).toJson(), read, &error))
            << c.key << " " << QJsonDocument(root).toJson().constData();
        EXPECT_FALSE(error.isEmpty()) << c.key;
        EXPECT_EQ(read.serial, "kept") << c.key;  // a refused file changes nothing
    }
    for (const QByteArray bytes :
         {QByteArray(), QByteArray("{"), QByteArray("[]"), QByteArray("\xff\xfe{}"),
          visit_record_json(sample_record()).left(80)}) {
        VisitRecord read;
        EXPECT_FALSE(parse_visit_record(bytes, read)) << bytes.constData();
    }
}
