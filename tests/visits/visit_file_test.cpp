// The visit's own file as another program, a later version or a damaged disk
// may leave it: only a whole file of this program is read.
#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "visits/visit_file.h"

TEST(VisitFile, ReadsItsOwnFileBackAndRefusesEveryEntryThatIsNot) {
    VisitRecord sample;
    sample.program_version = "1.2.0";
    sample.finished = QDateTime::fromString("2026-12-08T14:05:09+01:00", Qt::ISODate);
    sample.serial = "QV5B2002";
    sample.protocol_mean_o2 = 93.4;
    sample.status_read = StatusReadEnd::cut_short;
    sample.status_blocks = 2;
    sample.status_cut_at = 3;
    sample.serial_changes = {{sample.finished, "QV5B2002", "QV5BX"}};
    sample.sha256 = {{"protocol.txt", QByteArray(64, 'a')}};
    const QByteArray json = visit_record_json(sample);
    VisitRecord read;
    ASSERT_TRUE(parse_visit_record(json, read));
    EXPECT_EQ(visit_record_json(read), json);
    EXPECT_EQ(read.finished.offsetFromUtc(), 3600);

    // One entry changed at a time: "key=JSON value", a key alone is removed,
    // "outer/inner" is a key below the root. A time without its UTC offset is none.
    const QStringList cases = QString(R"(format=2 format program_version=120 serial="" serial
        finished="2026-12-08T14:05:09" finished="gestern" protocol_mean_o2="93,4"
        status_read/end="partial" status_read/blocks=256 status_read/blocks="2" status_read/cut_at
        status_read="complete" device_reachable="no" incomplete serial_changes sha256=[]
        serial_changes=[{"time":"2026-12-08T14:04:09+01:00"}] sha256/../status.txt
        sha256/visit.json sha256/status.txt="00"
        sha256/status.txt="AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA")")
                                  .split(QRegularExpression("\\s+"));
    for (const QString& entry : cases) {
        const QString key = entry.section('=', 0, 0);
        const QByteArray text = entry.mid(key.size() + 1).toUtf8();
        // A sum that is right in itself under a name that is no plain file's.
        const QJsonValue value = text.isEmpty() && key.startsWith("sha256/")
                                     ? QJsonValue(QString(64, u'a'))
                                     : QJsonDocument::fromJson("[" + text + "]").array().at(0);
        QJsonObject root = QJsonDocument::fromJson(json).object();
        const QString outer = key.section('/', 0, 0), inner = key.section('/', 1);
        QJsonObject child = root.value(outer).toObject();
        QJsonObject& target = inner.isEmpty() ? root : child;
        const QString name = inner.isEmpty() ? outer : inner;
        value.isUndefined() ? target.remove(name) : void(target.insert(name, value));
        if (!inner.isEmpty()) root.insert(outer, child);
        read.serial = "kept";
        QString error;
        EXPECT_FALSE(parse_visit_record(QJsonDocument(root).toJson(), read, &error))
            << entry.toStdString();
        EXPECT_FALSE(error.isEmpty()) << entry.toStdString();
        EXPECT_EQ(read.serial, "kept") << entry.toStdString();  // a refused file changes nothing
    }
    for (const QByteArray& bytes : {QByteArray("{"), QByteArray("[]"), json.left(80)})
        EXPECT_FALSE(parse_visit_record(bytes, read)) << bytes.constData();
}
