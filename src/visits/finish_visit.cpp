#include "visits/finish_visit.h"

#include "device/sysstat.h"
#include "device/sysstat_tab.h"
#include "link/comm_log.h"
#include "link/requests.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/text_file.h"
#include "platform/waiter.h"
#include "protocol/printer_choice.h"
#include "protocol/protocol_file.h"
#include "protocol/protocol_form.h"
#include "protocol/protocol_record.h"
#include "visits/archive_folder.h"
#include "visits/archive_reader.h"
#include "visits/pdf_file_printer.h"
#include "visits/visit_folder.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

constexpr int kAnotherDevice = 6040;  // protocol of %1, device %2 connected
constexpr int kOpenedFile = 6041;     // an opened file of %1 is a viewing copy
constexpr int kUnsavedForAnother = 6042;
constexpr int kNothingToRecord = 6043;
constexpr int kFinishedBefore = 6044;  // unchanged since %1 %2
constexpr int kUnreachable = 6045;     // %1 does not answer: finish anyway?
constexpr int kStatusCut = 6046;       // ended at block %1, %2 blocks read
constexpr int kReadingBlock = 6047;    // block %1 of up to %2
constexpr int kWritingFiles = 6048;
constexpr int kMarkIncomplete = 6050;
constexpr int kMarkUnreachable = 6051;
constexpr int kNewProtocolFor = 6049;  // start a new protocol for %1?

// The print path tells its failure in a message; the visit gathers it into
// its own one message instead.
class KeptMessages final : public Dialogs {
public:
    explicit KeptMessages(Dialogs& user) : user_(user) {}
    void show_message(const QString& text) override { last = text; }
    bool ask_yes_no(const QString&) override { return false; }
    // Text that does not fit its box on the page is the technician's call, as
    // when printing by hand: OK prints what fits, Cancel ends the visit.
    bool ask_ok_cancel(const QString& text) override { return user_.ask_ok_cancel(text); }
    SaveAnswer ask_save_discard(const QString&) override { return SaveAnswer::cancel; }
    std::optional<QString> input_box(const QString&, const QString&) override {
        return std::nullopt;
    }
    QString open_file_name(const QString&, const QString&) override { return {}; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    QString folder_name(const QString&, const QString&) override { return {}; }
    QString last;

private:
    Dialogs& user_;
};

}  // namespace

FinishVisit::FinishVisit(Parts parts, QObject* parent) : QObject(parent), p_(std::move(parts)) {}

void FinishVisit::status_received() {
    const QString sn = p_.geraet.sn.trimmed();
    if (!sn.isEmpty()) {
        if (!measurements_.is_same_device(sn)) {
            // Another device: nothing of the last one's visit is its.
            status_ = {};
            serial_changes_.clear();
            last_finish_ = {};
            identified_ = false;
        }
        device_ = p_.geraet;
        if (!identified_) {
            identified_ = true;
            // Outside the tick that brought the reply: the protocol may ask.
            QMetaObject::invokeMethod(
                this, [this] { protocol_for_device(); }, Qt::QueuedConnection);
        }
    }
    measurements_.record(p_.geraet, p_.clock.epoch_ms());
}

void FinishVisit::status_progress(int blocks_read) {
    pass_running_ = true;
    if (running_)
        emit progress(p_.texts.lang_text(kReadingBlock).arg(blocks_read + 1).arg(kSysstatBlocks),
                      blocks_read, kSysstatBlocks);
}

void FinishVisit::status_memory_read(ReplyDispatcher::SysstatEnd end) {
    pass_running_ = false;
    status_fresh_ = true;
    status_.known = true;
    status_.blocks = std::max(0, int(p_.geraet.sysstat.size()) - 1);
    status_.cut_at = end == ReplyDispatcher::SysstatEnd::CutShort ? status_.blocks + 1 : 0;
    status_.end = status_.cut_at        ? StatusReadEnd::cut_short
                  : status_.blocks == 0 ? StatusReadEnd::empty
                                        : StatusReadEnd::complete;
}

void FinishVisit::link_was_reset() {
    status_fresh_ = false;
    identified_ = false;
    // A pass the link cut ends with the blocks read before it went; that is
    // the table now, also when the pass had not yet counted a block.
    const int blocks = std::max(0, int(p_.geraet.sysstat.size()) - 1);
    if (!pass_running_ && !(status_.known && status_.blocks != blocks)) return;
    pass_running_ = false;
    status_ = {true, StatusReadEnd::cut_short, blocks, blocks + 1};
}

void FinishVisit::serial_written(const QString& from, const QString& to) {
    if (from.trimmed() == to.trimmed()) return;
    measurements_.serial_written(to);
    serial_changes_.append({p_.clock.now(), from.trimmed(), to.trimmed()});
}

