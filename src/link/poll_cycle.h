#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class Clock;
class CommLog;
class FrameLink;
class LinkView;
class Port;
class Waiter;
struct Geraetedaten;
struct LinkState;
struct Settings;

struct PollState {
    qint32 tick_count = 0;
    bool timer_busy = false;
    qint32 timeout_count = 0;  // consecutive time-outs
    qint32 good_replies = 0;   // valid replies since the last time-out
    bool open_quiet = true;    // the first automatic open attempts show no messages
    qint16 open_retries = 0;
    // The longest the request queue has been while connected, for judging a
    // slow or lossy line; kept for the whole run.
    qint32 queue_high_water = 0;
    // The operating hours and timing reads that came due, waiting their turn:
    // they go into the queue one at a time, so the status records in between
    // keep the live values moving on a slow or lossy line.
    QList<QByteArray> slow_due;
    QByteArray slow_released;  // the one of them queued or awaiting its reply
};

// What the technician is told about the link.
enum class LinkPhase {
    Searching,  // no device open: the tick tries to open one
    Starting,   // open, waiting for the first status record
    Connected,
    NoReply,  // connected, but the device has not answered for a while
    InUse,    // the converter is there, held by another program
};

// The poll timer and everything it drives: time-out supervision, reading,
// the periodic requests, sending, and reopening a lost device.
class PollCycle : public QObject {
    Q_OBJECT
public:
    struct Parts {
        PollState& poll;
        LinkState& link;
        FrameLink& frames;
        Port& port;
        Geraetedaten& geraet;
        const Settings& settings;
        CommLog& log;
        const Clock& clock;
        Waiter& waiter;
        LinkView& view;
    };
    explicit PollCycle(Parts parts, QObject* parent = nullptr);

    QTimer& timer1() { return timer1_; }

    void tick();
    // Resets the link, opens the device and queues the start requests; the
    // timer runs afterwards either way, so that reopening can take over.
    void connect();
    void start_requests();
    // A valid reply came: counted towards telling the technician the line is good again.
    void reply_arrived() { ++p_.poll.good_replies; }
    // Empties queue and buffers, resets the device data and stops the timer.
    // It does not close the device.
    void link_reset();
    // Closes the device and resets the link, with the timer running on, so
    // the tick reopens the device and connects afresh: after the fourth
    // time-out in a row and after a queue overflow.
    void reset_and_reopen();

    void wait_ms(int ms);
    // Hourglass and a disabled window area below the menu bar while waiting;
    // an area that was disabled already stays so.
    void wait_busy(int ms);
    // Inside a tick or a busy wait: a command of the menu waits its turn.
    bool busy() const { return p_.poll.timer_busy || busy_waits_ > 0; }

    LinkPhase phase() const { return phase_; }
    // While InUse: which device and why, in the user's words.
    QString in_use_detail() const;

signals:
    // Told once per change, never twice the same.
    void phase_changed(LinkPhase phase);
    // The link was reset: display, chart, firmware image and protocol follow.
    void was_reset();
    // The tick found and opened a device: the protocol takes the fresh data.
    void reopened();

private:
    void check_timeout();
    bool slow_read_waits();
    void read_replies();
    void queue_periodic();
    void release_slow();
    void note_queue_length();
    void try_reopen();
    void note_phase();

    Parts p_;
    QTimer timer1_;
    LinkPhase phase_ = LinkPhase::Searching;
    int busy_waits_ = 0;         // busy waits under way, nested ones too
    qint64 reopen_due_ms_ = -1;  // the next quiet open attempt (monotonic ms); -1: none due
};
