// The print engine takes any text a technician or the layout hands it: it
// prints, cuts a column short at an unclosed tag, or fails with one message.
#include <QStringList>
#include <cmath>
#include <cstdint>

#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "protocol/print_markup.h"
#include "support/recording_target.h"

namespace {

void check_drawn(const RecordingTarget& target) {
    for (const RecordingTarget::Text& t : target.texts) {
        if (!std::isfinite(t.x) || !std::isfinite(t.y)) __builtin_trap();
        if (t.text.isEmpty() || t.text.contains(QLatin1String("\r\n"))) __builtin_trap();
        if (!(t.font.size > 0 && t.font.size <= 2048)) __builtin_trap();
    }
    if (!std::isfinite(target.current_x) || !std::isfinite(target.current_y)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const LanguageTable texts;
    // Protocol files and language files are 8-bit: one byte, one character.
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), int(size));
    NullDialogs dialogs;
    PrintMarkup engine(dialogs, texts);

    RecordingTarget single;
    std::optional<PrintFailure> failure;
    const QString result = engine.print_markup(text, single, &failure);
    if (!result.isEmpty() && result != QLatin1String("ERROR")) __builtin_trap();
    if (failure && !result.isEmpty()) __builtin_trap();
    // Without a failure, "ERROR" means exactly an odd number of quotes.
    if (!failure && (result == QLatin1String("ERROR")) != (text.count(QLatin1Char('\'')) % 2 == 1))
        __builtin_trap();
    for (const RecordingTarget::Text& t : single.texts)
        if (t.text.contains(QLatin1Char('\''))) __builtin_trap();
    check_drawn(single);

    RecordingTarget line;
    engine.print_margin = 15;
    const bool ok = engine.print_columns(text, {0, 30, 60, 90}, line);
    if (ok != (dialogs.messages == 0) || dialogs.messages > 1) __builtin_trap();
    check_drawn(line);

    // The technician's values come through untouched.
    RecordingTarget values;
    if (!engine.print_row({{literal(text)}}, {0}, values)) __builtin_trap();
    if (values.joined() != text.split(QLatin1String("\r\n"), Qt::SkipEmptyParts).join('|'))
        __builtin_trap();
    return 0;
}
