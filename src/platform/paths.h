#pragma once

#include <QString>

// The folder of a path: everything up to and including the last "/" or "\",
// empty when there is none.
QString folder_of(const QString& path);

// A folder path with exactly one trailing "/" added when it has none.
QString with_trailing_slash(const QString& folder);

// A text for a file name: every character no file name can hold on Windows or
// here (backslash, "/", ":", "*", "?", quote, "<", ">", "|") becomes "_", so a
// serial number cannot make a sub-folder or an invalid name.
QString file_name_safe(QString text);
