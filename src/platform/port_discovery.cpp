#include "platform/port_discovery.h"

#include <QFileInfo>

#include "platform/clock.h"

PortDiscovery::PortDiscovery(QStringList folders, Lister lister, const Clock& clock,
                             QObject* parent)
    : QObject(parent), folders_(std::move(folders)), lister_(std::move(lister)), clock_(clock) {
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &PortDiscovery::folder_changed);
    watch_existing();
}

void PortDiscovery::watch_existing() {
    const QStringList watched = watcher_.directories();
    for (const QString& folder : folders_) {
        if (!watched.contains(folder) && QFileInfo(folder).isDir()) watcher_.addPath(folder);
    }
}

void PortDiscovery::folder_changed() {
    stale_ = true;
    changed_ = true;
    changed_at_ = clock_.monotonic_ms();
    // A folder may have come into being (the first converter creates
    // /dev/serial), or a watched one gone; watch what is there now.
    watch_existing();
}

void PortDiscovery::invalidate() {
    stale_ = true;
}

QStringList PortDiscovery::ports() {
    const qint64 now = clock_.monotonic_ms();
    const bool settling = changed_ && now - changed_at_ < kSettleMs;
    const qint64 max_age = watching() ? kMaxAgeWatchedMs : kMaxAgeUnwatchedMs;
    if (stale_ || settling || now - listed_at_ >= max_age) {
        cached_ = lister_();
        listed_at_ = now;
        stale_ = false;
    }
    return cached_;
}
