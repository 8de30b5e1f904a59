// The visit's own file as another program, a later version or a damaged disk
// may leave it: only a whole file of this program is read.
#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "visits/visit_file.h"

TEST(VisitFile, ReadsItsOwnFileBackAndRefusesEveryEntryThatIsNot) {
    const QByteArray json = R"({"format": 1, "program_version": "1.2.0", "serial": "QV5B2002",
        "finished": "2026-12-08T14:05:09+01:00", "protocol_mean_o2": 93.4,
        "status_read": {"end": "cut_short", "blocks": 2, "cut_at": 3}, "device_reachable": false,
        "incomplete": true, "serial_changes": [{"time": "2026-12-08T14:04:09+01:00", "from": "QV5B2002",
        "to": "QV5BX"}], "sha256": {"status.txt": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"}})";
    VisitRecord read;
    ASSERT_TRUE(parse_visit_record(json, read));
    EXPECT_EQ(read.finished.offsetFromUtc(), 3600);
    EXPECT_EQ(visit_record_json(read), QJsonDocument::fromJson(json).toJson());

    // One entry changed at a time: "key=JSON value", a key alone is removed,
    // "outer/inner" is a key below the root; S is a good sum, U one in upper
    // case. A time without its UTC offset is none.
    const QStringList cases = QString(R"(format=2 format program_version=120 serial="" serial
        finished="2026-12-08T14:05:09" finished="gestern" protocol_mean_o2="93,4"
        status_read/end="partial" status_read/blocks=256 status_read/blocks="2" status_read/cut_at
        status_read="complete" device_reachable="no" incomplete serial_changes sha256=[]
        serial_changes=[{"time":"2026-12-08T14:04:09+01:00"}] sha256/../status.txt=S
        sha256/visit.json=S sha256/status.txt="00" sha256/status.txt=U)")
                                  .split(QRegularExpression("\\s+"));
    for (const QString& entry : cases) {
        const QString key = entry.section('=', 0, 0), outer = key.section('/', 0, 0);
        const QString inner = key.section('/', 1), name = inner.isEmpty() ? outer : inner;
        QString text = entry.mid(key.size() + 1);
        if (text == "S" || text == "U") text = '"' + QString(64, text == "S" ? u'0' : u'A') + '"';
        const QJsonValue value = QJsonDocument::fromJson(("[" + text + "]").toUtf8()).array().at(0);
        QJsonObject root = QJsonDocument::fromJson(json).object();
        QJsonObject child = root.value(outer).toObject();
        QJsonObject& target = inner.isEmpty() ? root : child;
        value.isUndefined() ? target.remove(name) : void(target.insert(name, value));
        if (!inner.isEmpty()) root.insert(outer, child);
        read.serial = "kept";
        EXPECT_FALSE(parse_visit_record(QJsonDocument(root).toJson(), read)) << entry.toStdString();
        EXPECT_EQ(read.serial, "kept") << entry.toStdString();  // a refused file changes nothing
    }
    for (const QByteArray& bytes : {QByteArray("{"), QByteArray("[]"), json.left(80)})
        EXPECT_FALSE(parse_visit_record(bytes, read)) << bytes.constData();
}

TEST(VisitFile, SumsAreSha256OfTheWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("protocol.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // The published digests of "abc", and of "a" a million times (longer than
    // any read buffer).
    file.write("abc");
    file.close();
    EXPECT_EQ(file_sha256(path),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1000000, 'a'));
    file.close();
    EXPECT_EQ(file_sha256(path),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(file_sha256(dir.filePath("missing.txt")), QByteArray());
}
