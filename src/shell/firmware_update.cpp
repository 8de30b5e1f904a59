#include "shell/firmware_update.h"

#include "link/conversions.h"
#include "link/device_data.h"
#include "link/frame.h"
#include "link/poll_cycle.h"
#include "link/port.h"
#include "link/requests.h"
#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "shell/config.h"
#include "shell/firmware_image.h"
#include "shell/info_window.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr int kConfirm = 6211;      // %1 the version
constexpr int kConfirmBoth = 6604;  // %1 the device's version, %2 the image's
constexpr int kProgress = 6212;     // %1 the block, %2 of how many
constexpr int kNextStep = 6213;     // the device waits in its boot loader
}  // namespace

FirmwareUpdate::FirmwareUpdate(Parts parts, QObject* parent)
    : QObject(parent), p_(parts), boot_(parts.port, [this](int ms) { p_.poll.wait_busy(ms); }) {}

void FirmwareUpdate::firmware_update() {
    if (running_) return;
    running_ = true;
    abandoned_ = false;
    Start start = Start::Firmware;
    bool go_on = true;
    if (!p_.geraet.verbunden) {
        // No device data. A device that an update left in its boot loader
        // answers only there: it may be programmed again from where it is.
        p_.poll.timer1().stop();
        go_on = boot_loader_answers();
        start = Start::BootLoader;
    }
    p_.poll.timer1().stop();
    go_on = go_on && choose_and_read_image() && image_fits(start) &&
            (start == Start::BootLoader || enter_boot_loader()) && program_blocks();
    if (go_on && !abandoned_) {
        p_.progress.close_window();
        p_.dialogs.show_message(p_.texts.lang_text(104));
        boot_.restart();
    }
    final_step();
    running_ = false;
}

bool FirmwareUpdate::boot_loader_answers() {
    if (!p_.port.is_open() && !p_.port.opendevice(true)) return false;
    QByteArray reply;
    return boot_.switch_speed() == FT_OK && boot_.handshake(reply);
}

bool FirmwareUpdate::choose_and_read_image() {
    const QString file = p_.dialogs.open_file_name(p_.settings.INITDIR,
                                                   QStringLiteral("Tessmar O2 Software (*.qv5)"));
    if (file.isEmpty()) return false;
    // Only the folder of an image that could be read is remembered.
    return read_image(file, p_.image, p_.dialogs, p_.texts) &&
           adopt_initdir(p_.settings, file, p_.config_dir, p_.dialogs, p_.texts);
}

bool FirmwareUpdate::image_fits(Start start) {
    const QString id = start == Start::Firmware ? hardware_id(p_.geraet) : boot_hardware_id_;
    // The technician sees what is replaced by what; a device in its boot
    // loader does not tell its version.
    QString question = start == Start::Firmware && !p_.geraet.sw.isEmpty()
                           ? p_.texts.lang_text(kConfirmBoth).arg(p_.geraet.sw, p_.image.version)
                           : p_.texts.lang_text(kConfirm).arg(p_.image.version);
    if (id.isEmpty()) {
        // A boot loader does not tell the hardware: the technician must know.
        question = p_.texts.lang_text(106) + kCrLf + question;
    } else if (!p_.image.hardware.contains(id)) {
        p_.dialogs.show_message(p_.texts.lang_text(100) + u' ' + p_.image.version + u' ' +
                                p_.texts.lang_text(101) + u' ' + id + u' ' +
                                p_.texts.lang_text(102));
        return false;
    }
    return p_.dialogs.ask_yes_no(question);
}

bool FirmwareUpdate::enter_boot_loader() {
    // Written at once, past the queue: the firmware hands over without a reply.
    p_.frames.send_frame(req_boot());
    boot_hardware_id_ = hardware_id(p_.geraet);
    p_.poll.wait_busy(kBootRequestWaitMs);
    const FT_STATUS status = boot_.switch_speed();
    if (status != FT_OK) {
        tell_failed(p_.texts.lang_text(2400) + QStringLiteral(" DLL-Error:") +
                    QString::number(status));
        return false;
    }
    QByteArray reply;
    if (boot_.handshake(reply)) return true;
    tell_failed(p_.texts.lang_text(103) + kCrLf + decode_cp1252(reply));
    return false;
}

bool FirmwareUpdate::program_blocks() {
    const int total = int(p_.image.blocks.size());
    p_.progress.show_progress();
    for (int n = 1; n <= total; ++n) {
        if (abandoned_) return false;
        p_.progress.set_text(p_.texts.lang_text(kProgress).arg(n).arg(total));
        p_.progress.set_progress(n - 1, total);
        const QByteArray reply = boot_.program_block(hex_to_bytes(p_.image.blocks[n - 1]));
        if (reply != BootLoaderLink::kAccepted) {
            tell_failed(p_.texts.lang_text(105) + QString::number(n) + QStringLiteral(":'") +
                        decode_cp1252(reply) + u'\'');
            return false;
        }
    }
    p_.progress.set_progress(total, total);
    return true;
}

void FirmwareUpdate::final_step() {
    p_.progress.close_window();
    if (!abandoned_) emit reinitialise();
}

void FirmwareUpdate::tell(const QString& text) {
    if (!abandoned_) p_.dialogs.show_message(text);
}

// Once "b" has gone out the device has left its firmware and waits in its boot
// loader whatever went wrong after: the technician learns how to go on.
void FirmwareUpdate::tell_failed(const QString& text) {
    p_.progress.close_window();
    tell(text + kCrLf + kCrLf + p_.texts.lang_text(kNextStep));
}
