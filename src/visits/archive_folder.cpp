#include "visits/archive_folder.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/settings.h"

namespace {

enum class Picked { chosen, cancelled, failed };

// The folder dialog at `start`; the folder chosen is made where needed and
// kept in the settings.
Picked pick_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                   const std::function<bool()>& save_settings, const QString& start) {
    const QString chosen = dialogs.folder_name(texts.lang_text(6002), start);
    if (chosen.trimmed().isEmpty()) return Picked::cancelled;
    const QString folder = QDir::cleanPath(chosen.trimmed());
    if (!QDir().mkpath(folder)) {
        const int refusal = write_access_error(nearest_existing_folder(folder));
        dialogs.show_message(
            texts.lang_text(6003) + QLatin1String("\r\n") + folder +
            (refusal ? QLatin1String(" (") + file_error_text(refusal, texts) + u')' : QString()));
        return Picked::failed;
    }
    settings.ARCHIVDIR = folder;
    save_settings();
    return Picked::chosen;
}

}  // namespace

QString file_error_text(int error, const LanguageTable& texts) {
    switch (error) {
        case EACCES:
        case EPERM:
            return texts.lang_text(6505);
        case EROFS:
            return texts.lang_text(6506);
        case ENOSPC:
            return texts.lang_text(6507);
        default:
            return system_reason(error);
    }
}

QString ensure_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings, ArchiveUse use) {
    const QStringList gone_buttons = {texts.lang_text(6501), texts.lang_text(6502),
                                      texts.lang_text(6503)};
    const QStringList refused_buttons = {texts.lang_text(6502), texts.lang_text(6503)};
    for (;;) {
        const QString folder = settings.ARCHIVDIR;
        QString start;
        if (folder.isEmpty()) {
            start = archive_folder_proposal();
        } else if (!QDir(folder).exists()) {
            // A share not mounted or a stick pulled: a new empty folder here
            // would split the archive in two.
            const int choice = dialogs.ask_choice(
                texts.lang_text(6500).arg(QDir::toNativeSeparators(folder)), gone_buttons);
            if (choice == 0) continue;
            if (choice != 1) return {};
            start = nearest_existing_folder(folder);
        } else if (const int refusal = use == ArchiveUse::write ? write_access_error(folder) : 0) {
            const int choice =
                dialogs.ask_choice(texts.lang_text(6504).arg(QDir::toNativeSeparators(folder),
                                                             file_error_text(refusal, texts)),
                                   refused_buttons);
            if (choice != 0) return {};
            start = folder;
        } else {
            return folder;
        }
        if (pick_folder(settings, dialogs, texts, save_settings, start) != Picked::chosen)
            return {};
    }
}

QString choose_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings) {
    const QString start = settings.ARCHIVDIR.isEmpty()
                              ? archive_folder_proposal()
                              : nearest_existing_folder(settings.ARCHIVDIR);
    if (pick_folder(settings, dialogs, texts, save_settings, start) != Picked::chosen) return {};
    return settings.ARCHIVDIR;
}
