#include "support/link_rig.h"

LinkRig::LinkRig() {
    for (int id : {2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800})
        texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
    QObject::connect(&frames, &FrameLink::reply_received, &dispatcher,
                     &ReplyDispatcher::dispatch_reply);
    QObject::connect(&frames, &FrameLink::queue_overflow, &poll, &PollCycle::reset_and_reopen);
    QObject::connect(&dispatcher, &ReplyDispatcher::status_record_received, [this] {
        view.set_busy_cursor(false);
        view.set_tabs_enabled(true);
    });
    device.set_log([this](const WireLogEntry& entry) { wire.push_back(entry); });
    log.start();
}

void LinkRig::run_ticks(int count, int interval_ms) {
    for (int i = 0; i < count; ++i) {
        clock.advance_ms(interval_ms);
        poll.tick();
    }
}

bool LinkRig::run_until_connected(int max_ticks) {
    for (int i = 0; i < max_ticks && !geraet.verbunden; ++i) run_ticks(1);
    return geraet.verbunden;
}

QList<QByteArray> LinkRig::requests_received() const {
    QList<QByteArray> payloads;
    for (const WireLogEntry& entry : wire) {
        if (entry.direction != WireLogEntry::Direction::Received || entry.bytes.size() < 4)
            continue;
        payloads.append(entry.bytes.mid(2, entry.bytes.size() - 4));
    }
    return payloads;
}
