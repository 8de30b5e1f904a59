#pragma once

#include <QString>

#include "platform/language_table.h"

class Dialogs;

// The two upper-case letters of the user's locale language when app_dir holds
// that language file, else "EN".
QString language_code(const QString& app_dir);
// app_dir + "lang" + code + ".txt"
QString language_path(const QString& app_dir, const QString& code);

// Fills the table from a language file: lines of id, "|", size, "|", text;
// empty lines and lines whose first non-blank character is "*" are skipped. Any
// bad line (fewer than three pieces, an id outside 0..20000, a size outside
// 0..255 or missing) or a missing file says "Language File could not be loaded."
// and returns false: the program must then end before any window shows.
bool load_language(LanguageTable& table, const QString& path, Dialogs& dialogs);
