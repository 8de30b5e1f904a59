#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString system_reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

int write_access_error(const QString& folder) {
#ifdef Q_OS_UNIX
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0) return 0;
    return errno;
#else
    const QFileInfo info(folder);
    if (!info.isDir()) return ENOENT;
    return info.isWritable() ? 0 : EACCES;
#endif
}

RenameResult rename_by_claim(const QString& from, const QString& to, QString* error) {
#ifdef Q_OS_UNIX
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::mkdir(target.constData(), 0777) != 0) {
        if (errno == EEXIST) return RenameResult::taken;
        if (error) *error = system_reason(errno);
        return RenameResult::failed;
    }
    // The empty folder is our own claim: replacing it is the point.
    if (::rename(source.constData(), target.constData()) == 0) return RenameResult::done;
    const int failure = errno;
    ::rmdir(target.constData());
    if (error) *error = system_reason(failure);
    return RenameResult::failed;
#else
    return rename_exclusive(from, to, error);
#endif
}

RenameResult rename_exclusive(const QString& from, const QString& to, QString* error) {
#ifdef Q_OS_LINUX
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return RenameResult::done;
    if (errno == EEXIST) return RenameResult::taken;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        if (error) *error = system_reason(errno);
        return RenameResult::failed;
    }
    return rename_by_claim(from, to, error);
#else
    // Elsewhere (Windows' MoveFileEx without its replace flag) a rename never
    // replaces what is there.
    if (QDir().rename(from, to)) return RenameResult::done;
    if (QFileInfo::exists(to)) return RenameResult::taken;
    if (error) *error = QStringLiteral("rename");
    return RenameResult::failed;
#endif
}
