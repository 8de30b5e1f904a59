#include "sim/pty_port.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

QString os_error(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

PtyPort::~PtyPort() {
    remove_link();
    if (terminal_ >= 0) ::close(terminal_);
    if (master_ >= 0) ::close(master_);
}

bool PtyPort::open(QString& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = os_error("posix_openpt");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = os_error("grantpt/unlockpt");
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error = os_error("ptsname");
        return false;
    }
    terminal_path_ = QString::fromLocal8Bit(name);
    terminal_ = ::open(name, O_RDWR | O_NOCTTY);
    if (terminal_ < 0) {
        error = os_error("open terminal");
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    termios tio{};
    if (::tcgetattr(terminal_, &tio) != 0) {
        error = os_error("tcgetattr");
        return false;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(terminal_, TCSANOW, &tio) != 0) {
        error = os_error("tcsetattr");
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = os_error("fcntl");
        return false;
    }
    return true;
}

bool PtyPort::publish_link(const QString& link_path, QString& error) {
    const QByteArray link = QFile::encodeName(link_path);
    const QFileInfo existing(link_path);
    if (existing.isSymLink()) {
        ::unlink(link.constData());
    } else if (existing.exists()) {
        error = QStringLiteral("%1 exists and is not a link; not replacing it").arg(link_path);
        return false;
    }
    if (::symlink(QFile::encodeName(terminal_path_).constData(), link.constData()) != 0) {
        error = os_error("symlink");
        return false;
    }
    link_path_ = link_path;
    return true;
}

void PtyPort::remove_link() {
    if (link_path_.isEmpty()) return;
    ::unlink(QFile::encodeName(link_path_).constData());
    link_path_.clear();
}

QByteArray PtyPort::read_available() {
    QByteArray bytes;
    char buffer[512];
    while (true) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;  // EAGAIN: nothing more for now
    }
    return bytes;
}

void PtyPort::write_queued(const QByteArray& bytes) {
    queued_.append(bytes);
    while (!queued_.isEmpty()) {
        const ssize_t n = ::write(master_, queued_.constData(), size_t(queued_.size()));
        if (n > 0) {
            queued_.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;  // the terminal is full; try again on the next tick
    }
}
