#include "platform/serial_ftd2xx.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <limits>
#include <vector>

#include "platform/language_table.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr quint16 kFtdiVendorId = 0x0403;
constexpr quint16 kFlowRtsCts = 0x0100;
constexpr quint16 kFlowXonXoff = 0x0400;
// How long a write may take to reach the system; the program asks the driver
// for the same write time-out.
constexpr int kWriteFlushMs = 250;

// A detail sentence in the program's language, English while there is none.
QString phrase(const LanguageTable* texts, int id, const char* english) {
    const QString text = texts ? texts->lang_text(id) : QString();
    return text.isEmpty() ? QString::fromLatin1(english) : text;
}

struct Candidate {
    QString path;
    bool emulator = false;
};

bool account_may_use(const QString& path) {
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
#else
    // Windows refuses a port that another program holds with "access denied".
    Q_UNUSED(path);
    return true;
#endif
}

// Where device nodes of serial converters come and go.
const QStringList kDeviceFolders{QStringLiteral("/dev"), QStringLiteral("/dev/serial"),
                                 QStringLiteral("/dev/serial/by-id")};

// The FTDI ports, then the emulator. The emulator link is looked at afresh each
// time: that is a few system calls, and a link whose emulator ended must not count.
std::vector<Candidate> list_candidates(const QStringList& ftdi_ports, const QString& emulator_link,
                                       const QStringList& open_paths) {
    std::vector<Candidate> list;
    for (const QString& path : ftdi_ports) list.push_back({path, false});

    const QString target = QFileInfo(emulator_link).canonicalFilePath();
    if (target.isEmpty()) return list;
    const bool listed =
        std::any_of(list.begin(), list.end(), [&](const Candidate& c) { return c.path == target; });
    // Our own open port would refuse the probe, so it counts as it is.
    if (!listed && (open_paths.contains(target) || is_terminal_device(target)))
        list.push_back({target, true});
    return list;
}

}  // namespace

QStringList usb_serial_ftdi_ports(const QString& usb_serial_folder, const QString& dev_folder) {
    QStringList paths;
    const QDir bus(usb_serial_folder);
    const QStringList names = bus.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        // ttyUSB0 leads to .../1-1/1-1:1.0/ttyUSB0: the USB device is two folders up.
        const QString port = QFileInfo(bus.filePath(name)).canonicalFilePath();
        QFile vendor(QDir::cleanPath(port + QStringLiteral("/../../idVendor")));
        if (port.isEmpty() || !vendor.open(QIODevice::ReadOnly)) continue;
        bool ok = false;
        if (vendor.readAll().trimmed().toUShort(&ok, 16) == kFtdiVendorId && ok)
            paths << dev_folder + name;
    }
    paths.sort();
    return paths;
}

QStringList system_ftdi_ports() {
#ifdef Q_OS_LINUX
    // FTDI converters are driven by the kernel's usb-serial driver, which lists
    // its ports in one folder. Asking udev about every terminal instead costs
    // tens of milliseconds (a system has dozens of consoles), which the
    // program's start-up and every fresh look for a converter would pay.
    return usb_serial_ftdi_ports(QStringLiteral("/sys/bus/usb-serial/devices"),
                                 QStringLiteral("/dev/"));
#else
    QStringList paths;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (info.hasVendorIdentifier() && info.vendorIdentifier() == kFtdiVendorId)
            paths << info.systemLocation();
    }
    paths.sort();
    return paths;
#endif
}

struct SerialFtd2xx::OpenPort {
    QSerialPort port;
    QString path;  // the device as listed
    bool emulator = false;
    bool gone = false;  // the device went away (unplugged, emulator ended)
};

bool is_terminal_device(const QString& path) {
#ifdef Q_OS_UNIX
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) return false;  // missing or a dangling link
    const QByteArray native = QFile::encodeName(target);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    // Character devices include /dev/null and friends; only a terminal will do.
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal;
#else
    Q_UNUSED(path);
    return false;
#endif
}

QString serial_open_error_detail(const QString& path, QSerialPort::SerialPortError error,
                                 const QString& error_string, bool account_may_use_device,
                                 const LanguageTable* texts) {
    if (error == QSerialPort::PermissionError) {
        if (account_may_use_device)
            return phrase(texts, kTextDeviceInUse, "%1 is in use by another program (%2).")
                .arg(path, error_string);
        return phrase(texts, kTextNoPermission,
                      "Permission denied for %1. Add your user to the dialout group "
                      "(sudo usermod -aG dialout $USER) and log in again.")
            .arg(path);
    }
    return QStringLiteral("%1: %2").arg(path, error_string);
}