// The connected device was identified: the protocol on the tab must be its
// own. One started for another device gives way to a new one, its unsaved
// entries asked about first; an opened file stays a viewing copy.
void FinishVisit::protocol_for_device() {
    if (!p_.geraet.verbunden || p_.form.viewing() || running_) return;
    const QString sn = p_.geraet.sn.trimmed();
    const QString own = p_.form.started_for();
    if (!own.isEmpty() && measurements_.is_same_device(own)) {
        // The same device back after a lost link: its entries stay.
        if (!p_.record.geraetedaten.verbunden) p_.form.take_device_again();
        return;
    }
    p_.form.start_new_protocol(p_.texts.lang_text(kUnsavedForAnother).arg(own, sn));
}

void FinishVisit::read_status_memory() {
    // A read cut short is read again: the device may answer now.
    if (status_fresh_ && status_.end != StatusReadEnd::cut_short) return;
    emit progress(p_.texts.lang_text(kReadingBlock).arg(1).arg(kSysstatBlocks), 0, kSysstatBlocks);
    pass_running_ = p_.geraet.verbunden;
    p_.sysstat.cmd_sysstatread_click();
    // The pass ends with the table or with a link reset.
    while (p_.sysstat.pass_running()) p_.waiter.wait_ms(20);
}

// A record cut short is the technician's call, made knowing where it ended.
bool FinishVisit::accept_status_read() {
    if (status_.end != StatusReadEnd::cut_short) return true;
    return p_.dialogs.ask_yes_no(
        p_.texts.lang_text(kStatusCut).arg(status_.cut_at).arg(status_.blocks));
}

// Only the protocol of this visit's device is archived as its protocol.
bool FinishVisit::protocol_belongs(const QString& serial) {
    if (p_.form.viewing()) {
        const QString text = p_.texts.lang_text(kOpenedFile).arg(p_.form.started_for());
        if (!p_.geraet.verbunden)
            p_.dialogs.show_message(text);
        else if (p_.dialogs.ask_yes_no(text + kCrLf +
                                       p_.texts.lang_text(kNewProtocolFor).arg(serial)))
            p_.form.start_new_protocol();
        return false;
    }
    p_.form.form_to_record();
    const QString own = p_.form.started_for();
    if (!own.isEmpty() && !measurements_.is_same_device(own)) {
        p_.dialogs.show_message(p_.texts.lang_text(kAnotherDevice).arg(own, serial));
        return false;
    }
    // A protocol the tab never started (or whose copy a lost link emptied)
    // documents the visit's device from now.
    if (!p_.record.geraetedaten.verbunden) {
        p_.form.init_protocol(p_.geraet.verbunden ? p_.geraet : device_, false);
        p_.form.stamp_date_time();
        p_.form.record_to_form();
    }
    return true;
}

bool FinishVisit::worth_recording() {
    const bool empty = p_.record.felder[kPruefer].trimmed().isEmpty() ||
                       p_.record.felder[kStk].trimmed() != QLatin1String("1");
    return !empty || p_.dialogs.ask_yes_no(p_.texts.lang_text(kNothingToRecord));
}

bool FinishVisit::not_twice(const QString& serial) {
    if (last_finish_.serial != serial || last_finish_.protocol != protocol_file_text(p_.record))
        return true;
    return p_.dialogs.ask_yes_no(p_.texts.lang_text(kFinishedBefore)
                                     .arg(last_finish_.when.toString(QStringLiteral("dd.MM.yyyy")),
                                          last_finish_.when.toString(QStringLiteral("HH:mm:ss"))));
}

bool FinishVisit::finish_visit() {
    if (running_ || (!p_.geraet.verbunden && !has_device())) return false;
    running_ = true;
    struct Done {
        FinishVisit& visit;
        ~Done() {
            visit.running_ = false;
            emit visit.progress_ended();
        }
    } done{*this};

    const bool connected = p_.geraet.verbunden;
    const QString serial = (connected ? p_.geraet.sn : device_.sn).trimmed();
    if (serial.isEmpty()) {
        p_.dialogs.show_message(p_.texts.lang_text(6004));
        return false;
    }
    if (!protocol_belongs(serial) || !worth_recording() || !not_twice(serial)) return false;
    if (!connected && !p_.dialogs.ask_yes_no(p_.texts.lang_text(kUnreachable).arg(serial)))
        return false;
    const QString archive =
        ensure_archive_folder(p_.settings, p_.dialogs, p_.texts, p_.save_settings);
    if (archive.isEmpty()) return false;
    if (connected) read_status_memory();
    emit progress_ended();
    if (connected && !accept_status_read()) return false;
    // The device went while its memory was read: the same question as for
    // one that was gone before.
    if (connected && !p_.geraet.verbunden && status_.end != StatusReadEnd::cut_short &&
        !p_.dialogs.ask_yes_no(p_.texts.lang_text(kUnreachable).arg(serial)))
        return false;

    VisitRecord visit = visit_record(serial);
    const QString protocol = protocol_file_text(p_.record);
    emit progress(p_.texts.lang_text(kWritingFiles), 0, 0);
    QString failure;
    const bool written = write_visit(archive, visit, &failure);
    emit progress_ended();
    if (!written) {
        p_.dialogs.show_message(p_.texts.lang_text(6008) + kCrLf + failure);
        return false;
    }
    p_.record.geaendert = false;
    measurements_.clear();
    serial_changes_.clear();
    last_finish_ = {serial, protocol, visit.finished};
    if (p_.dialogs.ask_yes_no(message_after(visit))) p_.open_folder(last_folder_);
    return true;
}

