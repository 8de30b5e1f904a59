#pragma once

#include <QString>

// The folder of a path: everything up to and including the last "/" or "\",
// empty when there is none.
QString folder_of(const QString& path);

// A folder path with exactly one trailing "/" added when it has none.
QString with_trailing_slash(const QString& folder);

// Where the visit archive is proposed at first: a "Quorvel5" folder in the
// user's documents.
QString archive_folder_proposal();
