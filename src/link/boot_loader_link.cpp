#include "link/boot_loader_link.h"

#include "link/port.h"

BootLoaderLink::BootLoaderLink(Port& port, Wait wait) : port_(port), wait_(std::move(wait)) {}

FT_STATUS BootLoaderLink::switch_speed() {
    return port_.set_baud_rate(kBaud);
}

bool BootLoaderLink::handshake(QByteArray& reply) {
    port_.read_raw();
    for (int attempt = 0; attempt < kHandshakeAttempts; ++attempt) {
        port_.write_raw(QByteArrayLiteral("I"));
        wait_(kHandshakeWaitMs);
        reply = port_.read_raw();
        if (reply == kIdentity) return true;
    }
    return false;
}

QByteArray BootLoaderLink::poll_reply(int count, int ms, const QByteArray& before) {
    QByteArray reply;
    for (int i = 0; i < count && reply.isEmpty(); ++i) {
        if (!before.isEmpty()) port_.write_raw(before);
        wait_(ms);
        reply = port_.read_raw();
    }
    return reply;
}

QByteArray BootLoaderLink::program_block(const QByteArray& data) {
    QByteArray reply;
    for (int attempt = 0; attempt < kBlockTries; ++attempt) {
        port_.write_raw(data);
        reply = poll_reply(kReplyPolls, kReplyPollMs, QByteArray());
        if (reply.isEmpty()) reply = poll_reply(kFillers, kFillerMs, QByteArray(1, '\0'));
        if (reply == kAccepted) break;
    }
    return reply;
}

void BootLoaderLink::restart() {
    port_.write_raw(QByteArrayLiteral("R"));
    wait_(kRestartWaitMs);
}
