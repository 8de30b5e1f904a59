#pragma once

#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/clock.h"
#include "platform/waiter.h"
#include "shell/app.h"
#include "shell/config.h"
#include "shell/main_window.h"
#include "sim/device_emulator.h"
#include "sim/emulator_ftd2xx.h"
#include "support/files.h"
#include "support/locale_guard.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printer_system.h"
#include "support/wire.h"

// The whole program as it runs, on the emulated device in this process: the
// composition root, the main window (offscreen), real timers and waits, the
// shipped language files, scripted dialogs.
class AppRig {
public:
    explicit AppRig(const QLocale& locale, double timeout_s = 1.0) : locale_(locale) {
        for (const char* lang : {"langDE.txt", "langEN.txt"})
            QFile::copy(QStringLiteral(QV5_BUILD_BIN_DIR) + lang, app_dir + lang);
        Settings settings;
        config_defaults(settings, app_dir);
        settings.TIMEOUT = timeout_s;
        LanguageTable no_texts;
        save_config(settings, config_path(app_dir), dialogs, no_texts);
        device.state().live.moving = false;
    }
    ~AppRig() {
        app.reset();
    }

    bool start() {
        app = std::make_unique<App>(AppDeps{app_dir, dialogs, clock, ft, waiter, &printers});
        return app->startup();
    }
    bool wait_connected(int ms = 8000) {
        return QTest::qWaitFor([this] { return app->link.geraet.verbunden; }, ms);
    }
    // Starts the program and waits until it has connected to the device.
    bool start_connected() { return start() && wait_connected(); }
    // The requests the device received from now on.
    void record_requests() {
        requests.clear();
        device.set_log([this](const WireLogEntry& e) {
            if (auto payload = received_payload(e)) requests.append(*payload);
        });
    }
    // Any control, also on a tab not built until it is first chosen.
    template <typename T>
    T* find(const char* name) const {
        app->build_deferred_tabs();
        return app->window()->findChild<T*>(QLatin1String(name));
    }

    LocaleGuard locale_;
    QTemporaryDir dir;
    QString app_dir = dir.path() + "/";
    ScriptedDialogs dialogs;
    ScriptedPrinterSystem printers;  // no printer installed; the print dialog is scripted
    SystemClock clock;
    EventLoopWaiter waiter;
    DeviceEmulator device;
    EmulatorFtd2xx ft{device, clock};
    std::unique_ptr<App> app;
    QList<QByteArray> requests;
};
