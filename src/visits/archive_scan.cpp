#include "visits/archive_scan.h"

#include <QEventLoop>
#include <QThread>
#include <utility>

ArchiveScan::ArchiveScan(QObject* parent) : QObject(parent) {}

ArchiveScan::~ArchiveScan() {
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

void ArchiveScan::start(const QString& folder) {
    if (thread_) {
        pending_ = folder;
        return;
    }
    folder_ = folder;
    thread_ = QThread::create([this, folder] { result_ = list_archive(folder, &cache_); });
    connect(thread_, &QThread::finished, this, &ArchiveScan::round_done, Qt::QueuedConnection);
    thread_->start();
}

void ArchiveScan::round_done() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    const ArchiveListing listing = std::move(result_);
    result_ = {};
    const QString folder = folder_;
    if (!pending_.isEmpty()) start(std::exchange(pending_, QString()));
    emit scanned(folder, listing);
}

ArchiveListing ArchiveScan::scan_now(const QString& folder) {
    ArchiveListing listing;
    bool done = false;
    QEventLoop loop;
    const QMetaObject::Connection connection =
        connect(this, &ArchiveScan::scanned, &loop,
                [&](const QString& scanned_folder, const ArchiveListing& result) {
                    if (scanned_folder != folder || running()) return;
                    listing = result;
                    done = true;
                    loop.quit();
                });
    start(folder);
    if (!done) loop.exec();
    disconnect(connection);
    return listing;
}
