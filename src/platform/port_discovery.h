#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <functional>

class Clock;

// The system's list of converters, kept between calls: asking the system costs
// milliseconds, and while no device is open the poll tick asks on every tick.
// The list is taken again when one of the watched device folders changes (a
// converter plugged in or pulled), for a few seconds after such a change
// (the system fills in a new device's details shortly after its node appears),
// and when it has grown old, in case a change slipped past the watch.
class PortDiscovery : public QObject {
    Q_OBJECT
public:
    using Lister = std::function<QStringList()>;

    // After a change the list is taken afresh on every call for this long.
    static constexpr qint64 kSettleMs = 3000;
    // The oldest a list may be while the device folders are watched, and
    // while they cannot be.
    static constexpr qint64 kMaxAgeWatchedMs = 5000;
    static constexpr qint64 kMaxAgeUnwatchedMs = 1000;

    // `folders`: where device nodes come and go; those missing now are
    // watched once they appear.
    PortDiscovery(QStringList folders, Lister lister, const Clock& clock,
                  QObject* parent = nullptr);

    QStringList ports();
    // Forget the list: the next call asks the system.
    void invalidate();
    bool watching() const { return !watcher_.directories().isEmpty(); }

private:
    void folder_changed();
    void watch_existing();

    QStringList folders_;
    Lister lister_;
    const Clock& clock_;
    QFileSystemWatcher watcher_;
    QStringList cached_;
    bool stale_ = true;
    qint64 listed_at_ = 0;
    qint64 changed_at_ = 0;
    bool changed_ = false;
};
