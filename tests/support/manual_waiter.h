#pragma once

#include <QCoreApplication>
#include <functional>

#include "platform/clock.h"
#include "platform/waiter.h"

// Waits by moving the manual clock on: no real time passes. What a user or a
// timer would do meanwhile can be scripted with `during`.
class ManualWaiter final : public Waiter {
public:
    explicit ManualWaiter(ManualClock& clock) : clock_(clock) {}
    void wait_ms(int ms) override {
        waits.push_back(ms);
        if (during) during(ms);
        clock_.advance_ms(ms);
        QCoreApplication::processEvents();
    }

    std::vector<int> waits;
    std::function<void(int)> during;

private:
    ManualClock& clock_;
};
