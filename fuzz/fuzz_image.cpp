// The firmware image reader takes any file content and ends either with a
// well-formed image or with an empty one and exactly one message.
#include <cstdint>

#include "fuzz_file_input.h"
#include "link/conversions.h"
#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "shell/firmware_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz_input_file(data, size);
    FirmwareImage image;
    NullDialogs dialogs;
    LanguageTable texts;
    const bool ok = read_image(path, image, dialogs, texts);
    if (dialogs.messages != (ok ? 0 : 1)) __builtin_trap();
    if (!ok) {
        if (!image.version.isEmpty() || !image.hardware.isEmpty() || !image.blocks.isEmpty())
            __builtin_trap();
        return 0;
    }
    if (image.hardware.isEmpty() || image.version != image.version.trimmed()) __builtin_trap();
    for (const QString& block : image.blocks) {
        // Every block goes to the boot loader as whole bytes starting with 0x42.
        if (block.isEmpty() || block != block.trimmed()) __builtin_trap();
        const QByteArray bytes = hex_to_bytes(block);
        if (bytes.size() * 2 != block.size() || bytes[0] != 0x42) __builtin_trap();
        if (bytes.toHex() != block.toLatin1().toLower()) __builtin_trap();
    }
    return 0;
}
