#include "platform/serial_ftd2xx.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/language_table.h"
#include "support/files.h"

namespace {

// Generous bound for bytes to cross the pseudo-terminal; only a broken backend
// ever reaches it.
constexpr int kDeadlineMs = 10000;

QByteArray all_byte_values() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) bytes.append(char(b));
    return bytes;
}

// How many of our own descriptors refer to `path`, also after the device node
// has gone (a closed pseudo-terminal shows as "/dev/pts/N (deleted)").
int descriptors_on(const QString& path) {
    int count = 0;
    const QFileInfoList fds =
        QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& fd : fds) {
        const QString target = fd.symLinkTarget();
        if (target == path || target == path + " (deleted)") ++count;
    }
    return count;
}

bool dtr_can_be_raised(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    int dtr = TIOCM_DTR;
    const bool raised = ::ioctl(fd, TIOCMBIS, &dtr) == 0;
    ::close(fd);
    return raised;
}

// The far end of a pseudo-terminal, standing in for the device.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char* name = ::ptsname(master_);
        if (!name) return;
        slave_path_ = QString::fromLocal8Bit(name);
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() { close_master(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !slave_path_.isEmpty(); }
    const QString& slave_path() const { return slave_path_; }

    void close_master() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    bool send(const QByteArray& bytes) {
        return ::write(master_, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Whatever arrives until `count` bytes are there or the deadline passes.
    QByteArray receive(int count) {
        QByteArray got;
        QElapsedTimer since;
        since.start();
        while (got.size() < count && since.elapsed() < kDeadlineMs) {
            pollfd pfd{master_, POLLIN, 0};
            if (::poll(&pfd, 1, 50) <= 0) continue;
            char chunk[512];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n > 0) got.append(chunk, int(n));
        }
        return got;
    }

    // Line settings of the terminal as the port left them.
    termios line() const {
        termios t{};
        ::tcgetattr(master_, &t);
        return t;
    }

private:
    int master_ = -1;
    QString slave_path_;
};

class SerialFtd2xxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(pty.ok());
        ASSERT_EQ(ft.FT_ListDevices(ftdi_ports, FT_LIST_NUMBER_ONLY), FT_OK);
    }
    void TearDown() override {
        if (handle != 0) ft.FT_Close(handle);
    }

    QString link_path() const { return dir.path() + "/ttyQV5SIM"; }
    bool link_to(const QString& target) {
        QFile::remove(link_path());
        return QFile::link(target, link_path());
    }
    quint32 count() {
        quint32 n = 99;
        EXPECT_EQ(ft.FT_ListDevices(n, FT_LIST_NUMBER_ONLY), FT_OK);
        return n;
    }
    // The emulator is listed after any real converters.
    FT_STATUS open_emulator() {
        if (!link_to(pty.slave_path())) return FT_OTHER_ERROR;
        return ft.FT_Open(int(ftdi_ports), handle);
    }
    // Polls the queue without running the event loop, so only the backend's own
    // pull can bring the bytes in.
    quint32 wait_for_queue(quint32 expected, FT_STATUS& status) {
        quint32 waiting = 0;
        QElapsedTimer since;
        since.start();
        do {
            status = ft.FT_GetQueueStatus(handle, waiting);
            if (status != FT_OK || waiting >= expected) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (since.elapsed() < kDeadlineMs);
        return waiting;
    }

    QTemporaryDir dir;
    Pty pty;
    SerialFtd2xx ft{dir.path() + "/"};
    quint32 ftdi_ports = 0;  // converters really attached to this machine
    FT_HANDLE handle = 0;
};

TEST_F(SerialFtd2xxTest, ListingCountsTheEmulatorLinkOnlyWhenItLeadsToATerminal) {
    EXPECT_EQ(count(), ftdi_ports);

    ASSERT_TRUE(link_to(pty.slave_path()));
    EXPECT_EQ(count(), ftdi_ports + 1);
    ASSERT_FALSE(ft.candidates().isEmpty());
    EXPECT_EQ(ft.candidates().last(), QFileInfo(pty.slave_path()).canonicalFilePath());

    const QString plain = dir.path() + "/plain.txt";
    ASSERT_TRUE(write_bytes(plain, "not a device"));
    ASSERT_TRUE(link_to(plain));
    EXPECT_EQ(count(), ftdi_ports);

    ASSERT_TRUE(link_to("/dev/null"));  // a character device, but no terminal
    EXPECT_EQ(count(), ftdi_ports);

    ASSERT_TRUE(link_to(dir.path() + "/gone"));
    EXPECT_EQ(count(), ftdi_ports);

    quint32 n = 7;
    EXPECT_EQ(ft.FT_ListDevices(n, 0), FT_INVALID_PARAMETER);
}

