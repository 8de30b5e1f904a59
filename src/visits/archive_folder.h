#pragma once

#include <QString>
#include <functional>

class Dialogs;
struct LanguageTable;
struct Settings;

// What the archive folder is needed for: reading it needs no right to write.
enum class ArchiveUse { read, write };

// The archive folder (ARCHIVDIR), chosen first in the folder dialog when
// none is set (proposed: a new folder in the documents). A folder that is
// gone is never replaced silently: the technician is told its path and may
// try again, choose another or cancel. For writing, a folder that refuses it
// is named with the system's reason and another may be chosen. A new choice
// is kept in the settings (`save_settings`). "" when cancelled.
QString ensure_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings,
                              ArchiveUse use = ArchiveUse::write);

// "Archivordner …": the folder dialog at the present folder; the chosen one
// is kept. "" when cancelled or when it cannot be made (the user was told).
QString choose_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings);

// The system's reason for an error number in the program's language where it
// has its own words ("Keine Berechtigung"), else the system's.
QString file_error_text(int error, const LanguageTable& texts);
