#include "device/sysstat_tab.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "device/sysstat.h"
#include "link/device_data.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "platform/text_file.h"

namespace {

constexpr int kSerialEmpty = 3806;
constexpr int kFileFilter = 3807;
constexpr int kOverwrite = 3808;
constexpr int kSaveFailed = 3809;
// The line beside the buttons.
constexpr int kReading = 6200;       // block %1 of up to %2
constexpr int kBlocksRead = 6201;    // %1 blocks
constexpr int kMemoryEmpty = 6202;
constexpr int kReplyUnread = 6203;   // cut short at block %1 by its reply
constexpr int kLinkLost = 6204;      // cut short at block %1 by the link
constexpr int kNoDevice = 6205;
constexpr int kNothingToSave = 6206;

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

SysstatTab::SysstatTab(Parts parts, QObject* parent) : QObject(parent), p_(std::move(parts)) {
    p_.lbl_sysstatinfo->setWordWrap(true);
    connect(p_.cmd_sysstatread, &QPushButton::clicked, this, &SysstatTab::cmd_sysstatread_click);
    connect(p_.cmd_sysstatsave, &QPushButton::clicked, this, [this] { save_sysstat(); });
}

SysstatTab::~SysstatTab() {
    set_running(false);
}

void SysstatTab::set_running(bool running) {
    if (running == running_) return;
    running_ = running;
    // The hourglass over the whole program, held only by the pass itself: the
    // waits and the start-up of the link set and clear the window's own
    // pointer, which must not end the pass's hourglass early.
    if (running)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    // One chain at a time: a second click would start a second chain that
    // doubles every request.
    p_.cmd_sysstatread->setEnabled(!running);
}

void SysstatTab::tell(const QString& text) {
    p_.lbl_sysstatinfo->setText(text);
}

void SysstatTab::cmd_sysstatread_click() {
    if (running_) return;
    if (!p_.geraet.verbunden) return tell(p_.texts.lang_text(kNoDevice));
    read_sn_ = p_.geraet.sn;
    read_lp_ = p_.geraet.lp;
    read_sw_ = p_.geraet.sw;
    set_running(true);
    p_.dispatcher.start_sysstat();
    pass_progress(0);
}

void SysstatTab::pass_progress(int blocks_read) {
    set_running(true);
    tell(p_.texts.lang_text(kReading).arg(blocks_read + 1).arg(kSysstatBlocks));
}

void SysstatTab::pass_complete(ReplyDispatcher::SysstatEnd end) {
    const int blocks = show_table();
    if (end == ReplyDispatcher::SysstatEnd::CutShort)
        tell(p_.texts.lang_text(kReplyUnread).arg(blocks + 1));
    else if (blocks == 0)
        tell(p_.texts.lang_text(kMemoryEmpty));
    else
        tell(p_.texts.lang_text(kBlocksRead).arg(blocks));
}

void SysstatTab::link_was_reset() {
    p_.dispatcher.stop_sysstat();
    if (!running_) return;
    tell(p_.texts.lang_text(kLinkLost).arg(show_table() + 1));
}

int SysstatTab::show_table() {
    set_running(false);
    // The identity of the device read, which a lost link has emptied by now.
    Geraetedaten read = p_.geraet;
    read.sn = read_sn_;
    read.lp = read_lp_;
    read.sw = read_sw_;
    QString table = build_sysstat_text(read, p_.texts, p_.clock.now());
    p_.sysstatout->setPlainText(table.replace(kCrLf, QStringLiteral("\n")));
    table_sn_ = read_sn_;
    return int(read.sysstat.size()) - 1;
}

QString SysstatTab::choose_file() {
    const QString filter = p_.texts.lang_text(kFileFilter) + QLatin1String(" (*.txt)");
    const QString proposal =
        sysstat_file_name(table_sn_.trimmed(), p_.clock.now()) + QLatin1String(".txt");
    for (;;) {
        QString file = p_.dialogs.save_file_name(p_.settings.INITDIR, filter, proposal);
        if (file.isEmpty()) return {};
        // The default extension for a name typed without one.
        if (QFileInfo(file).suffix().isEmpty()) file += QLatin1String(".txt");
        if (!QFileInfo::exists(file) || p_.dialogs.ask_yes_no(p_.texts.lang_text(kOverwrite)))
            return file;
    }
}

QString SysstatTab::table() const {
    return p_.sysstatout->toPlainText();
}

// The table is saved whether or not the device is still there: it names the
// device it came from.
bool SysstatTab::save_sysstat() {
    const QString table = this->table();
    if (table.isEmpty()) {
        tell(p_.texts.lang_text(kNothingToSave));
        return false;
    }
    if (table_sn_.trimmed().isEmpty()) {
        p_.dialogs.show_message(p_.texts.lang_text(kSerialEmpty));
        return false;
    }
    const QString file = choose_file();
    if (file.isEmpty()) return false;

    QString error;
    if (write_text_file(file, sysstat_file_text(table), &error)) {
        // Only a folder that took the file is remembered.
        p_.adopt_folder(file);
        return true;
    }
    p_.dialogs.show_message(p_.texts.lang_text(kSaveFailed) + kCrLf + error);
    return false;
}