TEST_F(SerialFtd2xxTest, OpensTheEmulatorAt19200With8DataAnd2StopBits) {
    ASSERT_EQ(open_emulator(), FT_OK) << ft.last_error_detail().toStdString();
    EXPECT_NE(handle, FT_HANDLE(0));
    EXPECT_TRUE(ft.last_error_detail().isEmpty());
    // Still listed while we hold it, so the count does not change under the program.
    EXPECT_EQ(count(), ftdi_ports + 1);

    const termios t = pty.line();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
}

TEST_F(SerialFtd2xxTest, TheOpeningSequenceSucceedsOnAPseudoTerminal) {
    // A pseudo-terminal has no modem lines: raising DTR fails there and must not
    // stop the connection.
    ASSERT_FALSE(dtr_can_be_raised(pty.slave_path()));

    ASSERT_EQ(open_emulator(), FT_OK);
    EXPECT_EQ(ft.FT_SetBaudRate(handle, 19200), FT_OK);
    EXPECT_EQ(ft.FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_2, FT_PARITY_NONE),
              FT_OK);
    EXPECT_EQ(ft.FT_SetFlowControl(handle, FT_FLOW_NONE, 0, 0), FT_OK);
    EXPECT_EQ(ft.FT_SetDtr(handle), FT_OK);
    EXPECT_EQ(ft.FT_SetTimeouts(handle, 100, 250), FT_OK);
}

TEST_F(SerialFtd2xxTest, LineSettingsChangeOnTheOpenPort) {
    ASSERT_EQ(open_emulator(), FT_OK);
    EXPECT_EQ(ft.FT_SetBaudRate(handle, 38400), FT_OK);
    termios t = pty.line();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));

    // A pseudo-terminal keeps 8 bits without parity, but the stop bits follow.
    EXPECT_EQ(ft.FT_SetDataCharacteristics(handle, FT_BITS_8, 0, FT_PARITY_NONE), FT_OK);
    EXPECT_FALSE(pty.line().c_cflag & CSTOPB);
    EXPECT_EQ(ft.FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_2, FT_PARITY_NONE),
              FT_OK);
    EXPECT_TRUE(pty.line().c_cflag & CSTOPB);

    EXPECT_EQ(ft.FT_SetDataCharacteristics(handle, 9, 0, FT_PARITY_NONE), FT_INVALID_PARAMETER);
    EXPECT_EQ(ft.FT_SetDataCharacteristics(handle, 8, 3, FT_PARITY_NONE), FT_INVALID_PARAMETER);
    EXPECT_EQ(ft.FT_SetDataCharacteristics(handle, 8, 0, 5), FT_INVALID_PARAMETER);
    EXPECT_EQ(ft.FT_SetFlowControl(handle, 0x0200, 0, 0), FT_INVALID_PARAMETER);
    EXPECT_EQ(ft.FT_SetBaudRate(handle, 0), FT_INVALID_PARAMETER);
    // Rejected values leave the line as it was.
    t = pty.line();
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
}

TEST_F(SerialFtd2xxTest, WrittenBytesArriveUnchangedAtTheDevice) {
    ASSERT_EQ(open_emulator(), FT_OK);
    const QByteArray frame = all_byte_values();
    quint32 written = 0;
    ASSERT_EQ(ft.FT_Write(handle, frame.constData(), quint32(frame.size()), written), FT_OK);
    EXPECT_EQ(written, quint32(frame.size()));
    EXPECT_EQ(pty.receive(frame.size()), frame);
}

TEST_F(SerialFtd2xxTest, BytesFromTheDeviceAreCountedAndReadWithoutTheEventLoop) {
    ASSERT_EQ(open_emulator(), FT_OK);
    quint32 waiting = 99;
    ASSERT_EQ(ft.FT_GetQueueStatus(handle, waiting), FT_OK);
    EXPECT_EQ(waiting, 0u);

    const QByteArray reply = all_byte_values();
    ASSERT_TRUE(pty.send(reply));
    FT_STATUS status = FT_OTHER_ERROR;
    ASSERT_EQ(wait_for_queue(256, status), 256u);
    ASSERT_EQ(status, FT_OK);

    char buffer[300] = {};
    quint32 returned = 0;
    ASSERT_EQ(ft.FT_Read(handle, buffer, 100, returned), FT_OK);
    ASSERT_EQ(returned, 100u);
    EXPECT_EQ(QByteArray(buffer, 100), reply.left(100));
    ASSERT_EQ(ft.FT_GetQueueStatus(handle, waiting), FT_OK);
    EXPECT_EQ(waiting, 156u);

    // Asking for more than waits returns what is there, at once.
    ASSERT_EQ(ft.FT_Read(handle, buffer, sizeof buffer, returned), FT_OK);
    ASSERT_EQ(returned, 156u);
    EXPECT_EQ(QByteArray(buffer, 156), reply.mid(100));
    ASSERT_EQ(ft.FT_Read(handle, buffer, sizeof buffer, returned), FT_OK);
    EXPECT_EQ(returned, 0u);
}

