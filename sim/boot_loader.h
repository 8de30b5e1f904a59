#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// The device's boot loader, reached with the request "b". It speaks raw bytes,
// no frames: "I" asks for its identity; a block starts with the byte 0x42 and
// ends when the line has been quiet for kBlockGapUs, and is answered ">" when
// accepted; "R" restarts into the firmware. Zero bytes between blocks are
// filler and ignored, as is anything else it does not know.
class BootLoader {
public:
    using Micros = qint64;

    static constexpr const char* kIdentity = "qv60000_BL10_";
    static constexpr char kBlockStart = 0x42;
    static constexpr Micros kBlockGapUs = 10000;

    struct Output {
        QByteArray reply;  // raw bytes to send, possibly empty
        Micros at_us = 0;  // when the boot loader sends them
        bool restart = false;
    };

    void enter();
    // Power lost: the firmware starts next time, a block in progress is gone.
    void reset();
    bool active() const { return active_; }

    // Finishes a block whose gap has passed by now_us. `reject_every` > 0
    // refuses every Nth block with "E".
    std::optional<Output> poll(Micros now_us, int reject_every);
    // One byte that arrived at at_us; poll() first so an old block is closed.
    std::optional<Output> feed(char byte, Micros at_us);

    // Blocks accepted since entering, in order, as received.
    const QList<QByteArray>& accepted_blocks() const { return accepted_; }
    int rejected_blocks() const { return rejected_; }
    // Times the boot loader restarted into the firmware.
    int restarts() const { return restarts_; }

private:
    bool active_ = false;
    QByteArray block_;  // the block being received, empty between blocks
    Micros last_byte_us_ = 0;
    int blocks_seen_ = 0;
    int rejected_ = 0;
    int restarts_ = 0;
    QList<QByteArray> accepted_;
};
