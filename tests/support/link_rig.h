#pragma once

#include <QStringList>
#include <vector>

#include "link/device_link.h"
#include "link/link_view.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "sim/device_emulator.h"
#include "sim/emulator_ftd2xx.h"
#include "support/manual_waiter.h"
#include "support/scripted_dialogs.h"

// Records what the link asks of the window.
class FakeLinkView final : public LinkView {
public:
    int current_tab() const override { return tab; }
    void select_tab(int index) override { tab = index; }
    void set_tabs_enabled(bool enabled) override { tabs_enabled = enabled; }
    void set_busy_cursor(bool busy_now) override { busy = busy_now; }
    void set_wait_cursor(bool busy_now) override { waits_busy += busy_now ? 1 : -1; }
    bool window_enabled() const override { return enabled; }
    void set_window_enabled(bool enabled_now) override { enabled = enabled_now; }

    int tab = 0;
    bool tabs_enabled = true;
    bool busy = false;
    int waits_busy = 0;  // waits showing their hourglass
    bool enabled = true;
};

// The whole device link on an emulated device, driven by a hand-moved clock:
// no real time passes, every tick is called by the test.
struct LinkRig {
    LinkRig();

    // Ticks `count` times, `interval_ms` apart.
    void run_ticks(int count, int interval_ms = 50);
    // Ticks until the device data says connected; false after `max_ticks`.
    bool run_until_connected(int max_ticks = 200);
    // Payloads the device received, in order, from the wire log.
    QList<QByteArray> requests_received() const;

    ManualClock clock;
    DeviceEmulator device;
    EmulatorFtd2xx ft{device, clock};
    ScriptedDialogs dialogs;
    LanguageTable texts;
    Settings settings;
    FakeLinkView view;
    ManualWaiter waiter{clock};
    DeviceLink link{{ft, clock, waiter, dialogs, view, texts, settings}};

    std::vector<WireLogEntry> wire;  // everything the device received and sent
};