TEST_F(SerialFtd2xxTest, ADeviceThatGoesAwayIsAnIoError) {
    ASSERT_EQ(open_emulator(), FT_OK);
    pty.close_master();
    FT_STATUS status = FT_OK;
    wait_for_queue(1, status);
    EXPECT_EQ(status, FT_IO_ERROR);
    EXPECT_TRUE(ft.last_error_detail().contains(QFileInfo(pty.slave_path()).canonicalFilePath()))
        << ft.last_error_detail().toStdString();
    quint32 n = 99;
    EXPECT_EQ(ft.FT_Write(handle, "x", 1, n), FT_IO_ERROR);
    char byte = 0;
    EXPECT_EQ(ft.FT_Read(handle, &byte, 1, n), FT_IO_ERROR);
    EXPECT_EQ(n, 0u);
    // The dead device is let go at once; the handle is still ours to close.
    EXPECT_EQ(descriptors_on(pty.slave_path()), 0);
    EXPECT_EQ(ft.FT_Close(handle), FT_OK);
    handle = 0;
}

TEST_F(SerialFtd2xxTest, ALostConnectionIsToldInTheProgramsLanguage) {
    LanguageTable texts;
    texts.texts[size_t(kTextConnectionLost)] = "Die Verbindung zu %1 ist unterbrochen.";
    ft.use_texts(&texts);
    ASSERT_EQ(open_emulator(), FT_OK);
    const QString device = QFileInfo(pty.slave_path()).canonicalFilePath();
    ASSERT_FALSE(device.isEmpty());
    pty.close_master();
    FT_STATUS status = FT_OK;
    wait_for_queue(1, status);
    EXPECT_EQ(status, FT_IO_ERROR);
    EXPECT_EQ(ft.last_error_detail(), "Die Verbindung zu " + device + " ist unterbrochen.");
    ft.use_texts(nullptr);
}

