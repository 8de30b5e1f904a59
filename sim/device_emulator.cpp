#include "sim/device_emulator.h"

#include <algorithm>

#include "link/conversions.h"
#include "link/frame.h"
#include "link/requests.h"

namespace {

// Split replies reach the host in bursts of these sizes, in turn.
constexpr int kBurstSizes[] = {2, 5, 1, 3};

QByteArray refusal() {
    return QByteArrayLiteral("!");
}

}  // namespace

QString format_log_line(const WireLogEntry& entry) {
    QString line =
        QStringLiteral("%1 %2%3 %4")
            .arg(entry.ms, 9)
            .arg(entry.direction == WireLogEntry::Direction::Received ? QStringLiteral("RECV")
                                                                      : QStringLiteral("SEND"))
            .arg(entry.boot_loader ? QStringLiteral(" boot") : QString())
            .arg(hex_dump(entry.bytes).trimmed());
    if (!entry.note.isEmpty()) line += QStringLiteral("  (") + entry.note + u')';
    return line;
}

DeviceEmulator::DeviceEmulator(DeviceState state) : state_(std::move(state)) {}

DeviceEmulator::Micros DeviceEmulator::byte_us(qint64 bytes, quint32 baud) {
    return (bytes * kBitsPerByte * 1000000 + baud - 1) / baud;
}

void DeviceEmulator::log(WireLogEntry::Direction direction, Micros at_us, const QByteArray& bytes,
                         const QString& note, bool boot) {
    if (!log_) return;
    WireLogEntry entry;
    entry.ms = at_us / 1000;
    entry.direction = direction;
    entry.bytes = bytes;
    entry.note = note;
    entry.boot_loader = boot;
    log_(entry);
}

void DeviceEmulator::receive_from_host(const QByteArray& bytes, qint64 now_ms) {
    const Micros now_us = now_ms * 1000;
    restore_line(now_us);
    if (faults_.unplugged || bytes.isEmpty()) return;
    run_boot_loader_until(now_us);
    if (host_baud_ != 0 && host_baud_ != device_baud()) {
        log(WireLogEntry::Direction::Received, now_us, bytes,
            QStringLiteral("sent at %1 baud, the device listens at %2: lost")
                .arg(host_baud_)
                .arg(device_baud()),
            boot_.active());
        return;
    }
    if (faults_.silent) {
        log(WireLogEntry::Direction::Received, now_us, bytes,
            QStringLiteral("device silent: ignored"), boot_.active());
        return;
    }

    // The bytes follow each other on the line, behind any still arriving. The
    // line speed changes where the device enters or leaves the boot loader.
    Micros run_start_us = std::max(now_us, rx_line_free_);
    qint64 run_bytes = 0;
    quint32 run_baud = device_baud();
    // Raw boot loader bytes are logged as runs, each before what it draws.
    QByteArray boot_bytes;
    Micros boot_start_us = 0;
    const auto log_boot_bytes = [&](const QString& note) {
        if (boot_bytes.isEmpty()) return;
        log(WireLogEntry::Direction::Received, boot_start_us, boot_bytes, note, true);
        boot_bytes.clear();
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (device_baud() != run_baud) {
            run_start_us = rx_line_free_;
            run_bytes = 0;
            run_baud = device_baud();
        }
        const Micros at_us = run_start_us + byte_us(++run_bytes, run_baud);
        rx_line_free_ = at_us;
        if (!boot_.active()) {
            rx_.append(bytes[i]);
            rx_arrival_.push_back(at_us);
            parse_frames();
            continue;
        }
        run_boot_loader_until(at_us);
        if (boot_bytes.isEmpty()) boot_start_us = at_us;
        boot_bytes.append(bytes[i]);
        const std::optional<BootLoader::Output> out = boot_.feed(bytes[i], at_us);
        if (!out) continue;
        log_boot_bytes(out->restart ? QStringLiteral("restart") : QString());
        boot_reply(*out);
        if (faults_.unplugged) break;
        if (out->restart) {
            // Back in the firmware: a fresh start at the normal line speed.
            state_.power_on_ms = at_us / 1000;
            rx_.clear();
            rx_arrival_.clear();
        }
    }
    log_boot_bytes(QString());
}

