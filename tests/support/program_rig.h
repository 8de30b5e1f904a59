#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "platform/clock.h"
#include "shell/app.h"
#include "support/files.h"
#include "support/manual_waiter.h"
#include "support/recording_ftd2xx.h"
#include "support/scripted_dialogs.h"

// The program on a converter that is always there, with waits that pass no
// real time. The program is built, not started: the test calls startup().
struct Program {
    struct ShippedLanguages {};
    static constexpr ShippedLanguages shipped_languages{};

    // A minimal English language file.
    Program() : Program("1001|0|Version\r\n") {}
    // `english` as the only language file.
    explicit Program(const char* english) {
        write_bytes(dir.path() + "/langEN.txt", english);
        build();
    }
    // The shipped language files.
    explicit Program(ShippedLanguages) {
        for (const char* lang : {"langDE.txt", "langEN.txt"})
            QFile::copy(QStringLiteral(QV5_BUILD_BIN_DIR) + lang, dir.path() + "/" + lang);
        build();
    }

    QString app_dir() const { return dir.path() + "/"; }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ManualClock clock;
    RecordingFtd2xx ft;
    ManualWaiter waiter{clock};
    std::unique_ptr<App> app;

private:
    void build() { app = std::make_unique<App>(AppDeps{app_dir(), dialogs, clock, ft, waiter}); }
};
