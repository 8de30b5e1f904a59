#include "link/poll_cycle.h"

#include <QLoggingCategory>

#include "link/comm_log.h"
#include "link/device_data.h"
#include "link/frame.h"
#include "link/link_view.h"
#include "link/port.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/settings.h"
#include "platform/waiter.h"

// Off by default; QT_LOGGING_RULES="quorvel5.link.queue.info=true" shows each
// new high-water mark of the request queue on the program's error output.
Q_LOGGING_CATEGORY(lc_queue, "quorvel5.link.queue", QtWarningMsg)

namespace {
constexpr int kMaxTimeouts = 3;
constexpr int kReopenPause = 2000;
constexpr int kQuietAttempts = 5;
// A lost reply or two on a poor line is routine, and the values keep coming:
// the technician is told of a silent device only after three time-outs in a
// row, and of a good line again only after several replies without one, so
// the line does not flip back and forth on every lost reply.
constexpr int kNoReplyTimeouts = 3;
constexpr int kGoodAgainReplies = 5;
}  // namespace

PollCycle::PollCycle(Parts parts, QObject* parent) : QObject(parent), p_(parts) {
    timer1_.setInterval(75);
    QObject::connect(&timer1_, &QTimer::timeout, this, &PollCycle::tick);
}

void PollCycle::tick() {
    if (p_.poll.timer_busy) return;
    p_.poll.timer_busy = true;
    ++p_.poll.tick_count;

    if (p_.port.is_open()) {
        check_timeout();
        if (p_.port.is_open()) {
            read_replies();
            if (p_.geraet.verbunden) {
                queue_periodic();
                note_queue_length();
            }
            p_.frames.send_next();
        }
    } else if (p_.view.current_tab() == 0) {
        try_reopen();
    }
    note_phase();
    p_.poll.timer_busy = false;
}

void PollCycle::note_phase() {
    LinkPhase now = LinkPhase::Connected;
    if (!p_.port.is_open())
        now = p_.port.in_use_detail().isEmpty() ? LinkPhase::Searching : LinkPhase::InUse;
    else if (!p_.geraet.verbunden)
        now = LinkPhase::Starting;
    else if (p_.poll.timeout_count >= kNoReplyTimeouts ||
             (phase_ == LinkPhase::NoReply && p_.poll.good_replies < kGoodAgainReplies))
        now = LinkPhase::NoReply;
    if (now == phase_) return;
    phase_ = now;
    emit phase_changed(now);
}

QString PollCycle::in_use_detail() const {
    return p_.port.in_use_detail();
}

void PollCycle::check_timeout() {
    const qint64 elapsed_ms = p_.clock.monotonic_ms() - p_.geraet.letzte_antwort;
    if (!(float(elapsed_ms / 1000.0) > float(p_.settings.TIMEOUT))) return;

    if (p_.poll.timeout_count < kMaxTimeouts) {
        ++p_.poll.timeout_count;
        p_.poll.good_replies = 0;
        p_.geraet.letzte_antwort = p_.clock.monotonic_ms();
        p_.log.log_error(CommLog::event_time(p_.clock.now()) + QStringLiteral(" Timeout Nr ") +
                         QString::number(p_.poll.timeout_count) + QStringLiteral(" Command:") +
                         decode_cp1252(p_.link.last_command) + QStringLiteral("\r\n"));
        if (slow_read_waits()) return;
        p_.link.waiting_reply = true;
        p_.frames.send_frame(p_.link.last_command);
        return;
    }
    // The fourth time-out in a row: the device is gone.
    reset_and_reopen();
}

// A lost reply to an hours or timing read is not asked again at once when
// other requests wait: the status records go first, the read comes round
// after them. Its time-out still counts towards giving the device up.
bool PollCycle::slow_read_waits() {
    PollState& poll = p_.poll;
    if (poll.slow_released.isEmpty() || p_.link.last_command != poll.slow_released ||
        p_.link.outbuffer_count == 0)
        return false;
    if (!poll.slow_due.contains(poll.slow_released)) poll.slow_due.prepend(poll.slow_released);
    poll.slow_released.clear();
    p_.link.waiting_reply = false;
    return true;
}

void PollCycle::reset_and_reopen() {
    p_.port.closedevice();
    link_reset();
    p_.view.select_tab(0);
    p_.view.set_tabs_enabled(true);
    p_.view.set_busy_cursor(false);
    timer1_.start();
}

void PollCycle::read_replies() {
    while (p_.port.is_open()) {
        const QByteArray chunk = p_.port.read_raw();
        if (chunk.isEmpty()) return;
        p_.frames.receive(chunk);
        // Payloads starting with "k" go out back to back, as fast as the replies come.
        const LinkState& link = p_.link;
        const bool k_next =
            link.outbuffer_count > 0 && link.outbuffer[0].startsWith('k') && !link.waiting_reply;
        if (!k_next) return;
        p_.frames.send_next();
        wait_busy(20);
    }
}

