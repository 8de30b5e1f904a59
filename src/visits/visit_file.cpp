#include "visits/visit_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <memory>

#ifdef QV5_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

// The file is well under a kilobyte per file listed; anything far bigger is
// not one of ours.
constexpr qint64 kMaxRecordBytes = 64 * 1024;

const char* const kEnds[] = {"complete", "empty", "cut_short", "not_read"};

QString end_name(StatusReadEnd end) {
    return QLatin1String(kEnds[int(end)]);
}

std::optional<StatusReadEnd> end_of(const QString& name) {
    for (int i = 0; i < 4; ++i)
        if (name == QLatin1String(kEnds[i])) return StatusReadEnd(i);
    return std::nullopt;
}

QString time_text(const QDateTime& when) {
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate);
}

// An ISO 8601 time with its UTC offset ("Z" or "+01:00"); a time without
// one is not a finish time.
std::optional<QDateTime> time_of(const QJsonValue& value) {
    const QString text = value.toString();
    if (text.isEmpty()) return std::nullopt;
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    if (!when.isValid() || when.timeSpec() == Qt::LocalTime) return std::nullopt;
    return when;
}

bool is_sum(const QString& text) {
    if (text.size() != 64) return false;
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
    return true;
}

bool is_plain_file_name(const QString& name) {
    return !name.isEmpty() && name != u'.' && name != QLatin1String("..") && !name.contains(u'/') &&
           !name.contains(u'\\') && name != QLatin1String(kVisitRecordFile);
}

// Collects the first reason a file is refused.
struct Refusal {
    QString* error;
    bool fail(const QString& why) {
        if (error) *error = why;
        return false;
    }
};

}  // namespace

QByteArray visit_record_json(const VisitRecord& record) {
    QJsonObject root;
    root.insert("format", VisitRecord::kFormat);
    root.insert("program_version", record.program_version);
    root.insert("finished", time_text(record.finished));
    root.insert("serial", record.serial);
    root.insert("protocol_mean_o2",
                record.protocol_mean_o2 && std::isfinite(*record.protocol_mean_o2)
                    ? QJsonValue(*record.protocol_mean_o2)
                    : QJsonValue(QJsonValue::Null));
    QJsonObject status;
    status.insert("end", end_name(record.status_read));
    status.insert("blocks", record.status_blocks);
    if (record.status_read == StatusReadEnd::cut_short)
        status.insert("cut_at", record.status_cut_at);
    root.insert("status_read", status);
    root.insert("device_reachable", record.device_reachable);
    root.insert("incomplete", record.incomplete);
    QJsonArray changes;
    for (const SerialChange& change : record.serial_changes)
        changes.append(QJsonObject{
            {"time", time_text(change.when)}, {"from", change.from}, {"to", change.to}});
    root.insert("serial_changes", changes);
    QJsonObject sums;
    for (auto it = record.sha256.cbegin(); it != record.sha256.cend(); ++it)
        sums.insert(it.key(), QString::fromLatin1(it.value()));
    root.insert("sha256", sums);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool parse_visit_record(const QByteArray& bytes, VisitRecord& record, QString* error) {
    Refusal refuse{error};
    QJsonParseError parse_error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse_error);
    if (parse_error.error != QJsonParseError::NoError)
        return refuse.fail("not JSON: " + parse_error.errorString());
    if (!document.isObject()) return refuse.fail("not a JSON object");
    const QJsonObject root = document.object();
    if (root.value("format").toInt(-1) != VisitRecord::kFormat)
        return refuse.fail("unknown format");

    VisitRecord read;
    const QJsonValue version = root.value("program_version");
    const QJsonValue serial = root.value("serial");
    if (!version.isString() || !serial.isString() || serial.toString().trimmed().isEmpty())
        return refuse.fail("program version or serial number missing");
    read.program_version = version.toString();
    read.serial = serial.toString();
    const std::optional<QDateTime> finished = time_of(root.value("finished"));
    if (!finished) return refuse.fail("finish time missing or without its UTC offset");
    read.finished = *finished;

    const QJsonValue mean = root.value("protocol_mean_o2");
    if (mean.isDouble() && std::isfinite(mean.toDouble()))
        read.protocol_mean_o2 = mean.toDouble();
    else if (!mean.isNull())
        return refuse.fail("protocol_mean_o2 is neither a number nor null");

    const QJsonObject status = root.value("status_read").toObject();
    const std::optional<StatusReadEnd> end = end_of(status.value("end").toString());
    const QJsonValue blocks = status.value("blocks");
    if (!end || !blocks.isDouble()) return refuse.fail("status_read incomplete");
    read.status_read = *end;
    read.status_blocks = blocks.toInt(-1);
    if (read.status_blocks < 0 || read.status_blocks > 255)
        return refuse.fail("status_read.blocks out of range");
    if (read.status_read == StatusReadEnd::cut_short) {
        read.status_cut_at = status.value("cut_at").toInt(-1);
        if (read.status_cut_at < 1 || read.status_cut_at > 255)
            return refuse.fail("status_read.cut_at out of range");
    }

    const QJsonValue reachable = root.value("device_reachable");
    const QJsonValue incomplete = root.value("incomplete");
    if (!reachable.isBool() || !incomplete.isBool())
        return refuse.fail("device_reachable or incomplete missing");
    read.device_reachable = reachable.toBool();
    read.incomplete = incomplete.toBool();

    const QJsonValue changes = root.value("serial_changes");
    if (!changes.isArray()) return refuse.fail("serial_changes missing");
    for (const QJsonValue& value : changes.toArray()) {
        const QJsonObject change = value.toObject();
        const std::optional<QDateTime> when = time_of(change.value("time"));
        if (!when || !change.value("from").isString() || !change.value("to").isString())
            return refuse.fail("a serial change is incomplete");
        read.serial_changes.append(
            {*when, change.value("from").toString(), change.value("to").toString()});
    }

    const QJsonValue sums = root.value("sha256");
    if (!sums.isObject()) return refuse.fail("sha256 missing");
    const QJsonObject sum_object = sums.toObject();
    for (auto it = sum_object.constBegin(); it != sum_object.constEnd(); ++it) {
        if (!is_plain_file_name(it.key())) return refuse.fail("sha256 names no plain file");
        if (!is_sum(it.value().toString()))
            return refuse.fail("sha256 of " + it.key() + " malformed");
        read.sha256.insert(it.key(), it.value().toString().toLatin1());
    }
    record = read;
    return true;
}

bool load_visit_record(const QString& visit_path, VisitRecord& record, QString* error) {
    QFile file(visit_path + u'/' + QLatin1String(kVisitRecordFile));
    if (!QFileInfo(file).isFile() || file.size() > kMaxRecordBytes ||
        !file.open(QIODevice::ReadOnly)) {
        if (error) *error = "no readable visit file";
        return false;
    }
    return parse_visit_record(file.read(kMaxRecordBytes), record, error);
}

QByteArray file_sha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
#ifdef QV5_HAVE_OPENSSL
    // OpenSSL uses the processor's SHA instructions, about nine times as fast
    // as Qt's own code here: the archive checks every file of every visit.
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return {};
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0) return {};
        if (got == 0) break;
        if (EVP_DigestUpdate(context.get(), buffer.constData(), size_t(got)) != 1) return {};
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return {};
    return QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex();
#else
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return {};
    return hash.result().toHex();
#endif
}
