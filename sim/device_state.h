#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// What the emulated concentrator knows about itself: its identity, its
// parameter memory, the valve timings, the operating hours and the settings
// its live measurements move around. Plain data with a few helpers; the
// emulator owns one and answers requests from it.

// The live measurements settle at these values. With `moving` off they hold
// exactly still (pressure included), so a test can check decoded numbers; the
// operating phase and the valves keep cycling either way.
struct LiveSettings {
    double o2_percent = 93.0;
    double gas_temp_c = 24.5;  // may be negative: the value goes out as signed tenths
    double compressor_temp_c = 41.6;
    double supply_volts = 24.0;
    double pressure_hpa = 1000.0;  // held value when not moving
    int amplitude = 512;
    int sensor_quality = 98;
    quint8 alarm_level = 0;
    quint8 alarms = 0;
    quint8 leds = 0;  // ORed with the "O2 ok" lamp the device lights itself
    bool moving = true;
};

// Raw values of one moment, scaled as they go out on the wire.
struct LiveRecord {
    quint16 counter = 0;         // 25 Hz ticks
    qint16 pressure = 0;         // hPa
    quint16 o2 = 0;              // tenths of a percent
    qint16 compressor_temp = 0;  // tenths of a degree
    qint16 gas_temp = 0;
    quint16 mean_o2 = 0;
    quint16 supply = 0;  // volts × 35.6
    quint16 amplitude = 0;
    float sound_speed = 0;  // m/s
    quint8 valves = 0;      // bit 0: inlet 2 active (else inlet 1), bit 1: A1 open, bit 2: A2 open
    quint8 alarm_level = 0;
    quint8 leds = 0;
    quint8 phase = 0;  // 0 pre-run, 1 column 1 working, 2 column 2 working
    quint8 alarms = 0;
    quint8 sensor_quality = 0;
};

struct DeviceState {
    static constexpr int kEepromSize = 1024;
    static constexpr int kMsPerTick = 40;                      // the device counts at 25 Hz
    static constexpr qint64 kMsPerHoursStep = 10 * 60 * 1000;  // hours count in ten minutes

    static constexpr std::array<quint8, 7> kStandardZeiten = {100, 144, 144, 27, 134, 27, 134};

    DeviceState();

    // The version text sent as the answer to "?". The program reads all but its
    // last character as a number, so the default is digits and a letter.
    QByteArray version_text = QByteArrayLiteral("1305A");
    // Operating hours as on the wire: the five hour digits least significant
    // first, then the tens of minutes (0..5).
    std::array<quint8, 6> hours{};
    std::array<quint8, 7> zeiten = kStandardZeiten;
    QByteArray eeprom;          // kEepromSize bytes; erased cells read 0xFF
    quint16 counter_start = 0;  // the tick counter at power-on
    LiveSettings live;

    // Device time (ms) of the last power-on, and up to which the operating
    // hours have been counted.
    qint64 power_on_ms = 0;
    qint64 hours_counted_ms = 0;

    // Texts in the parameter memory, padded with spaces or cut to their field.
    void set_lp(const QByteArray& text);
    void set_serial_number(const QByteArray& text);
    void set_veeprom(const QByteArray& text);
    QByteArray read_eeprom(int address, int count) const;    // beyond the end reads 0xFF
    void write_eeprom(int address, const QByteArray& data);  // beyond the end is lost

    // Status memory: blocks 1..count hold plausible records, the rest is erased.
    void fill_status_blocks(int count);

    // "HHHHHM": five hour digits and the tens of minutes, as a technician
    // writes them (01234:5 is "012345"). False (nothing changed) when malformed.
    bool set_hours_text(const QString& text);
    QString hours_text() const;
    // Counts whole ten-minute steps of running up to `now_ms`.
    void run_hours_until(qint64 now_ms);

    // The live measurements at device time `now_ms`.
    LiveRecord live_record(qint64 now_ms) const;
};

// Payloads (letter first) of the two status records.
QByteArray status_record_0(const LiveRecord& r);
QByteArray status_record_1(const LiveRecord& r);
