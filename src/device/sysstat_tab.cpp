#include "device/sysstat_tab.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include "device/sysstat.h"
#include "link/device_data.h"
#include "link/frame.h"
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

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

SysstatTab::SysstatTab(Parts parts, QObject* parent) : QObject(parent), p_(std::move(parts)) {
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

void SysstatTab::cmd_sysstatread_click() {
    if (!p_.geraet.verbunden || running_) return;
    set_running(true);
    p_.geraet.sysstat.resize(1);
    p_.geraet.sysstat[0] = Sysstatblock();
    p_.frames.enqueue(req_sysstat(1));
}

void SysstatTab::pass_progress() {
    set_running(true);
}

void SysstatTab::pass_complete() {
    set_running(false);
    QString table = build_sysstat_text(p_.geraet, p_.texts, p_.clock.now());
    p_.sysstatout->setPlainText(table.replace(kCrLf, QStringLiteral("\n")));
}

void SysstatTab::link_was_reset() {
    set_running(false);
}

QString SysstatTab::choose_file() {
    const QString filter = p_.texts.lang_text(kFileFilter) + QLatin1String(" (*.txt)");
    const QString proposal =
        sysstat_file_name(p_.geraet.sn.trimmed(), p_.clock.now()) + QLatin1String(".txt");
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

bool SysstatTab::save_sysstat() {
    const QString table = this->table();
    if (table.isEmpty() || !p_.geraet.verbunden) return false;
    if (p_.geraet.sn.trimmed().isEmpty()) {
        p_.dialogs.show_message(p_.texts.lang_text(kSerialEmpty));
        return false;
    }
    const QString file = choose_file();
    if (file.isEmpty() || !p_.adopt_folder(file)) return false;

    QString error;
    if (write_text_file(file, sysstat_file_text(table), &error)) return true;
    p_.dialogs.show_message(p_.texts.lang_text(kSaveFailed) + kCrLf + error);
    return false;
}
