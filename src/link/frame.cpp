#include "link/frame.h"

#include <QMetaMethod>
#include <algorithm>

#include "link/conversions.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

QByteArray build_frame(const QByteArray& payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 4);
    frame.append('&').append(char(0x30 + payload.size())).append(payload);
    const quint16 crc = crc16(frame.constData() + 1, frame.size() - 1, kCrcInit);
    frame.append(char(crc >> 8)).append(char(crc & 0xFF));
    return frame;
}

void LinkState::clear() {
    rxbuffer.clear();
    outbuffer_count = 0;
    outbuffer.fill(QByteArray());
    waiting_reply = false;
    last_command.clear();
}

FrameLink::FrameLink(LinkState& state, PortState& port, CommLog& log, Dialogs& dialogs,
                     const Clock& clock, QObject* parent)
    : QObject(parent), state_(state), port_(port), log_(log), dialogs_(dialogs), clock_(clock) {}

qint32 FrameLink::send_frame(const QByteArray& payload) {
    log_.log_line(CommLog::Direction::Out, hex_dump(payload));
    if (port_.ft_handle == 0 || port_.ft == nullptr) return -1;
    const QByteArray frame = build_frame(payload);
    quint32 written = 0;
    return qint32(
        port_.ft->FT_Write(port_.ft_handle, frame.constData(), quint32(frame.size()), written));
}

bool FrameLink::enqueue(const QByteArray& payload) {
    if (state_.outbuffer_count < LinkState::kQueueCapacity) {
        state_.outbuffer[size_t(state_.outbuffer_count)] = payload;
        ++state_.outbuffer_count;
        return true;
    }
    // Reset before the message: the poll ticks go on while the message box
    // shows, and a full queue would overflow again behind it.
    emit queue_overflow();
    dialogs_.show_message(QStringLiteral("Outbuffer overflow"));
    return false;
}

bool FrameLink::is_queued(const QByteArray& payload) const {
    const auto begin = state_.outbuffer.begin();
    return std::find(begin, begin + state_.outbuffer_count, payload) !=
           begin + state_.outbuffer_count;
}

void FrameLink::send_next() {
    if (state_.outbuffer_count <= 0 || state_.waiting_reply) return;
    state_.waiting_reply = true;
    state_.last_command = state_.outbuffer[0];
    // Take the head off before sending so a reset triggered while sending sees
    // a consistent queue.
    const int count = state_.outbuffer_count;
    for (int i = 1; i < count; ++i)
        state_.outbuffer[size_t(i - 1)] = std::move(state_.outbuffer[size_t(i)]);
    state_.outbuffer[size_t(count - 1)] = QByteArray();
    --state_.outbuffer_count;
    send_frame(state_.last_command);
}

void FrameLink::receive(const QByteArray& chunk) {
    log_.log_line(CommLog::Direction::In, hex_dump(chunk));
    QByteArray& rx = state_.rxbuffer;
    rx.append(chunk);

    // Bytes consumed so far; dropped from the buffer in one go at the end.
    qsizetype at = 0;
    while (true) {
        while (at < rx.size() && rx[at] != '&') ++at;
        if (rx.size() - at < 5) break;
        const int n = uchar(rx[at + 1]) - 0x30;
        if (n < 0 || n > kMaxPayload) {
            log_.log_error(CommLog::event_time(clock_.now()) + QStringLiteral(":Invalid clen") +
                           QString::number(n) + QStringLiteral("\r\n"));
            ++at;
            continue;
        }
        if (rx.size() - at < n + 4) break;
        const quint16 received = quint16(uchar(rx[at + n + 2]) * 256 + uchar(rx[at + n + 3]));
        const quint16 computed = crc16(rx.constData() + at + 1, n + 1, kCrcInit);
        if (received != computed) {
            log_.log_error(QStringLiteral("Invalid CRC") + hex_pad(received, 4) + u'/' +
                           hex_pad(computed, 4));
            ++at;
            continue;
        }
        const QByteArray frame = rx.mid(at, n + 4);
        at += n + 4;
        // The reply handler may reset the link (which empties the buffer) or
        // feed the buffer again; drop what is consumed before handing it on.
        rx.remove(0, at);
        at = 0;
        emit reply_received(frame.mid(2, n));
        state_.waiting_reply = false;
        last_frame_ = frame;
        // The hex is for "Data IN" alone: not worked out while nobody shows it.
        if (isSignalConnected(QMetaMethod::fromSignal(&FrameLink::frame_shown)))
            emit frame_shown(hex_dump(frame));
    }
    rx.remove(0, at);
}

QString FrameLink::last_shown() const {
    return last_frame_.isEmpty() ? QString() : hex_dump(last_frame_);
}
