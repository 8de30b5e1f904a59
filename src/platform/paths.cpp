#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
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

QString file_name_safe(QString text) {
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) text.replace(c, u'_');
    return text;
}

namespace {

const QLatin1String kSettingsName("quorvel5.ini");

QString user_folder(QStandardPaths::StandardLocation location, const QString& below = {}) {
    return with_trailing_slash(QStandardPaths::writableLocation(location) + below);
}

// The shipped files of an installed program, or empty when there are none:
// English is always shipped, so its file marks the folder.
QString installed_data_dir(const QString& app_dir) {
    const QString english = QStringLiteral("langEN.txt");
    if (QFileInfo::exists(app_dir + english)) return {};
    const QString shared =
        with_trailing_slash(QDir::cleanPath(app_dir + QStringLiteral("../share/quorvel5")));
    return QFileInfo::exists(shared + english) ? shared : QString();
}

}  // namespace

AppPaths app_paths(const QString& app_dir) {
    AppPaths paths;
    paths.app_dir = with_trailing_slash(app_dir);
    const QString shared = installed_data_dir(paths.app_dir);
    paths.data_dir = shared.isEmpty() ? paths.app_dir : shared;
    paths.defaults_file = paths.data_dir + kSettingsName;
    if (shared.isEmpty() && QFileInfo(paths.app_dir).isWritable()) {
        paths.config_dir = paths.log_dir = paths.start_dir = paths.link_dir = paths.app_dir;
        return paths;
    }
    const QString ours = QStringLiteral("/quorvel5");
    paths.config_dir = user_folder(QStandardPaths::GenericConfigLocation, ours);
    paths.log_dir = user_folder(QStandardPaths::GenericDataLocation, ours);
    // A new user may have no documents folder yet; a file dialog asked to
    // open in a missing folder falls back to the working folder, so the home
    // folder stands in for it.
    const QString documents = user_folder(QStandardPaths::DocumentsLocation);
    paths.start_dir =
        QFileInfo(documents).isDir() ? documents : user_folder(QStandardPaths::HomeLocation);
    paths.link_dir = user_folder(QStandardPaths::RuntimeLocation);
    return paths;
}

QString settings_file_to_read(const AppPaths& paths) {
    const QString own = paths.config_dir + kSettingsName;
    return QFileInfo::exists(own) ? own : paths.defaults_file;
}

QString nearest_existing_folder(QString path) {
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString up = QFileInfo(path).path();
        if (up == path) return {};
        path = up;
    }
    return path;
}

bool make_folder_for(const QString& file) {
    const QString folder = folder_of(file);
    return folder.isEmpty() || QDir().mkpath(folder);
}

QString archive_folder_proposal() {
    return user_folder(QStandardPaths::DocumentsLocation) + QLatin1String("Quorvel5");
}
