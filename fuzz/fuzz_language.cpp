// The language reader takes any file content: it fills the table with ids in
// range or fails with its one message and an empty table.
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
    for (const auto& [id, text] : table.texts) {
        if (id > size_t(LanguageTable::max_id)) __builtin_trap();
        if (!ok && !text.isEmpty()) __builtin_trap();
    }
    for (const auto& entry : table.sizes)
        if (entry.first > size_t(LanguageTable::max_id)) __builtin_trap();
    return 0;
}
