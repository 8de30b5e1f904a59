#pragma once

#include <QFileSystemWatcher>
#include <QLockFile>
#include <QObject>
#include <QString>

// One program per user session. The first start holds a lock file in the
// user's runtime folder; a later start finds it held, touches the "show"
// file beside it and ends, and the first program, which watches that file,
// brings its window to the front. A lock left by a program that crashed is
// taken over (the lock file names the process).
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: the user's runtime folder, with a trailing "/".
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);

    // True for the first program of the session, which then listens for
    // later starts.
    bool acquire();
    // From a later start: asks the running program to come to the front.
    void ask_first_to_show();

signals:
    void show_requested();

private:
    QString show_path_;
    QLockFile lock_;
    QFileSystemWatcher watcher_;
};