// Cuts request frames out of the received bytes the way the program cuts
// replies: skip to "&", check the length byte, wait for the whole frame, check
// the CRC, and on a failure drop just the "&" and look again. Unlike the
// program's receiver, a complete frame with an empty payload (4 bytes) is
// taken at once rather than when a fifth byte arrives.
void DeviceEmulator::parse_frames() {
    auto drop_front = [this](qsizetype count) {
        rx_.remove(0, count);
        rx_arrival_.erase(rx_arrival_.begin(), rx_arrival_.begin() + count);
    };
    while (!boot_.active()) {
        const qsizetype start = rx_.indexOf('&');
        drop_front(start < 0 ? rx_.size() : start);
        if (rx_.size() < 2) return;
        const int n = uchar(rx_[1]) - 0x30;
        if (n < 0 || n > kMaxPayload) {
            log(WireLogEntry::Direction::Received, rx_arrival_[1], rx_.left(2),
                QStringLiteral("length byte out of range: ignored"));
            drop_front(1);
            continue;
        }
        if (rx_.size() < n + 4) return;
        const Micros at_us = rx_arrival_[size_t(n + 3)];
        const QByteArray frame = rx_.left(n + 4);
        const quint16 received = quint16(uchar(frame[n + 2]) * 256 + uchar(frame[n + 3]));
        if (received != crc16(frame.constData() + 1, n + 1, kCrcInit)) {
            log(WireLogEntry::Direction::Received, at_us, frame,
                QStringLiteral("CRC mismatch: ignored"));
            drop_front(1);
            continue;
        }
        drop_front(n + 4);
        log(WireLogEntry::Direction::Received, at_us, frame);

        const QByteArray payload = frame.mid(2, n);
        const qint64 at_ms = at_us / 1000;
        state_.run_hours_until(at_ms);
        if (payload.startsWith('b')) {
            // The firmware hands over to the boot loader without a reply; it
            // listens at the higher line speed from now on.
            boot_.enter();
            rx_.clear();
            rx_arrival_.clear();
            return;
        }
        send_reply(answer(payload, at_ms), at_us);
    }
}

// Every request is answered with its own letter. A letter the device does not
// know, a request too short for its letter, an index or digit out of range and
// a read longer than one reply frame can carry are all answered with "!", so
// the host learns at once that the request was refused instead of waiting.
QByteArray DeviceEmulator::answer(const QByteArray& p, qint64 now_ms) {
    const char letter = p.isEmpty() ? '\0' : p[0];
    switch (letter) {
        case '?':
            return '?' + state_.version_text;
        case 'x': {
            QByteArray reply = QByteArrayLiteral("x");
            for (const quint8 digit : state_.hours) reply.append(char(digit));
            return reply;
        }
        case 'X': {
            if (p.size() < 7) return refusal();
            for (int i = 1; i <= 6; ++i)
                if (uchar(p[i]) > (i == 6 ? 5 : 9)) return refusal();
            for (int i = 0; i < 6; ++i) state_.hours[size_t(i)] = quint8(p[i + 1]);
            state_.hours_counted_ms = now_ms;  // the next ten minutes start now
            return QByteArrayLiteral("X");
        }
        case 'e': {
            if (p.size() < 4) return refusal();
            const int count = uchar(p[3]);
            if (count > kMaxReadCount) return refusal();
            const int address = get_u16be(p, 2);
            const QByteArray reply = 'e' + p.mid(1, 3) + state_.read_eeprom(address, count);
            if (faults_.refuse_slot > 0 && address == sysstat_address(faults_.refuse_slot))
                return refusal();
            if (faults_.cut_slot > 0 && address == sysstat_address(faults_.cut_slot))
                return reply.left(reply.size() / 2);
            return reply;
        }
        case 'E': {
            if (p.size() < 4 || p.size() < 4 + uchar(p[3])) return refusal();
            state_.write_eeprom(get_u16be(p, 2), p.mid(4, uchar(p[3])));
            return QByteArrayLiteral("E");
        }
        case 't':
        case 'T': {
            const int n = p.size() >= 2 ? uchar(p[1]) - '0' : -1;
            if (n < 0 || n > 6) return refusal();
            if (letter == 't') return p.left(2) + char(state_.zeiten[size_t(n)]);
            if (p.size() < 3) return refusal();
            state_.zeiten[size_t(n)] = quint8(p[2]);
            return QByteArrayLiteral("T");
        }
        case 'i':
            if (p.size() >= 2 && p[1] == '0') return status_record_0(state_.live_record(now_ms));
            if (p.size() >= 2 && p[1] == '1') return status_record_1(state_.live_record(now_ms));
            return refusal();
        default:
            return refusal();
    }
}

