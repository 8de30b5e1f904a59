#include "shell/config.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <optional>

#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace {

std::optional<double> parse_number(const QString& text) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// A 16-bit integer; a fractional value rounds half to even. The poll timer
// needs a positive interval, so 0 and negative values are refused as well.
std::optional<qint16> parse_interval(const QString& text) {
    const std::optional<double> value = parse_number(text);
    if (!value) return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < 1 || rounded > 32767) return std::nullopt;
    return qint16(rounded);
}

bool read_settings(Settings& settings, const QStringList& lines) {
    for (const QString& line : lines) {
        if (line.isEmpty()) continue;
        const QStringList pieces = line.split(u'|');
        const QString& key = pieces[0];
        const bool known = key == u"TIMEOUT" || key == u"TIMERINTERVAL" || key == u"INITDIR" ||
                           key == u"ARCHIVDIR" || key == u"STKINTERVAL";
        if (!known) continue;
        if (pieces.size() < 2) return false;
        const QString& value = pieces[1];
        if (key == u"TIMEOUT") {
            // A time-out of no time at all would resend on every tick.
            const std::optional<double> timeout = parse_number(value);
            if (!timeout || *timeout <= 0) return false;
            settings.TIMEOUT = *timeout;
        } else if (key == u"TIMERINTERVAL") {
            const std::optional<qint16> interval = parse_interval(value);
            if (!interval) return false;
            settings.TIMERINTERVAL = *interval;
        } else if (key == u"INITDIR") {
            settings.INITDIR = value;
        } else if (key == u"STKINTERVAL") {
            bool ok = false;
            const int months = value.trimmed().toInt(&ok);
            if (!ok || months < 1 || months > Settings::kMaxStkInterval) return false;
            settings.STKINTERVAL = months;
        } else {
            settings.ARCHIVDIR = value;
        }
    }
    return true;
}

}  // namespace

void config_defaults(Settings& settings, const QString& start_dir) {
    settings.TIMEOUT = 1.0;
    settings.TIMERINTERVAL = 50;
    settings.INITDIR = start_dir;
    settings.ARCHIVDIR.clear();
    settings.STKINTERVAL = Settings::kMaxStkInterval;
}

QString config_path(const QString& config_dir) {
    return config_dir + QLatin1String("quorvel5.ini");
}

bool load_config(Settings& settings, const QString& path, const QString& start_dir,
                 Dialogs& dialogs) {
    config_defaults(settings, start_dir);
    QStringList lines;
    if (read_text_lines(path, lines) && read_settings(settings, lines)) return true;
    config_defaults(settings, start_dir);
    dialogs.show_message(QString::fromLatin1(kConfigLoadFailed));
    return false;
}

QString config_number_text(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

bool save_config(const Settings& settings, const QString& path, Dialogs& dialogs,
                 const LanguageTable& texts) {
    const QString crlf = QStringLiteral("\r\n");
    QString text = QLatin1String("TIMEOUT|") + config_number_text(settings.TIMEOUT) + crlf +
                         QLatin1String("TIMERINTERVAL|") + QString::number(settings.TIMERINTERVAL) +
                         crlf + QLatin1String("INITDIR|") + settings.INITDIR + crlf;
    // The archive's line only once a folder was chosen: older files stay as they were.
    if (!settings.ARCHIVDIR.isEmpty())
        text += QLatin1String("ARCHIVDIR|") + settings.ARCHIVDIR + crlf;
    // Likewise the interval only once it differs from the legal two years.
    if (settings.STKINTERVAL != Settings::kMaxStkInterval)
        text += QLatin1String("STKINTERVAL|") + QString::number(settings.STKINTERVAL) + crlf;
    if (make_folder_for(path) &&
        write_text_file(path, text, nullptr, WriteMode::InPlaceIfFolderLocked))
        return true;
    dialogs.show_message(texts.lang_text(5000));
    return false;
}

bool adopt_initdir(Settings& settings, const QString& chosen_file, const QString& config_dir,
                   Dialogs& dialogs, const LanguageTable& texts) {
    const QString folder = folder_of(chosen_file);
    if (folder.isEmpty() || folder == settings.INITDIR) return true;
    settings.INITDIR = folder;
    return save_config(settings, config_path(config_dir), dialogs, texts);
}
