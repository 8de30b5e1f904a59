#include "shell/language.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include "platform/dialogs.h"
#include "platform/text_file.h"

namespace {

// A whole number within [low, high]; blanks around it are allowed.
bool parse_whole(const QString& text, int low, int high, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high;
}

bool is_skipped(const QString& line) {
    const QString trimmed = line.trimmed();
    return line.isEmpty() || trimmed.startsWith(u'*');
}

bool read_table(LanguageTable& table, const QStringList& lines) {
    for (const QString& line : lines) {
        if (is_skipped(line)) continue;
        const QStringList pieces = line.split(u'|');
        if (pieces.size() < 3) return false;
        int id = 0, size = 0;
        if (!parse_whole(pieces[0], 0, LanguageTable::max_id, id)) return false;
        if (!parse_whole(pieces[1], 0, 255, size)) return false;
        table.texts[size_t(id)] = pieces[2];
        table.sizes[size_t(id)] = quint8(size);
    }
    return true;
}

}  // namespace

QString language_path(const QString& app_dir, const QString& code) {
    return app_dir + QLatin1String("lang") + code + QLatin1String(".txt");
}

QString language_code(const QString& app_dir) {
    const QString code = QLocale().name().left(2).toUpper();
    if (code.size() == 2 && QFileInfo::exists(language_path(app_dir, code))) return code;
    return QStringLiteral("EN");
}

bool load_language(LanguageTable& table, const QString& path, Dialogs& dialogs) {
    table.clear();
    QStringList lines;
    if (read_text_lines(path, lines) && read_table(table, lines)) return true;
    table.clear();
    dialogs.show_message(QString::fromLatin1(kLanguageLoadFailed));
    return false;
}
