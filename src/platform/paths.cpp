#include "platform/paths.h"

#include <algorithm>

QString folder_of(const QString& path) {
    int cut = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    cut = std::max(cut, int(path.lastIndexOf(u'\\')));
#endif
    return cut < 0 ? QString() : path.left(cut + 1);
}

QString with_trailing_slash(const QString& folder) {
    if (folder.endsWith(u'/')) return folder;
#ifdef Q_OS_WIN
    if (folder.endsWith(u'\\')) return folder;
#endif
    return folder + u'/';
}
