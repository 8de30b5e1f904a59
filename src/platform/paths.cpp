#include "platform/paths.h"

#include <QStandardPaths>
#include <algorithm>

QString folder_of(const QString& path) {
    // Either separator ends a folder: paths typed or stored on Windows reach
    // the program as well.
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : path.left(cut + 1);
}

QString with_trailing_slash(const QString& folder) {
    if (folder.endsWith(u'/')) return folder;
#ifdef Q_OS_WIN
    if (folder.endsWith(u'\\')) return folder;
#endif
    return folder + u'/';
}

QString archive_folder_proposal() {
    return with_trailing_slash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)) +
           QLatin1String("Quorvel5");
}
