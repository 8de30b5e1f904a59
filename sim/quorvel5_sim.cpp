// quorvel5-sim: an emulated Quorvel 5 on a pseudo-terminal. It publishes the
// link "ttyQV5SIM" beside itself (or in --dir), where the program looks for
// the emulator, answers at wire speed and removes the link when it ends.
#include <sys/socket.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "platform/paths.h"
#include "sim/device_emulator.h"
#include "sim/firmware_image_file.h"
#include "sim/pty_port.h"

namespace {

int g_signal_pipe[2] = {-1, -1};

void on_signal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signal_pipe[1], &byte, 1);
}

[[noreturn]] void fail(const QString& text) {
    std::fprintf(stderr, "quorvel5-sim: %s\n", qPrintable(text));
    std::exit(2);
}

int int_option(const QCommandLineParser& parser, const QString& name, int min, int max) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min || value > max)
        fail(QStringLiteral("--%1 wants a whole number from %2 to %3").arg(name).arg(min).arg(max));
    return value;
}

double double_option(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (!ok) fail(QStringLiteral("--%1 wants a number").arg(name));
    return value;
}

// Device contents and faults from the command line.
void configure(const QCommandLineParser& p, DeviceEmulator& emulator) {
    DeviceState& s = emulator.state();
    if (p.isSet(QStringLiteral("version-text")))
        s.version_text = p.value(QStringLiteral("version-text")).toLatin1();
    if (p.isSet(QStringLiteral("serial")))
        s.set_serial_number(p.value(QStringLiteral("serial")).toLatin1());
    if (p.isSet(QStringLiteral("lp"))) s.set_lp(p.value(QStringLiteral("lp")).toLatin1());
    if (p.isSet(QStringLiteral("veeprom")))
        s.set_veeprom(p.value(QStringLiteral("veeprom")).toLatin1());
    if (p.isSet(QStringLiteral("hours")) && !s.set_hours_text(p.value(QStringLiteral("hours"))))
        fail(QStringLiteral("--hours wants six digits HHHHHM, the last one 0 to 5"));
    if (p.isSet(QStringLiteral("counter-start")))
        s.counter_start = quint16(int_option(p, QStringLiteral("counter-start"), 0, 65535));
    if (p.isSet(QStringLiteral("gas-temp")))
        s.live.gas_temp_c = double_option(p, QStringLiteral("gas-temp"));
    if (p.isSet(QStringLiteral("steady"))) s.live.moving = false;
    // After the live settings: the stored blocks are built around them.
    s.fill_status_blocks(p.isSet(QStringLiteral("sysstat-blocks"))
                             ? int_option(p, QStringLiteral("sysstat-blocks"), 0, 32)
                             : 6);

    DeviceFaults& f = emulator.faults();
    if (p.isSet(QStringLiteral("drop")))
        f.drop_every = int_option(p, QStringLiteral("drop"), 0, 1000000);
    if (p.isSet(QStringLiteral("corrupt")))
        f.corrupt_every = int_option(p, QStringLiteral("corrupt"), 0, 1000000);
    if (p.isSet(QStringLiteral("delay")))
        f.delay_ms = int_option(p, QStringLiteral("delay"), 0, 600000);
    f.garbage = p.isSet(QStringLiteral("garbage"));
    f.split = p.isSet(QStringLiteral("split"));
    if (p.isSet(QStringLiteral("split-every")))
        f.split_every = int_option(p, QStringLiteral("split-every"), 0, 1000000);
    f.silent = p.isSet(QStringLiteral("silent"));

    BootLoaderFaults& b = emulator.boot_faults();
    if (p.isSet(QStringLiteral("boot-identity")))
        b.identity = p.value(QStringLiteral("boot-identity")).toLatin1();
    const std::pair<const char*, int*> counts[] = {{"reject-block", &b.reject_every},
                                                   {"silent-block", &b.silent_every},
                                                   {"block-fillers", &b.fillers_before_reply},
                                                   {"drop-line-after", &b.drop_line_after}};
    for (const auto& [name, value] : counts)
        if (p.isSet(QString::fromLatin1(name)))
            *value = int_option(p, QString::fromLatin1(name), 0, 1000000);
    if (p.isSet(QStringLiteral("reject-letter"))) {
        const QByteArray letter = p.value(QStringLiteral("reject-letter")).toLatin1();
        if (letter.size() != 1) fail(QStringLiteral("--reject-letter wants one character"));
        b.reject_letter = letter[0];
    }
    if (p.isSet(QStringLiteral("drop-line-for")))
        b.drop_line_for_ms = qRound(double_option(p, QStringLiteral("drop-line-for")) * 1000);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel5-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Emulated Quorvel 5 concentrator on a pseudo-terminal, published as the link "
        "ttyQV5SIM where quorvel5 looks for it: beside this program in a build or "
        "portable folder, in the user's runtime folder ($XDG_RUNTIME_DIR) once installed."));
    parser.addHelpOption();
    const auto opt = [&](const char* name, const char* help, const char* value = nullptr) {
        parser.addOption(
            value ? QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                       QString::fromLatin1(value))
                  : QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help)));
    };
    opt("dir", "Folder for the ttyQV5SIM link (default: where quorvel5 looks for it).", "DIR");
    opt("log", "Write one line per request received and reply sent to FILE.", "FILE");
    opt("drop", "Never send every Nth reply.", "N");
    opt("corrupt", "Send every Nth reply with a wrong CRC.", "N");
    opt("garbage", "Put stray bytes on the line before every reply.");
    opt("split", "Deliver replies in odd-sized bursts with pauses between them.");
    opt("split-every", "Deliver every Nth reply in bursts (as --split does for all).", "N");
    opt("delay", "Wait MS milliseconds more before every reply.", "MS");
    opt("silent", "Answer nothing.");
    opt("unplug-after", "After SECONDS, remove the link and stop answering.", "SECONDS");
    opt("serial", "Serial number (12 characters, padded with spaces).", "TEXT");
    opt("lp", "Board serial number shown as LP (12 characters).", "TEXT");
    opt("veeprom", "The 4-character parameter memory text VEEPROM.", "TEXT");
    opt("hours", "Operating hours: five hour digits and the tens of minutes, e.g. 012345.",
        "HHHHHM");
    opt("version-text", "Software version text (all but its last character a number).", "TEXT");
    opt("sysstat-blocks", "Filled status memory blocks, 0 to 32 (default 6).", "N");
    opt("counter-start", "Tick counter at start, 0 to 65535 (65000 wraps after 21 s).", "N");
    opt("gas-temp", "Gas temperature in degrees Celsius, may be negative.", "C");
    opt("steady", "Hold the live measurements still instead of letting them move.");
    opt("boot-identity", "The boot loader answers \"I\" with TEXT instead of its identity.",
        "TEXT");
    opt("reject-block", "The boot loader refuses every Nth firmware block.", "N");
    opt("reject-letter", "The letter a refused block is answered with (default E).", "C");
    opt("silent-block", "The boot loader leaves every Nth firmware block unanswered.", "N");
    opt("block-fillers", "The boot loader answers a block only after N filler zero bytes.", "N");
    opt("drop-line-after", "The line goes dead once N firmware blocks were programmed.", "N");
    opt("drop-line-for", "... and comes back after SECONDS (default: never).", "SECONDS");
    opt("write-image",
        "Write a firmware image of --image-blocks blocks for this device to FILE "
        "and end.",
        "FILE");
    opt("image-blocks", "Blocks in the image written by --write-image (default 512).", "N");
    parser.process(app);

    DeviceEmulator emulator;
    configure(parser, emulator);

    if (parser.isSet(QStringLiteral("write-image"))) {
        const int blocks = parser.isSet(QStringLiteral("image-blocks"))
                               ? int_option(parser, QStringLiteral("image-blocks"), 0, 65536)
                               : 512;
        QFile image(parser.value(QStringLiteral("write-image")));
        const QByteArray text = image_file_text(
            QStringLiteral("2.10"), {emulated_hardware_id(emulator.state())}, image_blocks(blocks));
        if (!image.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            image.write(text) != text.size())
            fail(QStringLiteral("cannot write %1: %2").arg(image.fileName(), image.errorString()));
        return 0;
    }

    QElapsedTimer clock;
    clock.start();

    QFile log_file;
    if (parser.isSet(QStringLiteral("log"))) {
        log_file.setFileName(parser.value(QStringLiteral("log")));
        if (!log_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            fail(QStringLiteral("cannot write %1: %2")
                     .arg(log_file.fileName(), log_file.errorString()));
        emulator.set_log([&log_file](const WireLogEntry& entry) {
            log_file.write(format_log_line(entry).toUtf8() + '\n');
            log_file.flush();
        });
    }

    // Signals end the event loop, so the link is removed on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signal_pipe) != 0)
        fail(QStringLiteral("socketpair"));
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGHUP, on_signal);
    QSocketNotifier signal_notifier(g_signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(&signal_notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    PtyPort port;
    QString error;
    if (!port.open(error)) fail(error);
    const QString dir = parser.isSet(QStringLiteral("dir"))
                            ? parser.value(QStringLiteral("dir"))
                            : app_paths(QCoreApplication::applicationDirPath()).link_dir;
    const QString link = QDir(dir).absoluteFilePath(QStringLiteral("ttyQV5SIM"));
    if (!port.publish_link(link, error)) fail(error);

    QSocketNotifier incoming(port.master_fd(), QSocketNotifier::Read);
    QObject::connect(&incoming, &QSocketNotifier::activated, [&] {
        const QByteArray bytes = port.read_available();
        if (!bytes.isEmpty()) emulator.receive_from_host(bytes, clock.elapsed());
    });

    // Replies leave at wire speed: every few milliseconds, what is due goes out.
    QTimer outgoing;
    outgoing.setTimerType(Qt::PreciseTimer);
    // A line the boot loader fault drops takes the link with it, and brings it back.
    bool linked = true;
    QObject::connect(&outgoing, &QTimer::timeout, [&] {
        port.write_queued(emulator.take_output(clock.elapsed()));
        if (emulator.unplugged_at(clock.elapsed()) == !linked) return;
        linked = !linked;
        if (linked)
            port.publish_link(link, error);
        else
            port.remove_link();
    });
    outgoing.start(2);

    if (parser.isSet(QStringLiteral("unplug-after"))) {
        const double seconds = double_option(parser, QStringLiteral("unplug-after"));
        QTimer::singleShot(qMax(0, qRound(seconds * 1000)), &app, [&] {
            port.remove_link();
            emulator.faults().unplugged = true;
            std::fprintf(stderr, "quorvel5-sim: unplugged\n");
        });
    }

    std::fprintf(stderr, "quorvel5-sim: device on %s, link %s\n", qPrintable(port.terminal_path()),
                 qPrintable(link));
    const int result = app.exec();
    port.remove_link();
    return result;
}
