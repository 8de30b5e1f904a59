#pragma once

#include <QString>
#include <QVector>
#include <array>

// One 26-byte block of the device's status memory.
struct Sysstatblock {
    quint8 block = 0;
    qint32 sekunden = 0;  // unsigned 16-bit on the wire, little-endian
    qint16 alarm = 0;
    std::array<quint8, 22> werte{};
};

// Everything the program knows about the connected device. The service protocol
// keeps its own copy of the same record.
struct Geraetedaten {
    bool verbunden = false;  // a status record of index 1 arrived since the last reset
    QString sn;
    QString lp;
    QString veeprom;
    QString bstd;  // operating hours as "12345:30"
    QString sw;
    QString sw_num = QStringLiteral("0");
    double o2 = 0;              // %
    double druck = 0;           // raw, signed
    double spannung = 0;        // V
    double gastemp = 0;         // °C
    double kompressortemp = 0;  // °C
    quint8 ventile = 0;
    double c = 0;                    // speed of sound
    std::array<quint8, 7> zeiten{};  // valve timings, 0.04 s a step
    qint32 zaehler = 0;              // device tick counter, 25 Hz, 0..65535
    qint32 zaehler_alt = 0;
    double laufzeit = 0;  // seconds since the time base started
    qint32 zaehler_offset = 0;
    quint8 alarmstufe = 0;
    quint8 alarme = 0;
    quint8 phase = 0;
    quint8 sensor1 = 0;
    quint8 leds = 0;
    double mwo2 = 0;  // %
    qint32 amplitude = 0;
    // Monotonic milliseconds of the last reply, resend or reset; the time-out
    // measures from here.
    qint64 letzte_antwort = 0;
    bool laufzeit_reset = false;
    // Status memory read so far, from index 1; index 0 never holds a block. A
    // link reset keeps it; the next pass starts it afresh.
    QVector<Sysstatblock> sysstat{Sysstatblock()};
};

// Empties the record as a link reset does, all but the status memory read;
// `now_ms` becomes the reply time.
void reset_geraet(Geraetedaten& geraet, qint64 now_ms);
