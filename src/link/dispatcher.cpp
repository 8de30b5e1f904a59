#include "link/dispatcher.h"

#include <QLocale>
#include <cmath>

#include "link/conversions.h"
#include "link/frame.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"

ReplyDispatcher::ReplyDispatcher(Geraetedaten& geraet, qint32& timeout_count, FrameLink& frames,
                                 Dialogs& dialogs, const LanguageTable& texts, const Clock& clock,
                                 QObject* parent)
    : QObject(parent),
      geraet_(geraet),
      timeout_count_(timeout_count),
      frames_(frames),
      dialogs_(dialogs),
      texts_(texts),
      clock_(clock) {}

void ReplyDispatcher::dispatch_reply(const QByteArray& payload) {
    timeout_count_ = 0;
    if (sysstat_slot_ > 0) sysstat_step(payload, frames_.state().last_command);
    // Any reply proves the device alive, even one we cannot read: it is stamped
    // below like the rest. Replies shorter than their layout change nothing.
    switch (payload.isEmpty() ? '\0' : payload[0]) {
        case '?':
            if (!apply_version(payload)) return;
            break;
        case 't':
            apply_timing(payload);
            break;
        case 'x':
            apply_hours(payload);
            break;
        case 'e':
            apply_memory(payload);
            break;
        case 'i':
            apply_status(payload);
            break;
        default:
            break;  // acknowledgements ("T", "X", "E", "!") and unknown letters
    }
    geraet_.letzte_antwort = clock_.monotonic_ms();
    emit display_changed();
}

bool ReplyDispatcher::apply_version(const QByteArray& payload) {
    geraet_.sw = decode_cp1252(payload.mid(1));
    bool numeric = false;
    const double value = QLocale::c().toDouble(
        geraet_.sw.chopped(qMin(1, int(geraet_.sw.size()))).trimmed(), &numeric);
    if (numeric && std::isfinite(value)) {
        geraet_.sw_num = QString::number(value, 'g', 15);
        return true;
    }
    dialogs_.show_message(texts_.lang_text(3300) + QStringLiteral("\r\n") + geraet_.sw);
    geraet_.sw_num = QStringLiteral("0");
    return false;
}

void ReplyDispatcher::apply_timing(const QByteArray& payload) {
    if (payload.size() < kTimingLength) return;
    const int n = get_byte(payload, 2) - 0x30;
    if (n >= 0 && n < int(geraet_.zeiten.size()))
        geraet_.zeiten[size_t(n)] = quint8(get_byte(payload, 3));
}

void ReplyDispatcher::apply_hours(const QByteArray& payload) {
    if (payload.size() < kHoursLength) return;
    // The device sends the hour digits least significant first.
    QString hours;
    for (int pos = 6; pos >= 2; --pos)
        hours += QChar(char16_t((get_byte(payload, pos) + 0x30) & 0xFF));
    geraet_.bstd = hours + u':' + QString::number(get_byte(payload, 7)) + u'0';
}

void ReplyDispatcher::apply_memory(const QByteArray& payload) {
    if (payload.size() < kMemoryHeader) return;
    const int address = get_u16be(payload, 2);
    const QByteArray data = payload.mid(kMemoryHeader);
    if (address == kAddrLp) {
        geraet_.lp = decode_cp1252(data);
    } else if (address == kAddrSn) {
        geraet_.sn = decode_cp1252(data);
    } else if (address == kAddrVeeprom) {
        geraet_.veeprom = decode_cp1252(data);
    }
    // Status memory blocks are taken by a running pass only (sysstat_step).
}

void ReplyDispatcher::start_sysstat() {
    geraet_.sysstat.resize(1);
    geraet_.sysstat[0] = Sysstatblock();
    sysstat_slot_ = 1;
    frames_.enqueue(req_sysstat(1));
}

// The device answers a block request with "e", the slot's address and its 26
// bytes. Whatever else comes while the request is out is its answer too: one
// request is out at a time. Such a reply ends the pass with the blocks read,
// rather than leaving it waiting for a block nobody asks for any more.
void ReplyDispatcher::sysstat_step(const QByteArray& payload, const QByteArray& asked) {
    const int n = sysstat_slot_;
    const QByteArray request = req_sysstat(n);
    const bool answers_block = payload.size() >= kMemoryHeader && payload[0] == 'e' &&
                               payload.mid(1, 2) == request.mid(1, 2);
    if (!answers_block) {
        if (asked == request) end_sysstat(SysstatEnd::CutShort);
        return;  // else the block request is still queued: the reply answers another
    }
    const QByteArray data = payload.mid(kMemoryHeader);
    if (data.size() < kSysstatBlockSize) return end_sysstat(SysstatEnd::CutShort);
    // An erased slot reads 0xFF throughout, so its seconds count reads 65535.
    // The low byte alone is not enough: 255, 511, ... 1791 s are real blocks.
    if (uchar(data[1]) == 0xFF && uchar(data[2]) == 0xFF) return end_sysstat(SysstatEnd::Complete);

    Sysstatblock block;
    block.block = quint8(data[0]);
    block.sekunden = get_u16le(data, 2);
    block.alarm = qint16(uchar(data[3]));
    for (size_t i = 0; i < block.werte.size(); ++i) block.werte[i] = quint8(data[int(4 + i)]);
    if (geraet_.sysstat.size() <= n) geraet_.sysstat.resize(n + 1);
    geraet_.sysstat[n] = block;
    if (n >= kSysstatBlocks) return end_sysstat(SysstatEnd::Complete);
    sysstat_slot_ = n + 1;
    frames_.enqueue(req_sysstat(n + 1));
    emit sysstat_progress(n);
}

void ReplyDispatcher::end_sysstat(SysstatEnd end) {
    sysstat_slot_ = 0;
    emit sysstat_complete(end);
}

void ReplyDispatcher::apply_status(const QByteArray& payload) {
    Geraetedaten& g = geraet_;
    if (get_byte(payload, 2) == '0') {
        if (payload.size() < kStatus0Length) return;
        g.zaehler = get_u16be(payload, 3);
        g.druck = get_s16be(payload, 5);
        g.o2 = get_u16be(payload, 7) * 0.1;
        g.kompressortemp = get_s16be(payload, 9) * 0.1;
        g.ventile = quint8(get_byte(payload, 11));
        g.alarmstufe = quint8(get_byte(payload, 12));
        g.leds = quint8(get_byte(payload, 13));
        g.phase = quint8(get_byte(payload, 14));
        g.alarme = quint8(get_byte(payload, 15));
        return;
    }
    if (payload.size() < kStatus1Length) return;
    g.zaehler = get_u16be(payload, 3);
    g.c = get_float(payload, 5);
    g.gastemp = get_s16be(payload, 9) * 0.1;
    g.mwo2 = get_u16be(payload, 11) * 0.1;
    g.spannung = get_u16be(payload, 13) / 35.6;
    g.amplitude = get_u16be(payload, 15);
    g.sensor1 = quint8(get_byte(payload, 23));

    // The 16-bit device counter wraps; only index 1 records are compared.
    if (g.zaehler < g.zaehler_alt) g.zaehler_offset += 65536;
    g.zaehler_alt = g.zaehler;
    if (!g.verbunden || g.laufzeit_reset) {
        g.laufzeit_reset = false;
        g.zaehler_offset = -g.zaehler;
    }
    g.laufzeit = (g.zaehler + g.zaehler_offset) * 0.04;
    g.verbunden = true;
    emit chart_points();
    emit status_record_received();
}
