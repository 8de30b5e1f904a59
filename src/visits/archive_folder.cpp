#include "visits/archive_folder.h"

#include <QDir>

#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/settings.h"

QString ensure_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings) {
    if (!settings.ARCHIVDIR.isEmpty() && QDir(settings.ARCHIVDIR).exists())
        return settings.ARCHIVDIR;
    const QString proposal =
        settings.ARCHIVDIR.isEmpty() ? archive_folder_proposal() : settings.ARCHIVDIR;
    const std::optional<QString> typed = dialogs.input_box(texts.lang_text(6002), proposal);
    if (!typed || typed->trimmed().isEmpty()) return {};
    const QString folder = QDir::cleanPath(typed->trimmed());
    if (!QDir().mkpath(folder)) {
        dialogs.show_message(texts.lang_text(6003) + QLatin1String("\r\n") + folder);
        return {};
    }
    settings.ARCHIVDIR = folder;
    save_settings();
    return folder;
}
