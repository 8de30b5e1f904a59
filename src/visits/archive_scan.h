#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "visits/archive_reader.h"
#include "visits/visit_check.h"

class QThread;

// Lists and checks the archive in a worker thread, so the window keeps
// answering while thousands of visits are read; sums already checked are
// kept (by file size and time) for the next round. One round at a time: a
// round asked for while one runs follows it.
class ArchiveScan : public QObject {
    Q_OBJECT
public:
    explicit ArchiveScan(QObject* parent = nullptr);
    ~ArchiveScan() override;

    void start(const QString& folder);
    bool running() const { return thread_ != nullptr; }
    // Runs a round and waits for it with the events still served.
    ArchiveListing scan_now(const QString& folder);

signals:
    void scanned(const QString& folder, const ArchiveListing& listing);

private:
    void round_done();

    ArchiveCache cache_;
    QThread* thread_ = nullptr;
    QString folder_;
    QString pending_;
    ArchiveListing result_;
};
