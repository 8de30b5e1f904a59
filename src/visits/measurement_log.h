#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <deque>

struct Geraetedaten;

// One status reply as the visit record keeps it: numbers only, turned into
// text when the visit is finished, so recording costs next to nothing.
struct MeasurementRow {
    qint64 epoch_ms = 0;  // the reply's moment; written as local time
    double laufzeit = 0;
    double o2 = 0;
    double mwo2 = 0;
    double druck = 0;
    qint32 amplitude = 0;
    quint8 sensor1 = 0;
    double spannung = 0;
    double gastemp = 0;
    double kompressortemp = 0;
    quint8 phase = 0;
};

// The live values of one device since it was first connected in this run or
// since its last finished visit. A link drop keeps them; a device with another
// serial number starts afresh, but not a serial number the technician wrote
// to the same device: the rows belong to the connection. Rows older than the
// newest by more than the kept span are dropped, so a device left connected
// for days stays bounded.
class MeasurementLog {
public:
    static constexpr qint64 kKeepMs = 9LL * 3600 * 1000;  // a working day and then some

    // A status reply arrived at `epoch_ms`: one row from the live data.
    void record(const Geraetedaten& geraet, qint64 epoch_ms);
    // The visit was finished: its rows are kept in its folder.
    void clear() { rows_.clear(); }

    // The technician wrote `to` as the device's serial number: rows under
    // either name stay, whichever the device answers with from now on.
    void serial_written(const QString& to);
    // `sn` names the device of the rows: its serial number, or one written to it.
    bool is_same_device(const QString& sn) const;

    const QString& serial() const { return serial_; }
    const std::deque<MeasurementRow>& rows() const { return rows_; }

private:
    QString serial_;
    QStringList names_;  // every serial number written to the device of the rows
    std::deque<MeasurementRow> rows_;
};

// The rows as the visit's measurements.csv: UTF-8, a header row, comma
// separated, "." as decimal point, one row per reply with its local time in
// ISO 8601 with seconds.
QByteArray measurements_csv(const std::deque<MeasurementRow>& rows);
