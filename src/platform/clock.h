#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// Time as the program sees it. Elapsed times (time-outs, waits, log stamps) use
// the monotonic reading so they keep working across midnight and clock changes;
// the local date-time is only for texts and file names.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 monotonic_ms() const = 0;
    virtual QDateTime now() const = 0;
    // The same moment as milliseconds since the epoch: what a record that
    // keeps many moments stores, without working out the local time each time.
    virtual qint64 epoch_ms() const { return now().toMSecsSinceEpoch(); }
};

class SystemClock final : public Clock {
public:
    SystemClock() { timer_.start(); }
    qint64 monotonic_ms() const override { return timer_.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 epoch_ms() const override { return QDateTime::currentMSecsSinceEpoch(); }

private:
    QElapsedTimer timer_;
};

// A clock the caller moves by hand: for tests, benchmarks and the emulator.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 5), QTime(21, 20, 0)))
        : start_(std::move(start)) {}
    qint64 monotonic_ms() const override { return ms_; }
    QDateTime now() const override { return start_.addMSecs(ms_); }
    void advance_ms(qint64 ms) { ms_ += ms; }
    void set_ms(qint64 ms) { ms_ = ms; }

private:
    QDateTime start_;
    qint64 ms_ = 0;
};
