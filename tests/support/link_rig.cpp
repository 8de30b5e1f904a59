#include "support/link_rig.h"

#include "support/wire.h"

LinkRig::LinkRig() {
    for (int id : {2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800})
        texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
    device.set_log([this](const WireLogEntry& entry) { wire.push_back(entry); });
    link.comm_log.start();
}

void LinkRig::run_ticks(int count, int interval_ms) {
    for (int i = 0; i < count; ++i) {
        clock.advance_ms(interval_ms);
        link.poll.tick();
    }
}

bool LinkRig::run_until_connected(int max_ticks) {
    for (int i = 0; i < max_ticks && !link.geraet.verbunden; ++i) run_ticks(1);
    return link.geraet.verbunden;
}

QList<QByteArray> LinkRig::requests_received() const {
    QList<QByteArray> payloads;
    for (const WireLogEntry& entry : wire)
        if (auto payload = received_payload(entry)) payloads.append(*payload);
    return payloads;
}
