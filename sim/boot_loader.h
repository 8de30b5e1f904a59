#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// What the boot loader can be made to do wrong; all off by default.
struct BootLoaderFaults {
    QByteArray identity;           // answered to "I" instead of the real one (when not empty)
    int reject_every = 0;          // every Nth block is refused with `reject_letter`
    char reject_letter = 'E';      // the reply to a refused block
    int silent_every = 0;          // every Nth block draws no reply at all and is not programmed
    int fillers_before_reply = 0;  // a block is answered only after this many zero bytes
    int drop_line_after = 0;       // the line goes dead once this many blocks were programmed
    int drop_line_for_ms = -1;     // ... and comes back after this long (-1: never)
};

// The device's boot loader, reached with the request "b". It speaks raw bytes,
// no frames: "I" asks for its identity; a block starts with the byte 0x42 and
// ends when the line has been quiet for kBlockGapUs, and is answered ">" when
// programmed; "R" restarts into the firmware. Zero bytes between blocks are
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

    BootLoaderFaults& faults() { return faults_; }

    // Finishes a block whose gap has passed by now_us.
    std::optional<Output> poll(Micros now_us);
    // One byte that arrived at at_us; poll() first so an old block is closed.
    std::optional<Output> feed(char byte, Micros at_us);

    // Every block programmed since entering, in order, as received (a block
    // sent again after a refusal appears once per programming).
    const QList<QByteArray>& accepted_blocks() const { return accepted_; }
    int rejected_blocks() const { return rejected_; }
    // Times the boot loader restarted into the firmware.
    int restarts() const { return restarts_; }

private:
    Output accept(const QByteArray& block, Micros at_us);

    BootLoaderFaults faults_;
    bool active_ = false;
    QByteArray block_;  // the block being received, empty between blocks
    Micros last_byte_us_ = 0;
    QByteArray held_;  // a finished block waiting for its filler bytes
    int fillers_seen_ = 0;
    int blocks_seen_ = 0;
    int rejected_ = 0;
    int restarts_ = 0;
    QList<QByteArray> accepted_;
};
