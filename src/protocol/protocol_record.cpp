#include "protocol/protocol_record.h"

#include <cmath>
#include <optional>

namespace {

// The fields by key, for reading and for writing; nullptr for other keys.
template <typename Record>
auto* measurement(Record& record, const QString& key) {
    using Field = decltype(&record.o2);
    if (key == u"O2") return &record.o2;
    if (key == u"GASTEMP") return &record.gastemp;
    if (key == u"KOMPRESSORTEMP") return &record.kompressortemp;
    return Field(nullptr);
}

template <typename Record>
auto* text_field(Record& record, const QString& key) {
    using Field = decltype(&record.sn);
    if (key == u"SN") return &record.sn;
    if (key == u"LP") return &record.lp;
    if (key == u"VEEPROM") return &record.veeprom;
    if (key == u"SW") return &record.sw;
    if (key == u"SW_NUM") return &record.sw_num;
    if (key == u"BSTD") return &record.bstd;
    return Field(nullptr);
}

// "ZEITEN0" .. "ZEITEN6" give 0 .. 6.
std::optional<int> timing_index(const QString& key) {
    if (key.size() != 7 || !key.startsWith(QLatin1String("ZEITEN"))) return std::nullopt;
    const int n = key.at(6).unicode() - u'0';
    if (n < 0 || n > 6) return std::nullopt;
    return n;
}

// The measurements are written the way a German Windows writes a number: up
// to 15 significant digits with a decimal comma.
QString number_text(double value) {
    return QString::number(value, 'g', 15).replace(u'.', u',');
}

// Files from either kind of PC: a decimal point reads like a decimal comma.
std::optional<double> read_number(QString text) {
    text.replace(u'.', u',').replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

QString device_value_text(const Geraetedaten& record, const QString& key) {
    if (const QString* text = text_field(record, key)) return *text;
    if (const double* value = measurement(record, key)) return number_text(*value);
    if (const std::optional<int> n = timing_index(key))
        return QString::number(record.zeiten[size_t(*n)]);
    return QString();
}

bool set_device_value(Geraetedaten& record, const QString& key, const QString& text) {
    if (QString* field = text_field(record, key)) {
        *field = text;
        return true;
    }
    if (double* field = measurement(record, key)) {
        const std::optional<double> value = read_number(text);
        if (!value) return false;
        *field = *value;
        return true;
    }
    if (const std::optional<int> n = timing_index(key)) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok, 10);
        if (!ok || value < 0 || value > 255) return false;
        record.zeiten[size_t(*n)] = quint8(value);
        return true;
    }
    return true;  // ALARMSIGNAL and keys of no field
}

bool init_protocol_record(Pruefprotokoll& record, const Geraetedaten& source, bool clear,
                          qint64 now_ms) {
    const bool connected = source.verbunden;
    if (connected) {
        if (&source != &record.geraetedaten) record.geraetedaten = source;
    } else {
        reset_geraet(record.geraetedaten, now_ms);
    }
    if (clear) {
        for (size_t i = 1; i < record.felder.size(); ++i) record.felder[i].clear();
    }
    record.geaendert = false;
    return connected;
}

void stamp_date_time(Pruefprotokoll& record, const QDateTime& now) {
    record.felder[kDatum] = now.date().toString(QStringLiteral("dd.MM.yyyy"));
    record.felder[kUhrzeit] = now.time().toString(QStringLiteral("hh:mm:ss"));
}
