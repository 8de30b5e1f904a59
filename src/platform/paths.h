#pragma once

#include <QString>

// The folder of a path: everything up to and including the last "/" or "\",
// empty when there is none.
QString folder_of(const QString& path);

// A folder path with exactly one trailing "/" added when it has none.
QString with_trailing_slash(const QString& folder);

// Where every file of the program lives; this is the one place that decides.
// Portable layout (the build tree, a folder copied to a PC): everything in the
// program's folder. Installed (the program in <prefix>/bin, its shipped files
// in <prefix>/share/quorvel5/): the shipped files are read from there and the
// user's own files go to the user's folders, so nothing is written under the
// prefix, not even when root starts the program. Every folder ends in "/".
struct AppPaths {
    QString app_dir;        // the program's folder
    QString data_dir;       // language files and the shipped default settings
    QString config_dir;     // quorvel5.ini
    QString log_dir;        // saved communication logs
    QString start_dir;      // the first folder the file dialogs open in (INITDIR)
    QString link_dir;       // where quorvel5-sim publishes its link ttyQV5SIM
    QString defaults_file;  // the settings a first start begins with
};

// `app_dir`: the program's folder. The user's folders come from
// QStandardPaths (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR, documents).
AppPaths app_paths(const QString& app_dir);

// The settings file to read at start: the user's own once it exists, else the
// shipped defaults (the same file in the portable layout).
QString settings_file_to_read(const AppPaths& paths);

// The nearest folder at or above `path` that exists; "" when none does.
QString nearest_existing_folder(QString path);

// Makes the folder a file is about to be written into; false when it cannot.
bool make_folder_for(const QString& file);

// A text for a file name: every character no file name can hold on Windows or
// here (backslash, "/", ":", "*", "?", quote, "<", ">", "|") becomes "_", so a
// serial number cannot make a sub-folder or an invalid name.
QString file_name_safe(QString text);

// Where the visit archive is proposed at first: a "Quorvel5" folder in the
// user's documents.
QString archive_folder_proposal();
