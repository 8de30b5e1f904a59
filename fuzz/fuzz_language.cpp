// The language reader takes any file content: it fills the table or fails with
// its one message and an empty table.
#include <cstdint>

#include "fuzz_file_input.h"
#include "platform/null_dialogs.h"
#include "shell/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LanguageTable table;
    const QString path = fuzz_input_file(data, size);
    NullDialogs dialogs;
    const bool ok = load_language(table, path, dialogs);
    if (ok == (dialogs.messages != 0)) __builtin_trap();
    if (table.texts.size() != size_t(LanguageTable::max_id + 1)) __builtin_trap();
    if (!ok) {
        for (const QString& text : table.texts)
            if (!text.isEmpty()) __builtin_trap();
    }
    return 0;
}
