#include "shell/firmware_image.h"

#include "link/device_data.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/text_file.h"

namespace {

constexpr int kNoBlocks = 6210;

// "KEY = value": exactly one "=", the key in any case with spaces around it.
// The value comes back as it stands.
bool key_line(const QString& line, const char* key, QString& value) {
    const QStringList pieces = line.split(u'=');
    if (pieces.size() != 2 || pieces[0].trimmed().toUpper() != QLatin1String(key)) return false;
    value = pieces[1];
    return true;
}

bool is_hex_pairs(const QString& line) {
    if (line.size() % 2 != 0) return false;
    for (const QChar c : line)
        if (!c.isDigit() && !(c.toUpper() >= u'A' && c.toUpper() <= u'F')) return false;
    return true;
}

}  // namespace

void FirmwareImage::clear() {
    version.clear();
    hardware.clear();
    blocks.clear();
}

bool read_image(const QString& path, FirmwareImage& image, Dialogs& dialogs,
                const LanguageTable& texts) {
    image.clear();
    const auto fail = [&](const QString& message) {
        image.clear();
        dialogs.show_message(message);
        return false;
    };

    QStringList lines;
    QString error;
    if (!read_text_lines(path, lines, &error) || lines.size() < 2) {
        // A file of fewer than two lines ends before the hardware line.
        if (error.isEmpty()) error = texts.lang_text(107);
        return fail(texts.lang_text(3804) + u' ' + path + u' ' + texts.lang_text(3805) +
                    QStringLiteral("\r\n") + error);
    }

    QString value;
    if (!key_line(lines[0], "VERSION", value)) return fail(texts.lang_text(3800));
    image.version = value.trimmed();
    if (!key_line(lines[1], "HARDWARE", value)) return fail(texts.lang_text(3801));
    if (value.isEmpty()) return fail(texts.lang_text(3802));
    image.hardware = value.split(u'|');  // entries are compared as they stand

    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        // A line that is not whole hex pairs would be programmed as garbage.
        if (!line.startsWith(QLatin1String("42")) || !is_hex_pairs(line))
            return fail(texts.lang_text(3803) + QString::number(image.blocks.size()));
        image.blocks.append(line);
    }
    // Nothing to program: refused before the device leaves its firmware.
    if (image.blocks.isEmpty()) return fail(texts.lang_text(kNoBlocks));
    return true;
}

QString hardware_id(const Geraetedaten& geraet) {
    return u'S' + geraet.sw + QStringLiteral(",E") + geraet.veeprom;
}
