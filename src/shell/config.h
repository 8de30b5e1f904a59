#pragma once

#include <QString>

#include "platform/settings.h"

class Dialogs;
struct LanguageTable;

// The settings file quorvel5.ini: lines of key, "|" and value. Where it lives
// (`config_dir`) and where the file dialogs start (`start_dir`) come from
// platform/paths.

void config_defaults(Settings& settings, const QString& start_dir);
QString config_path(const QString& config_dir);

// Reads the file over the defaults. Any failure (no file, a known key without a
// value, a value that is not a number of its type) discards everything read,
// restores the defaults, says "unable to load configuration" and returns false.
bool load_config(Settings& settings, const QString& path, const QString& start_dir,
                 Dialogs& dialogs);

// Writes the three lines, making the file's folder first; on failure tells the user (language text 5000) and
// leaves the old file intact. The settings in memory keep their values.
bool save_config(const Settings& settings, const QString& path, Dialogs& dialogs,
                 const LanguageTable& texts);

// After a file dialog picked `chosen_file`: a folder other than INITDIR becomes
// INITDIR and is saved at once. False only when that save failed.
bool adopt_initdir(Settings& settings, const QString& chosen_file, const QString& config_dir,
                   Dialogs& dialogs, const LanguageTable& texts);

// Number texts of the file follow the user's locale.
QString config_number_text(double value);
