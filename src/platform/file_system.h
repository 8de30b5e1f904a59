#pragma once

#include <QString>

enum class RenameResult { done, taken, failed };

// Renames `from` to `to` only if nothing is at `to`, decided by the file
// system in one step: two programs writing one shared folder can never both
// take a name, and an empty folder at `to` is never replaced (a plain
// rename(2) of a folder would replace it). `error` gets the system's reason
// on failure.
RenameResult rename_exclusive(const QString& from, const QString& to, QString* error = nullptr);
// The same for a folder where the file system lacks such a rename (network
// shares): the name is claimed by creating it, which fails when anything is
// there, and the claim is then replaced. Used by rename_exclusive there.
RenameResult rename_by_claim(const QString& from, const QString& to, QString* error = nullptr);

// 0 when the program may create files in `folder`, else the system's error
// number (EACCES, EROFS, ENOENT …). Asks without writing anything.
int write_access_error(const QString& folder);

// The system's own words for an error number, in the user's language where
// the system has them.
QString system_reason(int error);
