#include "sim/device_state.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "link/requests.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kTextFieldSize = 12;
constexpr int kVeepromSize = 4;
constexpr int kHoursSteps = 100000 * 6;  // the counter rolls over after 99999:5

quint8 clamp_byte(double v) {
    return quint8(std::clamp(qRound(v), 0, 255));
}
quint16 clamp_u16(double v) {
    return quint16(std::clamp(qRound(v), 0, 65535));
}
qint16 clamp_s16(double v) {
    return qint16(std::clamp(qRound(v), -32768, 32767));
}

QByteArray padded(const QByteArray& text, int size) {
    return text.leftJustified(size, ' ', true);
}

void append_u16be(QByteArray& out, quint16 v) {
    out.append(char(v >> 8)).append(char(v & 0xFF));
}

// Speed of sound in the product gas: air at that temperature, corrected for
// the heavier oxygen-rich mixture (the remainder is mostly nitrogen and argon).
double sound_speed(double o2_percent, double temp_c) {
    const double air = 331.3 * std::sqrt(1.0 + temp_c / 273.15);
    const double x = std::clamp(o2_percent / 100.0, 0.0, 1.0);
    const double molar_mass = 32.0 * x + 28.2 * (1.0 - x);
    return air * std::sqrt(28.96 / molar_mass);
}

// Where the valve cycle stands after `ticks` ticks of running: pre-run, then
// the two columns take turns. Each column's exhaust valve of the other column
// opens and closes at its own timing within the half cycle.
struct CyclePoint {
    quint8 phase;
    quint8 valves;
    double fraction;  // how far into the current phase, 0..1
};

CyclePoint cycle_point(const std::array<quint8, 7>& z, qint64 ticks) {
    if (ticks < z[0]) return {0, 0x06, double(ticks) / std::max<int>(1, z[0])};
    const qint64 len1 = std::max<int>(1, z[1]), len2 = std::max<int>(1, z[2]);
    const qint64 u = (ticks - z[0]) % (len1 + len2);
    if (u < len1) {
        const bool a2 = u >= z[3] && u < z[4];
        return {1, quint8(a2 ? 0x04 : 0x00), double(u) / double(len1)};
    }
    const qint64 v = u - len1;
    const bool a1 = v >= z[5] && v < z[6];
    return {2, quint8(0x01 | (a1 ? 0x02 : 0x00)), double(v) / double(len2)};
}

}  // namespace

DeviceState::DeviceState() : eeprom(kEepromSize, char(0xFF)) {
    set_lp(QByteArrayLiteral("080923004711"));
    set_serial_number(QByteArrayLiteral("QV5000012345"));
    set_veeprom(QByteArrayLiteral("0001"));
    fill_status_blocks(6);
    set_hours_text(QStringLiteral("012345"));
}

void DeviceState::set_lp(const QByteArray& text) {
    write_eeprom(kAddrLp, padded(text, kTextFieldSize));
}

void DeviceState::set_serial_number(const QByteArray& text) {
    write_eeprom(kAddrSn, padded(text, kTextFieldSize));
}

void DeviceState::set_veeprom(const QByteArray& text) {
    write_eeprom(kAddrVeeprom, padded(text, kVeepromSize));
}

QByteArray DeviceState::read_eeprom(int address, int count) const {
    QByteArray data(std::max(0, count), char(0xFF));
    for (int i = 0; i < data.size(); ++i)
        if (address + i >= 0 && address + i < eeprom.size()) data[i] = eeprom[address + i];
    return data;
}

void DeviceState::write_eeprom(int address, const QByteArray& data) {
    for (int i = 0; i < data.size(); ++i)
        if (address + i >= 0 && address + i < eeprom.size()) eeprom[address + i] = data[i];
}

void DeviceState::fill_status_blocks(int count) {
    count = std::clamp(count, 0, kSysstatBlocks);
    for (int k = 1; k <= kSysstatBlocks; ++k) {
        QByteArray block(kSysstatBlockSize, char(0xFF));
        if (k <= count) {
            // One period of operation each: run time, alarms and their
            // durations, then minimum, mean and maximum of the measurements
            // around the settled live values.
            int seconds = 1800 + 97 * k;
            if ((seconds & 0xFF) == 0xFF) ++seconds;  // a low byte 0xFF marks an erased block
            const quint8 alarm = k % 5 == 0 ? 0x20 : (k % 7 == 0 ? 0x02 : 0x00);
            const double gas = live.gas_temp_c * 2, comp = live.compressor_temp_c * 2;
            const double o2 = live.o2_percent * 2;
            const int q = live.sensor_quality;
            const double values[22] = {alarm == 0x20 ? 22.0 : 0.0,
                                       alarm == 0x02 ? 10.0 + k : 0.0,
                                       0,
                                       0,
                                       gas - 6 - k % 3,
                                       gas,
                                       gas + 4,
                                       comp - 4 - k % 3,
                                       comp,
                                       comp + 3,
                                       o2 - 8 + k % 4,
                                       o2,
                                       std::min(200.0, o2 + 4),
                                       92.0 - k % 3,
                                       122,
                                       145,
                                       92,
                                       122.0 + k % 2,
                                       144,
                                       double(q - 20 - k % 5),
                                       double(q - 5),
                                       double(std::min(100, q + 2))};
            block[0] = char(20 + k);
            block[1] = char(seconds & 0xFF);
            block[2] = char(seconds >> 8);
            block[3] = char(alarm);
            for (int i = 0; i < 22; ++i)
                block[4 + i] = char(values[i] <= 0 ? 0 : std::max<int>(1, clamp_byte(values[i])));
        }
        write_eeprom(sysstat_address(k), block);
    }
}

