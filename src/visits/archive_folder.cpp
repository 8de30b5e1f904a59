#include "visits/archive_folder.h"

#include <QDir>
#include <QFileInfo>

#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/settings.h"

QString ensure_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings) {
    if (!settings.ARCHIVDIR.isEmpty() && QDir(settings.ARCHIVDIR).exists())
        return settings.ARCHIVDIR;
    // A folder that is gone (a stick pulled, a share not mounted) is not made
    // again behind the technician's back: the dialog opens where it was.
    const QString start = settings.ARCHIVDIR.isEmpty()
                              ? archive_folder_proposal()
                              : nearest_existing_folder(settings.ARCHIVDIR);
    const QString chosen = dialogs.folder_name(texts.lang_text(6002), start);
    if (chosen.trimmed().isEmpty()) return {};
    const QString folder = QDir::cleanPath(chosen.trimmed());
    if (!QDir().mkpath(folder)) {
        dialogs.show_message(texts.lang_text(6003) + QLatin1String("\r\n") + folder);
        return {};
    }
    settings.ARCHIVDIR = folder;
    save_settings();
    return folder;
}