void DeviceEmulator::send_reply(const QByteArray& payload, Micros ready_us) {
    ++replies_;
    QByteArray bytes = build_frame(payload);
    if (faults_.drop_every > 0 && replies_ % quint64(faults_.drop_every) == 0) {
        log(WireLogEntry::Direction::Sent, ready_us, bytes, QStringLiteral("dropped"));
        return;
    }
    QStringList notes;
    if (faults_.corrupt_every > 0 && replies_ % quint64(faults_.corrupt_every) == 0) {
        bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x5A);
        notes << QStringLiteral("CRC corrupted");
    }
    if (faults_.garbage) {
        QByteArray junk;
        const int count = 1 + int(garbage_seed_ % 3);
        while (junk.size() < count) {
            garbage_seed_ = garbage_seed_ * 1103515245u + 12345u;
            const char c = char(garbage_seed_ >> 16);
            if (c != '&') junk.append(c);
        }
        bytes.prepend(junk);
        notes << QStringLiteral("%1 garbage bytes first").arg(count);
    }
    const bool split =
        faults_.split || (faults_.split_every > 0 && replies_ % quint64(faults_.split_every) == 0);
    if (split && !faults_.split) notes << QStringLiteral("split");
    transmit(bytes, ready_us, false, notes.join(QStringLiteral(", ")), split);
}

void DeviceEmulator::transmit(const QByteArray& bytes, Micros ready_us, bool boot,
                              const QString& note, bool split) {
    const Micros start_us = std::max(ready_us + Micros(faults_.delay_ms) * 1000, tx_line_free_);
    log(WireLogEntry::Direction::Sent, start_us, bytes, note, boot);
    // A byte reaches the host once its stop bits are through; a split reply
    // is handed over a burst at a time, with a pause between bursts.
    const quint32 baud = boot ? kBootBaud : kNormalBaud;
    Micros burst_start = start_us;
    qsizetype pos = 0;
    for (int burst = 0; pos < bytes.size(); ++burst) {
        const qsizetype len =
            split ? std::min<qsizetype>(bytes.size() - pos, kBurstSizes[burst % 4]) : bytes.size();
        const Micros burst_end = burst_start + byte_us(len, baud);
        for (qsizetype k = 0; k < len; ++k) {
            out_.append(bytes[pos + k]);
            out_ready_.push_back(split ? burst_end : burst_start + byte_us(k + 1, baud));
        }
        pos += len;
        tx_line_free_ = burst_end;
        burst_start = burst_end + Micros(kBurstPauseMs) * 1000;
    }
}

void DeviceEmulator::run_boot_loader_until(Micros now_us) {
    const std::optional<BootLoader::Output> out = boot_.poll(now_us);
    if (out && !faults_.silent) boot_reply(*out);
}

void DeviceEmulator::boot_reply(const BootLoader::Output& out) {
    if (!out.reply.isEmpty()) transmit(out.reply, out.at_us, true, QString(), false);
    const BootLoaderFaults& f = boot_.faults();
    if (out.reply != ">" || f.drop_line_after <= 0 ||
        boot_.accepted_blocks().size() != f.drop_line_after)
        return;
    faults_.unplugged = true;
    log(WireLogEntry::Direction::Sent, out.at_us, QByteArray(), QStringLiteral("line dropped"),
        true);
    line_back_us_ = f.drop_line_for_ms < 0 ? -1 : out.at_us + Micros(f.drop_line_for_ms) * 1000;
}

void DeviceEmulator::restore_line(Micros now_us) {
    if (line_back_us_ < 0 || now_us < line_back_us_) return;
    line_back_us_ = -1;
    faults_.unplugged = false;
}

QByteArray DeviceEmulator::take_output(qint64 now_ms) {
    const Micros now_us = now_ms * 1000;
    restore_line(now_us);
    if (!faults_.unplugged) run_boot_loader_until(now_us);
    if (faults_.unplugged) {
        discard_output();
        return QByteArray();
    }
    qsizetype count = 0;
    while (count < qsizetype(out_ready_.size()) && out_ready_[size_t(count)] <= now_us) ++count;
    const QByteArray done = out_.left(count);
    out_.remove(0, count);
    out_ready_.erase(out_ready_.begin(), out_ready_.begin() + count);
    return done;
}

qint64 DeviceEmulator::next_output_ms() const {
    if (out_ready_.empty()) return -1;
    return (out_ready_.front() + 999) / 1000;
}

void DeviceEmulator::power_cycle(qint64 now_ms) {
    boot_.reset();
    rx_.clear();
    rx_arrival_.clear();
    discard_output();
    state_.power_on_ms = now_ms;
}

void DeviceEmulator::discard_output() {
    out_.clear();
    out_ready_.clear();
}
