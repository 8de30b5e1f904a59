#include "visits/measurement_log.h"

#include "link/device_data.h"

void MeasurementLog::record(const Geraetedaten& geraet, qint64 epoch_ms) {
    // The serial number arrives with the start requests; rows before it
    // belong to the same device.
    const QString sn = geraet.sn.trimmed();
    if (!sn.isEmpty() && sn != serial_) {
        if (!serial_.isEmpty() && !names_.contains(sn)) {
            rows_.clear();
            names_.clear();
        }
        serial_ = sn;
    }
    MeasurementRow row;
    row.epoch_ms = epoch_ms;
    row.laufzeit = geraet.laufzeit;
    row.o2 = geraet.o2;
    row.mwo2 = geraet.mwo2;
    row.druck = geraet.druck;
    row.amplitude = geraet.amplitude;
    row.sensor1 = geraet.sensor1;
    row.spannung = geraet.spannung;
    row.gastemp = geraet.gastemp;
    row.kompressortemp = geraet.kompressortemp;
    row.phase = geraet.phase;
    rows_.push_back(row);
    while (rows_.front().epoch_ms < epoch_ms - kKeepMs) rows_.pop_front();
}

void MeasurementLog::serial_written(const QString& to) {
    if (!serial_.isEmpty()) names_.append(serial_);
    names_.append(to.trimmed());
}

bool MeasurementLog::is_same_device(const QString& sn) const {
    const QString name = sn.trimmed();
    return !name.isEmpty() && (name == serial_ || names_.contains(name));
}

namespace {

qint64 floor_div(qint64 value, qint64 step) {
    return value / step - (value % step < 0 ? 1 : 0);
}

void add_number(QByteArray& line, double value, int decimals) {
    line += ',';
    line += QByteArray::number(value, 'f', decimals);
}

}  // namespace

QByteArray measurements_csv(const std::deque<MeasurementRow>& rows) {
    QByteArray csv =
        "time,running_time_s,o2_percent,mean_o2_percent,pressure,amplitude,sensor_quality,"
        "supply_voltage_v,gas_temperature_c,compressor_temperature_c,phase\n";
    csv.reserve(csv.size() + qsizetype(rows.size()) * 90);
    // Working out the local time is the dear part; the clock changes only on
    // whole minutes, so a minute's rows share its date, hour and minute.
    qint64 minute = -1;
    QByteArray minute_text;
    for (const MeasurementRow& row : rows) {
        const qint64 seconds = floor_div(row.epoch_ms, 1000);
        if (floor_div(seconds, 60) != minute) {
            minute = floor_div(seconds, 60);
            minute_text = QDateTime::fromSecsSinceEpoch(minute * 60)
                              .toString(QStringLiteral("yyyy-MM-ddTHH:mm:"))
                              .toLatin1();
        }
        const int second = int(seconds - minute * 60);
        QByteArray line = minute_text;
        line += char('0' + second / 10);
        line += char('0' + second % 10);
        add_number(line, row.laufzeit, 2);
        add_number(line, row.o2, 1);
        add_number(line, row.mwo2, 1);
        add_number(line, row.druck, 0);
        add_number(line, row.amplitude, 0);
        add_number(line, row.sensor1, 0);
        add_number(line, row.spannung, 2);
        add_number(line, row.gastemp, 1);
        add_number(line, row.kompressortemp, 1);
        add_number(line, row.phase, 0);
        csv += line;
        csv += '\n';
    }
    return csv;
}
