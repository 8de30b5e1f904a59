#pragma once

#include <QString>
#include <functional>

class Dialogs;
struct LanguageTable;
struct Settings;

// The archive folder (ARCHIVDIR), chosen first in the folder dialog when
// none is set (proposed: a new folder in the documents) or the one set is
// gone; it is kept in the settings (`save_settings`). "" when cancelled or
// when the folder cannot be made (the user has been told).
QString ensure_archive_folder(Settings& settings, Dialogs& dialogs, const LanguageTable& texts,
                              const std::function<bool()>& save_settings);
