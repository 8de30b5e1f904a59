#include "sim/boot_loader.h"

void BootLoader::enter() {
    active_ = true;
    block_.clear();
    held_.clear();
    blocks_seen_ = 0;
    rejected_ = 0;
    accepted_.clear();
}

void BootLoader::reset() {
    active_ = false;
    block_.clear();
    held_.clear();
}

BootLoader::Output BootLoader::accept(const QByteArray& block, Micros at_us) {
    accepted_.append(block);
    return Output{QByteArrayLiteral(">"), at_us, false};
}

std::optional<BootLoader::Output> BootLoader::poll(Micros now_us) {
    if (!active_ || block_.isEmpty() || now_us < last_byte_us_ + kBlockGapUs) return std::nullopt;
    ++blocks_seen_;
    const QByteArray block = block_;
    block_.clear();
    const Micros at_us = last_byte_us_ + kBlockGapUs;
    const auto nth = [this](int every) { return every > 0 && blocks_seen_ % every == 0; };
    if (nth(faults_.silent_every)) return std::nullopt;
    if (nth(faults_.reject_every)) {
        ++rejected_;
        return Output{QByteArray(1, faults_.reject_letter), at_us, false};
    }
    if (faults_.fillers_before_reply > 0) {
        held_ = block;
        fillers_seen_ = 0;
        return std::nullopt;
    }
    return accept(block, at_us);
}

std::optional<BootLoader::Output> BootLoader::feed(char byte, Micros at_us) {
    if (!active_) return std::nullopt;
    if (!block_.isEmpty() || byte == kBlockStart) {
        held_.clear();  // a new block: the one still waiting is given up
        block_.append(byte);
        last_byte_us_ = at_us;
        return std::nullopt;
    }
    if (byte == '\0' && !held_.isEmpty() && ++fillers_seen_ >= faults_.fillers_before_reply) {
        const QByteArray block = held_;
        held_.clear();
        return accept(block, at_us);
    }
    if (byte == 'I')
        return Output{faults_.identity.isEmpty() ? QByteArray(kIdentity) : faults_.identity, at_us,
                      false};
    if (byte == 'R') {
        active_ = false;
        ++restarts_;
        return Output{QByteArray(), at_us, true};
    }
    return std::nullopt;
}