VisitRecord FinishVisit::visit_record(const QString& serial) const {
    VisitRecord visit;
    visit.program_version = p_.program_version;
    visit.finished = p_.clock.now();
    visit.serial = serial;
    // The value the page shows: the protocol's copy, taken when it was started.
    visit.protocol_mean_o2 = p_.record.geraetedaten.mwo2;
    visit.status_read = status_.known ? status_.end : StatusReadEnd::not_read;
    visit.status_blocks = status_.known ? status_.blocks : 0;
    visit.status_cut_at = status_.cut_at;
    visit.device_reachable = p_.geraet.verbunden;
    visit.incomplete = !visit.device_reachable || visit.status_read == StatusReadEnd::cut_short ||
                       visit.status_read == StatusReadEnd::not_read;
    visit.serial_changes = serial_changes_;
    return visit;
}

QString FinishVisit::message_after(const VisitRecord& visit) const {
    QString text = p_.texts.lang_text(6006) + kCrLf + last_folder_;
    if (!visit.device_reachable)
        text += kCrLf + p_.texts.lang_text(kMarkUnreachable);
    else if (visit.incomplete)
        text += kCrLf + p_.texts.lang_text(kMarkIncomplete);
    return text + kCrLf + kCrLf + p_.texts.lang_text(6007);
}

bool FinishVisit::write_visit(const QString& archive, VisitRecord& visit, QString* failure) {
    VisitFolder folder;
    QString error;
    if (!folder.begin(archive, file_name_safe(visit.serial), visit.finished, &error)) {
        *failure = p_.texts.lang_text(6009) + kCrLf + error;
        return false;
    }
    const auto text_failed = [&](const char* name) {
        *failure = p_.texts.lang_text(6010) + u' ' + QLatin1String(name) + kCrLf + error;
        return false;
    };
    if (!write_text_file(folder.file_path(kVisitProtocol), protocol_file_text(p_.record), &error))
        return text_failed(kVisitProtocol);

    PdfFilePrinter pdf(folder.file_path(kVisitPdf));
    PrinterChoice choice(pdf);
    KeptMessages messages(p_.dialogs);
    if (!print_protocol({p_.engine, choice, messages, p_.texts, p_.caption}, p_.record, nullptr)) {
        error = messages.last;
        return text_failed(kVisitPdf);
    }
    // No table was read of a device that went before its memory was asked
    // for: the folder has none, and its own file says so.
    QStringList files = {kVisitProtocol, kVisitPdf, kVisitCommunication, kVisitMeasurements};
    if (visit.status_read != StatusReadEnd::not_read) {
        files.append(kVisitStatus);
        if (!write_text_file(folder.file_path(kVisitStatus), sysstat_file_text(p_.sysstat.table()),
                             &error))
            return text_failed(kVisitStatus);
    }
    if (!write_text_file(folder.file_path(kVisitCommunication), comm_log_file_text(p_.log), &error))
        return text_failed(kVisitCommunication);
    if (!folder.write_bytes(kVisitMeasurements, measurements_csv(measurements_.rows()), &error))
        return text_failed(kVisitMeasurements);
    for (const QString& name : files) {
        const QByteArray sum = file_sha256(folder.file_path(name));
        if (sum.isEmpty()) {
            error = folder.file_path(name);
            return text_failed(kVisitRecordFile);
        }
        visit.sha256.insert(name, sum);
    }
    if (!folder.write_bytes(kVisitRecordFile, visit_record_json(visit), &error))
        return text_failed(kVisitRecordFile);
    if (!folder.commit(&error)) {
        *failure = p_.texts.lang_text(6011) + kCrLf + error;
        return false;
    }
    last_folder_ = folder.final_path();
    return true;
}
