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
// real time.
struct Program {
    // `languages` copies the shipped language files; else a minimal English one.
    explicit Program(bool languages = false) {
        if (languages) {
            for (const char* lang : {"langDE.txt", "langEN.txt"})
                QFile::copy(QStringLiteral(QV5_BUILD_BIN_DIR) + lang, dir.path() + "/" + lang);
        } else {
            write_bytes(dir.path() + "/langEN.txt", "1001|0|Version\r\n");
        }
        app = std::make_unique<App>(AppDeps{dir.path() + "/", dialogs, clock, ft, waiter});
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ManualClock clock;
    RecordingFtd2xx ft;
    ManualWaiter waiter{clock};
    std::unique_ptr<App> app;
};
