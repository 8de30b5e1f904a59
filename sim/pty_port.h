#pragma once

#include <QByteArray>
#include <QString>

// The emulator's end of a pseudo-terminal, raw, non-blocking, with a link to
// the terminal device that the program can open like a serial port. The sim
// keeps the terminal side open itself too, so its end never sees a hang-up
// while the program closes and reopens the port.
class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // False with a reason in `error`.
    bool open(QString& error);
    // Creates `link_path` pointing to the terminal device; an old link there
    // (left by a sim that was killed) is replaced, anything else is not.
    bool publish_link(const QString& link_path, QString& error);
    void remove_link();

    int master_fd() const { return master_; }
    const QString& terminal_path() const { return terminal_path_; }

    // Everything the program has written so far (empty when nothing waits).
    QByteArray read_available();
    // Writes what the terminal takes now; the rest stays queued for the next call.
    void write_queued(const QByteArray& bytes);
    bool has_queued() const { return !queued_.isEmpty(); }

private:
    int master_ = -1;
    int terminal_ = -1;
    QString terminal_path_;
    QString link_path_;
    QByteArray queued_;
};
