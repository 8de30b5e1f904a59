#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>

#include "sim/boot_loader.h"
#include "sim/device_state.h"

// Faults the emulated device can show; all off by default, changeable at any
// time through DeviceEmulator::faults().
struct DeviceFaults {
    int drop_every = 0;          // every Nth framed reply is never sent
    int corrupt_every = 0;       // every Nth framed reply goes out with a wrong CRC
    bool garbage = false;        // stray bytes (never "&") on the line before each reply
    bool split = false;          // replies reach the host in odd-sized bursts
    int split_every = 0;         // every Nth framed reply comes in bursts
    int delay_ms = 0;            // extra time before each reply starts
    bool silent = false;         // requests are neither acted on nor answered
    bool unplugged = false;      // nothing gets through in either direction
    int refuse_slot = 0;         // the read of status memory slot N is answered "!"
    int cut_slot = 0;            // the reply to the read of slot N loses its second half
};

// One line of the wire log: a request frame the device received (or bytes it
// could not use) or a reply it put on the line.
struct WireLogEntry {
    enum class Direction { Received, Sent };
    qint64 ms = 0;  // device time; for replies, when transmission starts
    Direction direction = Direction::Received;
    QByteArray bytes;
    QString note;              // why something was ignored, or a fault applied
    bool boot_loader = false;  // raw boot loader traffic rather than frames
};
QString format_log_line(const WireLogEntry& entry);

// The device side of the wire protocol. It is fed what the host wrote and the
// time, and hands out what the device has transmitted by a given time; it has
// no threads and no timers, so tests drive it with a hand-moved clock.
//
// Times are milliseconds on one monotonic scale starting at the device's
// power-on. Both directions run at wire speed: 11 bits per byte (start bit,
// 8 data bits, 2 stop bits) at 19200 baud, 38400 baud in the boot loader.
// A reply starts once the request's last byte has arrived, and replies queue
// behind each other on the line.
class DeviceEmulator {
public:
    static constexpr quint32 kNormalBaud = 19200;
    static constexpr quint32 kBootBaud = 38400;
    static constexpr int kBitsPerByte = 11;
    static constexpr int kBurstPauseMs = 16;  // between bursts of a split reply
    static constexpr int kMaxReadCount = 96;  // largest "e" read one reply frame can carry

    explicit DeviceEmulator(DeviceState state = DeviceState());

    void receive_from_host(const QByteArray& bytes, qint64 now_ms);
    // Bytes whose transmission has completed by now_ms, oldest first.
    QByteArray take_output(qint64 now_ms);
    // When the next byte will be complete (ms, rounded up); -1 when nothing is on its way.
    qint64 next_output_ms() const;
    // The converter was closed: whatever is still on its way is lost.
    void discard_output();
    // Switched off and on at now_ms: out of the boot loader, half-received
    // requests and pending replies gone, the live values start from power-on.
    // The parameter memory, timings and operating hours are kept.
    void power_cycle(qint64 now_ms);

    // The host's line speed; 0 means "whatever the device uses" (a
    // pseudo-terminal cannot tell). Bytes sent at another speed than the
    // device's are lost as line noise.
    void set_baud(quint32 host_baud) { host_baud_ = host_baud; }
    quint32 device_baud() const { return boot_.active() ? kBootBaud : kNormalBaud; }
    bool in_boot_loader() const { return boot_.active(); }
    const BootLoader& boot_loader() const { return boot_; }
    BootLoaderFaults& boot_faults() { return boot_.faults(); }

    DeviceState& state() { return state_; }
    const DeviceState& state() const { return state_; }
    DeviceFaults& faults() { return faults_; }
    // Whether the line is dead at now_ms; a line the boot loader fault dropped
    // comes back once its time is up.
    bool unplugged_at(qint64 now_ms) {
        restore_line(now_ms * 1000);
        return faults_.unplugged;
    }

    void set_log(std::function<void(const WireLogEntry&)> log) { log_ = std::move(log); }

private:
    using Micros = qint64;

    void parse_frames();
    QByteArray answer(const QByteArray& payload, qint64 now_ms);
    void send_reply(const QByteArray& payload, Micros ready_us);
    // A split transmission reaches the host in bursts with pauses between them.
    void transmit(const QByteArray& bytes, Micros ready_us, bool boot, const QString& note,
                  bool split);
    void run_boot_loader_until(Micros now_us);
    void restore_line(Micros now_us);
    // Sends what the boot loader answered; the line may drop after it.
    void boot_reply(const BootLoader::Output& out);
    void log(WireLogEntry::Direction direction, Micros at_us, const QByteArray& bytes,
             const QString& note = QString(), bool boot = false);
    // Time on the line for that many bytes, rounded up to whole microseconds.
    static Micros byte_us(qint64 bytes, quint32 baud);

    DeviceState state_;
    DeviceFaults faults_;
    BootLoader boot_;
    quint32 host_baud_ = 0;
    std::function<void(const WireLogEntry&)> log_;

    QByteArray rx_;                  // request bytes not yet consumed
    Micros rx_line_free_ = 0;        // when the host-to-device line is idle again
    std::deque<Micros> rx_arrival_;  // arrival time of each byte in rx_

    QByteArray out_;                // bytes on their way to the host
    std::deque<Micros> out_ready_;  // when each byte of out_ reaches the host
    Micros tx_line_free_ = 0;
    quint64 replies_ = 0;  // framed replies so far, for the every-Nth faults
    quint32 garbage_seed_ = 0x2F6E2B1;
    Micros line_back_us_ = -1;  // when a line dropped by the boot loader fault returns
};