SerialFtd2xx::SerialFtd2xx(const QString& link_dir)
    : emulator_link_(link_dir + QStringLiteral("ttyQV5SIM")),
      discovery_(kDeviceFolders, system_ftdi_ports, system_clock_) {}

SerialFtd2xx::SerialFtd2xx(const QString& link_dir, PortDiscovery::Lister lister,
                           const QStringList& device_folders, const Clock& clock)
    : emulator_link_(link_dir + QStringLiteral("ttyQV5SIM")),
      discovery_(device_folders, std::move(lister), clock) {}

SerialFtd2xx::~SerialFtd2xx() = default;

QStringList SerialFtd2xx::open_paths() const {
    QStringList paths;
    for (const auto& entry : ports_) paths << entry.second->path;
    return paths;
}

QStringList SerialFtd2xx::candidates() const {
    QStringList paths;
    for (const Candidate& c : list_candidates(discovery_.ports(), emulator_link_, open_paths()))
        paths << c.path;
    return paths;
}

SerialFtd2xx::OpenPort* SerialFtd2xx::find(FT_HANDLE handle) {
    const auto it = ports_.find(handle);
    if (it != ports_.end()) return it->second.get();
    last_error_ = QStringLiteral("No converter is open under handle %1.").arg(handle);
    return nullptr;
}

FT_STATUS SerialFtd2xx::port_failed(OpenPort& open, const QString& what) {
    last_error_ = QStringLiteral("%1 on %2: %3").arg(what, open.path, open.port.errorString());
    return FT_IO_ERROR;
}

FT_STATUS SerialFtd2xx::lost(OpenPort& open) {
    if (open.port.isOpen()) open.port.close();  // the handle stays ours until FT_Close
    // The port's own error text is stale after a hang-up, so say it plainly.
    last_error_ = phrase(texts_, kTextConnectionLost,
                         "The connection to %1 was lost; is the device still plugged in?")
                      .arg(open.path);
    return FT_IO_ERROR;
}