TEST_F(SerialFtd2xxTest, ADeviceThatGoesAwayDuringAWaitIsLetGo) {
    ASSERT_EQ(open_emulator(), FT_OK);
    ASSERT_EQ(descriptors_on(pty.slave_path()), 1);
    pty.close_master();
    // The program waits in event loops; a port left open on a hung-up terminal
    // would keep the loop spinning on it.
    QElapsedTimer since;
    since.start();
    while (descriptors_on(pty.slave_path()) > 0 && since.elapsed() < kDeadlineMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(descriptors_on(pty.slave_path()), 0);
    quint32 waiting = 99;
    EXPECT_EQ(ft.FT_GetQueueStatus(handle, waiting), FT_IO_ERROR);
    EXPECT_EQ(waiting, 0u);
}

TEST_F(SerialFtd2xxTest, CallsWithoutAnOpenHandleAreRefused) {
    for (FT_HANDLE bad : {FT_HANDLE(0), FT_HANDLE(12345)}) {
        SCOPED_TRACE(bad);
        quint32 n = 99;
        char byte = 0;
        EXPECT_EQ(ft.FT_Close(bad), FT_INVALID_HANDLE);
        EXPECT_EQ(ft.FT_SetBaudRate(bad, 19200), FT_INVALID_HANDLE);
        EXPECT_EQ(ft.FT_SetDataCharacteristics(bad, 8, 2, 0), FT_INVALID_HANDLE);
        EXPECT_EQ(ft.FT_SetFlowControl(bad, 0, 0, 0), FT_INVALID_HANDLE);
        EXPECT_EQ(ft.FT_SetDtr(bad), FT_INVALID_HANDLE);
        EXPECT_EQ(ft.FT_SetTimeouts(bad, 100, 250), FT_INVALID_HANDLE);
        EXPECT_EQ(ft.FT_GetQueueStatus(bad, n), FT_INVALID_HANDLE);
        EXPECT_EQ(n, 0u);
        n = 99;
        EXPECT_EQ(ft.FT_Read(bad, &byte, 1, n), FT_INVALID_HANDLE);
        EXPECT_EQ(n, 0u);
        n = 99;
        EXPECT_EQ(ft.FT_Write(bad, "x", 1, n), FT_INVALID_HANDLE);
        EXPECT_EQ(n, 0u);
    }
}

TEST_F(SerialFtd2xxTest, AClosedHandleIsGoneAndThePortOpensAgain) {
    ASSERT_EQ(open_emulator(), FT_OK);
    const FT_HANDLE first = handle;
    ASSERT_EQ(ft.FT_Close(first), FT_OK);
    handle = 0;
    char byte = 0;
    quint32 n = 99;
    EXPECT_EQ(ft.FT_Read(first, &byte, 1, n), FT_INVALID_HANDLE);
    EXPECT_EQ(ft.FT_Close(first), FT_INVALID_HANDLE);

    ASSERT_EQ(ft.FT_Open(int(ftdi_ports), handle), FT_OK) << ft.last_error_detail().toStdString();
    ASSERT_EQ(ft.FT_Write(handle, "k", 1, n), FT_OK);
    EXPECT_EQ(pty.receive(1), QByteArray("k"));
}

TEST_F(SerialFtd2xxTest, OpeningAConverterThatIsNotThereFails) {
    ASSERT_TRUE(link_to(pty.slave_path()));
    for (int index : {int(ftdi_ports) + 1, int(ftdi_ports) + 5, -1}) {
        SCOPED_TRACE(index);
        FT_HANDLE h = 77;
        EXPECT_EQ(ft.FT_Open(index, h), FT_DEVICE_NOT_OPENED);
        EXPECT_EQ(h, FT_HANDLE(0));
        EXPECT_FALSE(ft.last_error_detail().isEmpty());
    }
}

TEST_F(SerialFtd2xxTest, APortInUseIsNotOpenedTwiceAndKeepsWorking) {
    ASSERT_EQ(open_emulator(), FT_OK);
    FT_HANDLE second = 77;
    EXPECT_EQ(ft.FT_Open(int(ftdi_ports), second), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(second, FT_HANDLE(0));
    EXPECT_TRUE(ft.last_error_detail().contains(QFileInfo(pty.slave_path()).canonicalFilePath()))
        << ft.last_error_detail().toStdString();
    // A second program finds it held, and is told so (not "no device").
    SerialFtd2xx other(dir.path() + "/");
    quint32 listed = 0;
    ASSERT_EQ(other.FT_ListDevices(listed, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(other.FT_Open(int(ftdi_ports), second), FT_DEVICE_NOT_OPENED);
    EXPECT_TRUE(other.last_open_in_use()) << other.last_error_detail().toStdString();

    quint32 n = 0;
    ASSERT_EQ(ft.FT_Write(handle, "still here", 10, n), FT_OK);
    EXPECT_EQ(pty.receive(10), QByteArray("still here"));
}

TEST(SerialOpenErrorDetail, PermissionProblemsPointToTheDialoutGroup) {
    const QString detail = serial_open_error_detail("/dev/ttyUSB0", QSerialPort::PermissionError,
                                                    "Permission denied", false);
    EXPECT_TRUE(detail.contains("/dev/ttyUSB0"));
    EXPECT_TRUE(detail.contains("dialout group"));
    EXPECT_TRUE(detail.contains("usermod -aG dialout"));
}

TEST(SerialOpenErrorDetail, ALockedDeviceIsReportedAsInUse) {
    const QString detail =
        serial_open_error_detail("/dev/ttyUSB1", QSerialPort::PermissionError,
                                 "Permission error while locking the device", true);
    EXPECT_TRUE(detail.contains("/dev/ttyUSB1 is in use"));
    EXPECT_TRUE(detail.contains("locking"));
    EXPECT_FALSE(detail.contains("dialout"));
}

TEST(SerialOpenErrorDetail, OtherFailuresNameThePathAndTheSystemsReason) {
    const QString detail = serial_open_error_detail(
        "/dev/ttyUSB2", QSerialPort::DeviceNotFoundError, "No such file or directory", false);
    EXPECT_EQ(detail, "/dev/ttyUSB2: No such file or directory");
}

}  // namespace

namespace {

// The permission details in the language the program runs in; English where
// the language file has no such text.
TEST(SerialOpenErrorDetail, PermissionDetailsComeFromTheLanguageTexts) {
    LanguageTable german;
    german.texts[size_t(kTextNoPermission)] = QString::fromUtf8("Keine Berechtigung für %1.");
    german.texts[size_t(kTextDeviceInUse)] = "%1 wird benutzt (%2).";
    const LanguageTable none;
    struct Case {
        const LanguageTable* texts;
        bool may_use;
        QString expected;
    };
    const Case cases[] = {
        {&german, false, QString::fromUtf8("Keine Berechtigung für /dev/ttyUSB0.")},
        {&german, true, "/dev/ttyUSB0 wird benutzt (locked)."},
        {&none, true, "/dev/ttyUSB0 is in use by another program (locked)."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serial_open_error_detail("/dev/ttyUSB0", QSerialPort::PermissionError, "locked",
                                           c.may_use, c.texts),
                  c.expected);
}

}  // namespace
