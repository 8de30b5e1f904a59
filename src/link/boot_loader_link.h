#pragma once

#include <QByteArray>
#include <functional>

#include "platform/ftd2xx.h"

class Port;

// The device's boot loader, spoken to with raw bytes on the open port at
// 38400 baud: "I" asks for its identity, each block line is answered ">" when
// programmed, single zero bytes coax a reply out of a block that drew none,
// and "R" restarts the device into its firmware. Every wait goes through
// `wait`, which keeps the window alive.
class BootLoaderLink {
public:
    using Wait = std::function<void(int ms)>;

    static constexpr quint32 kBaud = 38400;
    static constexpr const char* kIdentity = "qv60000_BL10_";
    static constexpr const char* kAccepted = ">";

    static constexpr int kHandshakeAttempts = 3;
    static constexpr int kHandshakeWaitMs = 250;
    static constexpr int kBlockTries = 3;
    static constexpr int kReplyPolls = 9;
    static constexpr int kReplyPollMs = 40;
    static constexpr int kFillers = 21;
    static constexpr int kFillerMs = 50;
    static constexpr int kRestartWaitMs = 1000;

    BootLoaderLink(Port& port, Wait wait);

    FT_STATUS switch_speed();
    // Up to three "I", each given 250 ms. True when a reply was exactly the
    // identity; `reply` holds the last reply either way. Whatever the firmware
    // still had on its way is dropped first, so it cannot spoil the first try.
    bool handshake(QByteArray& reply);
    // Sends one block line's bytes, up to three times, until the boot loader
    // answers ">". Returns the last reply (empty when it never answered).
    QByteArray program_block(const QByteArray& data);
    // "R", then a second for the device to come up.
    void restart();

private:
    // The first non-empty reply of up to `count` polls, `ms` apart; before
    // each poll `before` is sent when given.
    QByteArray poll_reply(int count, int ms, const QByteArray& before);

    Port& port_;
    Wait wait_;
};
