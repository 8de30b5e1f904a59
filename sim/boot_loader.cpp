#include "sim/boot_loader.h"

void BootLoader::enter() {
    active_ = true;
    block_.clear();
    blocks_seen_ = 0;
    rejected_ = 0;
    accepted_.clear();
}

void BootLoader::reset() {
    active_ = false;
    block_.clear();
}

std::optional<BootLoader::Output> BootLoader::poll(Micros now_us, int reject_every) {
    if (!active_ || block_.isEmpty() || now_us < last_byte_us_ + kBlockGapUs) return std::nullopt;
    ++blocks_seen_;
    Output out;
    out.at_us = last_byte_us_ + kBlockGapUs;
    if (reject_every > 0 && blocks_seen_ % reject_every == 0) {
        ++rejected_;
        out.reply = QByteArrayLiteral("E");
    } else {
        accepted_.append(block_);
        out.reply = QByteArrayLiteral(">");
    }
    block_.clear();
    return out;
}

std::optional<BootLoader::Output> BootLoader::feed(char byte, Micros at_us) {
    if (!active_) return std::nullopt;
    if (!block_.isEmpty() || byte == kBlockStart) {
        block_.append(byte);
        last_byte_us_ = at_us;
        return std::nullopt;
    }
    if (byte == 'I') return Output{QByteArray(kIdentity), at_us, false};
    if (byte == 'R') {
        active_ = false;
        ++restarts_;
        return Output{QByteArray(), at_us, true};
    }
    return std::nullopt;
}
