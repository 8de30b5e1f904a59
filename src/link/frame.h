#pragma once

#include <QByteArray>
#include <QObject>
#include <array>

#include "link/comm_log.h"
#include "link/port_state.h"

class Clock;
class Dialogs;

// Frame on the wire, requests and replies alike:
//   "&", 0x30 + n, n payload bytes (letter first), CRC high, CRC low
// The CRC covers the length byte and the payload.
QByteArray build_frame(const QByteArray& payload);

constexpr int kMaxPayload = 100;  // longest payload the receiver accepts

// Link state: the request queue with at most one request outstanding, and the
// bytes received but not yet consumed.
struct LinkState {
    static constexpr int kQueueCapacity = 100;
    std::array<QByteArray, kQueueCapacity> outbuffer;  // [0] is the head
    qint32 outbuffer_count = 0;
    bool waiting_reply = false;
    QByteArray last_command;  // resent on a time-out
    QByteArray rxbuffer;

    void clear();
};

// Sends queued requests one at a time and cuts replies out of the byte stream.
// What happens with a reply, and what a full queue resets, is wired by the
// composition root to the signals below.
class FrameLink : public QObject {
    Q_OBJECT
public:
    FrameLink(LinkState& state, PortState& port, CommLog& log, Dialogs& dialogs, const Clock& clock,
              QObject* parent = nullptr);

    // Logs the payload, then writes the frame with one write; -1 when no device is open.
    qint32 send_frame(const QByteArray& payload);
    // False (after asking for a link reset and telling the user) when the queue is full.
    bool enqueue(const QByteArray& payload);
    // True while the payload waits in the queue, not yet sent.
    bool is_queued(const QByteArray& payload) const;
    // Sends the head of the queue unless a reply is still awaited.
    void send_next();
    // Consumes bytes read from the port; every valid frame is dispatched in order.
    void receive(const QByteArray& chunk);
    // The link's state: the dispatcher reads which request the reply answers.
    const LinkState& state() const { return state_; }
    // The hex of the last frame received (as frame_shown gives it), empty
    // before the first.
    QString last_shown() const;

signals:
    // A frame passed its length and CRC checks: its payload, letter first.
    void reply_received(const QByteArray& payload);
    // Shown as the developer tab's "Data IN" caption: hex of the whole frame.
    void frame_shown(const QString& hex);
    // The queue overflowed; the link must be reset.
    void queue_overflow();

private:
    LinkState& state_;
    PortState& port_;
    CommLog& log_;
    Dialogs& dialogs_;
    const Clock& clock_;
    QByteArray last_frame_;
};
