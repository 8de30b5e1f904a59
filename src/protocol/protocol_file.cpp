#include "protocol/protocol_file.h"

#include <QFileInfo>
#include <QStringList>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/text_file.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLineBreak = QStringLiteral("\\n");

QString file_filter(const LanguageTable& texts) {
    return texts.lang_text(4201) + QLatin1String(" (*.txt)");
}

// The dialog's default extension: a name without one gets ".txt".
QString with_default_extension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1String(".txt") : path;
}

// The file dialog until the user picks a file that may be written; "" when
// cancelled. An existing file is replaced only after a Yes; No opens the
// dialog again where the user was.
QString choose_save_path(const ProtocolFiles& files, const QString& proposed) {
    QString dir = files.settings.INITDIR;
    QString name = proposed;
    for (;;) {
        const QString chosen = files.dialogs.save_file_name(dir, file_filter(files.texts), name);
        if (chosen.isEmpty()) return QString();
        const QString path = with_default_extension(chosen);
        if (!QFileInfo::exists(path) || files.dialogs.ask_yes_no(files.texts.lang_text(4300)))
            return path;
        dir = folder_of(path);
        name = QFileInfo(path).fileName();
    }
}

}  // namespace

QString file_name_safe(QString text) {
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) text.replace(c, u'_');
    return text;
}

QString escape_protocol_value(const QString& value) {
    QString text = value;
    text.replace(u'|', u'/');
    text.replace(kCrLf, kLineBreak);
    text.replace(u'\r', kLineBreak);
    text.replace(u'\n', kLineBreak);
    return text;
}

void write_protocol_entry(QString& file, const QString& key, const QString& value) {
    file += key;
    file += u'|';
    file += escape_protocol_value(value);
    file += kCrLf;
}

QString protocol_file_text(const Pruefprotokoll& record) {
    QString file;
    file.reserve(2048);
    for (int i = 1; i <= kFeldCount; ++i)
        write_protocol_entry(file, QLatin1String(feldnamen[size_t(i)]), record.felder[size_t(i)]);
    for (int i = 1; i <= kGeraeteschluesselCount; ++i) {
        const QString key = QLatin1String(geraeteschluessel[size_t(i)]);
        write_protocol_entry(file, key, device_value_text(record.geraetedaten, key));
    }
    return file;
}

bool parse_protocol_line(Pruefprotokoll& record, const QString& line) {
    if (line.isEmpty()) return true;
    const QStringList parts = line.split(u'|');
    if (parts.size() != 2) return false;
    const QString& key = parts[0];
    for (int i = 1; i <= kFeldCount; ++i) {
        if (key == QLatin1String(feldnamen[size_t(i)])) {
            QString value = parts[1];
            record.felder[size_t(i)] = value.replace(kLineBreak, kCrLf);
            return true;
        }
    }
    for (int i = 1; i <= kGeraeteschluesselCount; ++i) {
        if (key == QLatin1String(geraeteschluessel[size_t(i)]) &&
            !set_device_value(record.geraetedaten, key, parts[1]))
            return false;
    }
    return true;
}

QString proposed_protocol_name(const QString& sn, const QDateTime& now) {
    return file_name_safe(sn.trimmed()) + u'_' + now.toString(QStringLiteral("yyyyMMdd_HHmmss")) +
           QLatin1String(".txt");
}

bool save_protocol(Pruefprotokoll& record, const Geraetedaten& geraet, const ProtocolFiles& files,
                   const std::function<void()>& form_to_record) {
    const Geraetedaten& device = record.geraetedaten.verbunden ? record.geraetedaten : geraet;
    if (!device.verbunden) return false;
    form_to_record();
    if (device.sn.trimmed().isEmpty()) {
        files.dialogs.show_message(files.texts.lang_text(4200));
        return false;
    }
    const QString path =
        choose_save_path(files, proposed_protocol_name(device.sn, files.clock.now()));
    if (path.isEmpty()) return false;
    if (!files.adopt_folder(path)) return false;

    QString error;
    if (!write_text_file(path, protocol_file_text(record), &error)) {
        files.dialogs.show_message(files.texts.lang_text(4400) + kCrLf + error);
        return false;
    }
    record.geaendert = false;
    return true;
}

bool open_protocol(Pruefprotokoll& record, const ProtocolFiles& files,
                   const std::function<void()>& reset_protocol,
                   const std::function<void()>& record_to_form) {
    reset_protocol();
    const QString path =
        files.dialogs.open_file_name(files.settings.INITDIR, file_filter(files.texts));
    if (path.isEmpty()) return false;
    if (!files.adopt_folder(path)) return false;

    QStringList lines;
    QString error;
    if (!read_text_lines(path, lines, &error)) {
        files.dialogs.show_message(files.texts.lang_text(4700) + kCrLf + error);
        return false;
    }
    for (const QString& line : lines) {
        if (!parse_protocol_line(record, line)) {
            files.dialogs.show_message(files.texts.lang_text(4500) + kCrLf +
                                       files.texts.lang_text(4600) + QLatin1String(" (") + line +
                                       u')');
            return false;
        }
    }
    record.geraetedaten.verbunden = true;
    record_to_form();
    return true;
}
