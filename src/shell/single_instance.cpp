#include "shell/single_instance.h"

#include <QDateTime>
#include <QFile>

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent),
      show_path_(folder + QStringLiteral("quorvel5.show")),
      lock_(folder + QStringLiteral("quorvel5.lock")) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        // Some editors and tools replace the file: keep watching the new one.
        if (!watcher_.files().contains(show_path_)) watcher_.addPath(show_path_);
        emit show_requested();
    });
}

bool SingleInstance::acquire() {
    lock_.setStaleLockTime(0);  // only a dead process's lock is stale
    if (!lock_.tryLock(0)) return false;
    QFile show(show_path_);
    if (show.open(QIODevice::WriteOnly | QIODevice::Truncate)) show.close();
    watcher_.addPath(show_path_);
    return true;
}

void SingleInstance::ask_first_to_show() {
    QFile show(show_path_);
    if (!show.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    show.write(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1() + '\n');
}
