#pragma once

#include <QEventLoop>
#include <QTimer>

// Waiting while the program stays alive: window events, paints and timer ticks
// are processed throughout.
class Waiter {
public:
    virtual ~Waiter() = default;
    virtual void wait_ms(int ms) = 0;
};

// A nested event loop that ends when the time is up: no busy loop, no sleep.
class EventLoopWaiter final : public Waiter {
public:
    void wait_ms(int ms) override {
        if (ms <= 0) return;
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
};
