// Protocol files as they are opened: any file content, line by line through
// the line reader. Whatever it accepts, the program writes back as a file it
// reads again to the same entries, and writes again byte for byte.
#include <QStringList>
#include <cstdint>

#include "fuzz_file_input.h"
#include "platform/text_file.h"
#include "protocol/protocol_file.h"

namespace {

bool read_all(Pruefprotokoll& record, const QStringList& lines) {
    for (const QString& line : lines) {
        if (!parse_protocol_line(record, line)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz_input_file(data, size);
    QStringList lines;
    if (!read_text_lines(path, lines)) __builtin_trap();
    Pruefprotokoll first;
    if (!read_all(first, lines)) return 0;

    const QString written = protocol_file_text(first);
    const QStringList written_lines = written.split(QStringLiteral("\r\n"));
    if (written_lines.size() != 36 || !written_lines.last().isEmpty()) __builtin_trap();
    Pruefprotokoll second;
    if (!read_all(second, written_lines)) __builtin_trap();
    if (second.felder != first.felder) __builtin_trap();
    if (protocol_file_text(second) != written) __builtin_trap();
    return 0;
}