void PollCycle::queue_periodic() {
    // A request still waiting from its last turn is not queued twice: on a
    // slow or lossy line every lost reply costs a whole time-out, and the
    // queue would otherwise grow until it overflows.
    const auto queue_once = [this](const QByteArray& request) {
        if (!p_.frames.is_queued(request)) p_.frames.enqueue(request);
    };
    const qint32 m8 = p_.poll.tick_count % 8;
    const qint32 m400 = p_.poll.tick_count % 400;
    if (m8 == 0) queue_once(req_status(0));
    if (m8 == 4) queue_once(req_status(1));
    // The hours and the seven timings come due here but wait their turn.
    QList<QByteArray>& due = p_.poll.slow_due;
    const auto come_due = [&due](const QByteArray& request) {
        if (!due.contains(request)) due.append(request);
    };
    if (m400 == 11) come_due(req_bstd());
    if (m400 >= 21 && m400 <= 33 && m400 % 2 == 1) come_due(req_zeit((m400 - 21) / 2));
    release_slow();
}

// One slow read at a time, queued behind what waits already: if its reply is
// lost, the status records queued meanwhile go before the next one. On a good
// line each is answered within the tick and the rhythm stays as it was.
void PollCycle::release_slow() {
    PollState& poll = p_.poll;
    const QByteArray& last = poll.slow_released;
    const bool pending =
        !last.isEmpty() &&
        (p_.frames.is_queued(last) || (p_.link.waiting_reply && p_.link.last_command == last));
    if (pending || poll.slow_due.isEmpty()) return;
    poll.slow_released = poll.slow_due.takeFirst();
    if (!p_.frames.is_queued(poll.slow_released)) p_.frames.enqueue(poll.slow_released);
}

void PollCycle::note_queue_length() {
    if (p_.link.outbuffer_count <= p_.poll.queue_high_water) return;
    p_.poll.queue_high_water = p_.link.outbuffer_count;
    qCInfo(lc_queue) << "request queue high-water mark while connected:"
                     << p_.poll.queue_high_water;
}

void PollCycle::try_reopen() {
    bool opened = false;
    if (p_.poll.open_quiet) {
        // The quiet attempts come two seconds apart. The ticks keep the pause
        // rather than a wait: a wait greys the whole window, menu bar
        // included, for its two seconds, again and again while a device that
        // opens does not answer (one left in its boot loader).
        const qint64 now = p_.clock.monotonic_ms();
        if (reopen_due_ms_ < 0) reopen_due_ms_ = now + kReopenPause;
        if (now < reopen_due_ms_) return;
        reopen_due_ms_ = -1;
        ++p_.poll.open_retries;
        if (p_.poll.open_retries == kQuietAttempts) p_.poll.open_quiet = false;
        opened = p_.port.opendevice(p_.poll.open_quiet);
    } else {
        opened = p_.port.opendevice(true);
    }
    if (!opened) return;
    emit reopened();
    connect();
}

void PollCycle::connect() {
    link_reset();
    p_.port.opendevice(p_.poll.open_quiet);
    if (p_.port.is_open()) start_requests();
    timer1_.start();
    note_phase();
}

void PollCycle::start_requests() {
    p_.view.set_busy_cursor(true);
    p_.view.set_tabs_enabled(false);
    for (const QByteArray& request : {req_version(), req_bstd(), req_lp(), req_veeprom(), req_sn()})
        p_.frames.enqueue(request);
    for (int n = 0; n < 7; ++n) p_.frames.enqueue(req_zeit(n));
    p_.frames.enqueue(req_status(0));
    p_.frames.enqueue(req_status(1));
}

void PollCycle::link_reset() {
    p_.link.clear();
    p_.poll.timeout_count = 0;
    p_.poll.slow_due.clear();
    p_.poll.slow_released.clear();
    reset_geraet(p_.geraet, p_.clock.monotonic_ms());
    emit was_reset();
    p_.poll.timer_busy = false;
    timer1_.stop();
    p_.view.set_busy_cursor(false);
    p_.view.set_tabs_enabled(true);
    note_phase();
}

void PollCycle::wait_ms(int ms) {
    p_.waiter.wait_ms(ms);
}

void PollCycle::wait_busy(int ms) {
    // A window someone else disabled (the information window) stays disabled.
    const bool was_enabled = p_.view.window_enabled();
    p_.view.set_wait_cursor(true);
    if (was_enabled) p_.view.set_window_enabled(false);
    ++busy_waits_;
    wait_ms(ms);
    --busy_waits_;
    if (was_enabled) p_.view.set_window_enabled(true);
    p_.view.set_wait_cursor(false);
}