FT_STATUS SerialFtd2xx::FT_ListDevices(quint32& count, quint32 flags) {
    count = 0;
    if ((flags & FT_LIST_NUMBER_ONLY) == 0) return FT_INVALID_PARAMETER;
    count = quint32(candidates().size());
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_Open(int index, FT_HANDLE& handle) {
    handle = 0;
    in_use_ = false;
    const std::vector<Candidate> list =
        list_candidates(discovery_.ports(), emulator_link_, open_paths());
    if (index < 0 || size_t(index) >= list.size()) {
        last_error_ = QStringLiteral("There is no converter number %1.").arg(index);
        return FT_DEVICE_NOT_OPENED;
    }
    const Candidate& candidate = list[size_t(index)];

    auto open = std::make_unique<OpenPort>();
    QSerialPort& port = open->port;
    port.setPortName(candidate.path);
    port.setBaudRate(19200);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::TwoStop);
    port.setParity(QSerialPort::NoParity);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite)) {
        const bool may_use = account_may_use(candidate.path);
        last_error_ = serial_open_error_detail(candidate.path, port.error(), port.errorString(),
                                               may_use, texts_);
        in_use_ = may_use && port.error() == QSerialPort::PermissionError;
        // The list may be out of date; ask the system next time.
        if (port.error() == QSerialPort::DeviceNotFoundError) discovery_.invalidate();
        return FT_DEVICE_NOT_OPENED;
    }
    open->path = candidate.path;
    open->emulator = candidate.emulator;
    OpenPort* raw = open.get();
    QObject::connect(
        &port, &QSerialPort::errorOccurred, &port, [raw](QSerialPort::SerialPortError error) {
            // A hung-up terminal reads as end of file, which the port
            // reports as a read error rather than a resource error.
            if (raw->gone ||
                (error != QSerialPort::ResourceError && error != QSerialPort::ReadError))
                return;
            raw->gone = true;
            // Its read notifier would fire without end on the dead
            // device until closed; not from inside its own signal.
            QMetaObject::invokeMethod(
                &raw->port, [raw] { raw->port.close(); }, Qt::QueuedConnection);
        });

    handle = next_handle_++;
    if (next_handle_ == 0) next_handle_ = 1;
    ports_[handle] = std::move(open);
    last_error_.clear();
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_Close(FT_HANDLE handle) {
    const auto it = ports_.find(handle);
    if (it == ports_.end()) {
        find(handle);  // for the detail
        return FT_INVALID_HANDLE;
    }
    if (it->second->port.isOpen()) it->second->port.close();
    ports_.erase(it);
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_SetBaudRate(FT_HANDLE handle, quint32 baud) {
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    if (baud == 0 || baud > quint32(std::numeric_limits<qint32>::max()))
        return FT_INVALID_PARAMETER;
    if (!open->port.setBaudRate(qint32(baud)))
        return port_failed(*open, QStringLiteral("Baud rate"));
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_SetDataCharacteristics(FT_HANDLE handle, quint8 word_length,
                                                  quint8 stop_bits, quint8 parity) {
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    if (word_length < 5 || word_length > 8) return FT_INVALID_PARAMETER;
    QSerialPort::StopBits stop;
    switch (stop_bits) {
        case 0:
            stop = QSerialPort::OneStop;
            break;
        case 1:
            stop = QSerialPort::OneAndHalfStop;
            break;
        case FT_STOP_BITS_2:
            stop = QSerialPort::TwoStop;
            break;
        default:
            return FT_INVALID_PARAMETER;
    }
    QSerialPort::Parity qt_parity;
    switch (parity) {
        case FT_PARITY_NONE:
            qt_parity = QSerialPort::NoParity;
            break;
        case 1:
            qt_parity = QSerialPort::OddParity;
            break;
        case 2:
            qt_parity = QSerialPort::EvenParity;
            break;
        case 3:
            qt_parity = QSerialPort::MarkParity;
            break;
        case 4:
            qt_parity = QSerialPort::SpaceParity;
            break;
        default:
            return FT_INVALID_PARAMETER;
    }
    QSerialPort& port = open->port;
    if (!port.setDataBits(QSerialPort::DataBits(word_length)) || !port.setStopBits(stop) ||
        !port.setParity(qt_parity))
        return port_failed(*open, QStringLiteral("Line settings"));
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_SetFlowControl(FT_HANDLE handle, quint16 flow, quint8, quint8) {
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    QSerialPort::FlowControl qt_flow;
    switch (flow) {
        case FT_FLOW_NONE:
            qt_flow = QSerialPort::NoFlowControl;
            break;
        case kFlowRtsCts:
            qt_flow = QSerialPort::HardwareControl;
            break;
        case kFlowXonXoff:
            qt_flow = QSerialPort::SoftwareControl;
            break;
        default:
            return FT_INVALID_PARAMETER;  // DTR/DSR has no counterpart here
    }
    if (!open->port.setFlowControl(qt_flow))
        return port_failed(*open, QStringLiteral("Flow control"));
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_SetDtr(FT_HANDLE handle) {
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    // A pseudo-terminal has no modem lines; the emulator does not need DTR.
    if (!open->port.setDataTerminalReady(true) && !open->emulator)
        return port_failed(*open, QStringLiteral("DTR"));
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_SetTimeouts(FT_HANDLE handle, quint32, quint32) {
    // Reads never wait here and writes wait a fixed bound, so there is nothing to set.
    return find(handle) ? FT_OK : FT_INVALID_HANDLE;
}

FT_STATUS SerialFtd2xx::FT_GetQueueStatus(FT_HANDLE handle, quint32& rx_bytes) {
    rx_bytes = 0;
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    // Take in what the system holds; a zero wait never blocks.
    if (!open->gone) open->port.waitForReadyRead(0);
    if (open->gone) return lost(*open);
    rx_bytes =
        quint32(std::min<qint64>(open->port.bytesAvailable(), std::numeric_limits<quint32>::max()));
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_Read(FT_HANDLE handle, char* buffer, quint32 to_read,
                                quint32& returned) {
    returned = 0;
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    if (!buffer && to_read > 0) return FT_INVALID_PARAMETER;
    QSerialPort& port = open->port;
    if (!open->gone && port.bytesAvailable() < qint64(to_read)) port.waitForReadyRead(0);
    if (open->gone) return lost(*open);
    const qint64 n = port.read(buffer, std::min<qint64>(to_read, port.bytesAvailable()));
    if (n < 0) return port_failed(*open, QStringLiteral("Read"));
    returned = quint32(n);
    return FT_OK;
}

FT_STATUS SerialFtd2xx::FT_Write(FT_HANDLE handle, const char* buffer, quint32 to_write,
                                 quint32& written) {
    written = 0;
    OpenPort* open = find(handle);
    if (!open) return FT_INVALID_HANDLE;
    if (!buffer && to_write > 0) return FT_INVALID_PARAMETER;
    if (open->gone) return lost(*open);
    if (to_write == 0) return FT_OK;
    QSerialPort& port = open->port;
    if (port.write(buffer, qint64(to_write)) < 0)
        return port_failed(*open, QStringLiteral("Write"));
    // The port writes from the event loop; hand the frame to the system now so it
    // leaves even while the program is busy. Each round is bounded, and a round
    // only succeeds when bytes went out.
    while (port.bytesToWrite() > 0 && port.waitForBytesWritten(kWriteFlushMs)) {
    }
    written = quint32(std::max<qint64>(0, qint64(to_write) - port.bytesToWrite()));
    if (open->gone) return lost(*open);
    return FT_OK;
}