bool DeviceState::set_hours_text(const QString& text) {
    if (text.size() != 6) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    if (text[5] > u'5') return false;
    for (int i = 0; i < 5; ++i) hours[size_t(i)] = quint8(text[4 - i].unicode() - u'0');
    hours[5] = quint8(text[5].unicode() - u'0');
    return true;
}

QString DeviceState::hours_text() const {
    QString text;
    for (int i = 4; i >= 0; --i) text.append(QChar(u'0' + hours[size_t(i)]));
    text.append(QChar(u'0' + hours[5]));
    return text;
}

void DeviceState::run_hours_until(qint64 now_ms) {
    if (now_ms <= hours_counted_ms) return;
    const qint64 steps = (now_ms - hours_counted_ms) / kMsPerHoursStep;
    if (steps == 0) return;
    hours_counted_ms += steps * kMsPerHoursStep;
    qint64 total = 0;  // in ten-minute steps
    for (int i = 4; i >= 0; --i) total = total * 10 + hours[size_t(i)];
    total = (total * 6 + hours[5] + steps) % kHoursSteps;
    hours[5] = quint8(total % 6);
    total /= 6;
    for (int i = 0; i < 5; ++i, total /= 10) hours[size_t(i)] = quint8(total % 10);
}

LiveRecord DeviceState::live_record(qint64 now_ms) const {
    const qint64 ms = std::max<qint64>(0, now_ms - power_on_ms);
    const qint64 ticks = ms / kMsPerTick;
    const double t = ms / 1000.0;
    const CyclePoint cycle = cycle_point(zeiten, ticks);
    const LiveSettings& s = live;

    double pressure = s.pressure_hpa, o2 = s.o2_percent, mean_o2 = s.o2_percent;
    double gas = s.gas_temp_c, comp = s.compressor_temp_c, volts = s.supply_volts;
    double amplitude = s.amplitude;
    if (s.moving) {
        // A column fills quickly, then levels off; switching columns drops the
        // pressure again. Oxygen builds up from air over the first minutes.
        const double f = cycle.fraction;
        pressure = cycle.phase == 0 ? 200.0 + 500.0 * f
                                    : 736.0 + 430.0 * (1 - std::exp(-3 * f)) / (1 - std::exp(-3.0));
        o2 = 21.0 + (s.o2_percent - 21.0) * (1 - std::exp(-t / 30)) + 0.3 * std::cos(2 * kPi * f);
        mean_o2 = 21.0 + (s.o2_percent - 21.0) * (1 - std::exp(-t / 60));
        gas += 0.3 * std::sin(t / 20);
        comp += 0.4 * std::sin(t / 30);
        volts += 0.1 * std::sin(t * 0.7);
        amplitude += (pressure - 950.0) / 8;
    }

    LiveRecord r;
    r.counter = quint16((counter_start + ticks) & 0xFFFF);
    r.pressure = clamp_s16(pressure);
    r.o2 = clamp_u16(o2 * 10);
    r.compressor_temp = clamp_s16(comp * 10);
    r.gas_temp = clamp_s16(gas * 10);
    r.mean_o2 = clamp_u16(mean_o2 * 10);
    r.supply = clamp_u16(volts * 35.6);
    r.amplitude = clamp_u16(amplitude);
    r.sound_speed = float(sound_speed(o2, gas));
    r.valves = cycle.valves;
    r.alarm_level = s.alarm_level;
    r.leds = quint8(s.leds | (o2 >= 82.0 ? 0x04 : 0x00));
    r.phase = cycle.phase;
    r.alarms = s.alarms;
    r.sensor_quality = clamp_byte(s.sensor_quality);
    return r;
}

QByteArray status_record_0(const LiveRecord& r) {
    QByteArray p = QByteArrayLiteral("i0");
    append_u16be(p, r.counter);
    append_u16be(p, quint16(r.pressure));
    append_u16be(p, r.o2);
    append_u16be(p, quint16(r.compressor_temp));
    p.append(char(r.valves)).append(char(r.alarm_level)).append(char(r.leds));
    p.append(char(r.phase)).append(char(r.alarms));
    return p;
}

QByteArray status_record_1(const LiveRecord& r) {
    QByteArray p = QByteArrayLiteral("i1");
    append_u16be(p, r.counter);
    quint32 bits = 0;
    std::memcpy(&bits, &r.sound_speed, sizeof bits);
    char le[4];
    qToLittleEndian(bits, le);
    p.append(le, 4);
    append_u16be(p, quint16(r.gas_temp));
    append_u16be(p, r.mean_o2);
    append_u16be(p, r.supply);
    append_u16be(p, r.amplitude);
    p.append(6, '\0');  // reserved
    p.append(char(r.sensor_quality));
    return p;
}
