// The settings reader takes any file content and ends either with the values
// read or with the defaults and its one message.
#include <QLocale>
#include <cstdint>

#include "fuzz_file_input.h"
#include "platform/null_dialogs.h"
#include "shell/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // Both number formats the program meets.
    QLocale::setDefault(data[0] & 1 ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
    const QString path = fuzz_input_file(data + 1, size - 1);
    Settings settings;
    NullDialogs dialogs;
    const bool ok = load_config(settings, path, QStringLiteral("/app/"), dialogs);
    if (ok == (dialogs.messages != 0)) __builtin_trap();
    if (!ok && (settings.TIMEOUT != 1.0 || settings.TIMERINTERVAL != 50 ||
                settings.INITDIR != QStringLiteral("/app/")))
        __builtin_trap();
    if (ok && settings.TIMERINTERVAL < 1) __builtin_trap();
    return 0;
}
