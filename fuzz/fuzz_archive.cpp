// Visit files as the archive finds them: any protocol.txt through the line
// reader and the visit check, any measurements tail. Whatever the check
// accepts is a protocol the program writes back and reads again the same.
#include <QStringList>
#include <cmath>
#include <cstdint>

#include "fuzz_file_input.h"
#include "platform/text_file.h"
#include "protocol/protocol_file.h"
#include "visits/archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<double> mean = last_mean_o2(bytes);
    if (mean && !std::isfinite(*mean)) __builtin_trap();

    QStringList lines;
    if (!read_text_lines(fuzz_input_file(data, size), lines)) __builtin_trap();
    Pruefprotokoll first;
    if (!parse_visit_protocol(lines, first)) return 0;
    if (!first.geraetedaten.verbunden) __builtin_trap();
    const QString written = protocol_file_text(first);
    Pruefprotokoll second;
    if (!parse_visit_protocol(written.split(QStringLiteral("\r\n")), second)) __builtin_trap();
    if (second.felder != first.felder || protocol_file_text(second) != written) __builtin_trap();
    return 0;
}
