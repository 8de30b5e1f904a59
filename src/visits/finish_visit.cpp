#include "visits/finish_visit.h"

#include "device/sysstat.h"
#include "device/sysstat_tab.h"
#include "link/comm_log.h"
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
#include "visits/archive_folder.h"
#include "visits/archive_reader.h"
#include "visits/pdf_file_printer.h"
#include "visits/visit_folder.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

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
    measurements_.record(p_.geraet, p_.clock.epoch_ms());
}

bool FinishVisit::read_status_memory() {
    if (status_read_) return true;
    p_.sysstat.cmd_sysstatread_click();
    // The pass ends with the table or with a link reset.
    while (p_.sysstat.pass_running()) p_.waiter.wait_ms(20);
    return status_read_;
}

bool FinishVisit::finish_visit() {
    if (!p_.geraet.verbunden || running_) return false;
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};

    if (p_.geraet.sn.trimmed().isEmpty()) {
        p_.dialogs.show_message(p_.texts.lang_text(6004));
        return false;
    }
    const QString archive =
        ensure_archive_folder(p_.settings, p_.dialogs, p_.texts, p_.save_settings);
    if (archive.isEmpty()) return false;
    if (!read_status_memory()) {
        p_.dialogs.show_message(p_.texts.lang_text(6008) + kCrLf + p_.texts.lang_text(6005));
        return false;
    }
    QString failure;
    if (!write_visit(archive, &failure)) {
        p_.dialogs.show_message(p_.texts.lang_text(6008) + kCrLf + failure);
        return false;
    }
    p_.record.geaendert = false;
    measurements_.clear();
    if (p_.dialogs.ask_yes_no(p_.texts.lang_text(6006) + kCrLf + last_folder_ + kCrLf + kCrLf +
                              p_.texts.lang_text(6007)))
        p_.open_folder(last_folder_);
    return true;
}

bool FinishVisit::write_visit(const QString& archive, QString* failure) {
    // The form's entries; a protocol the tab never started documents the
    // connected device from now.
    p_.form.form_to_record();
    if (!p_.record.geraetedaten.verbunden) {
        p_.form.init_protocol(p_.geraet, false);
        p_.form.stamp_date_time();
        p_.form.record_to_form();
    }

    VisitFolder folder;
    QString error;
    if (!folder.begin(archive, file_name_safe(p_.geraet.sn.trimmed()), p_.clock.now(), &error)) {
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
    if (!write_text_file(folder.file_path(kVisitStatus), sysstat_file_text(p_.sysstat.table()),
                         &error))
        return text_failed(kVisitStatus);
    if (!write_text_file(folder.file_path(kVisitCommunication), comm_log_file_text(p_.log), &error))
        return text_failed(kVisitCommunication);
    if (!folder.write_bytes(kVisitMeasurements, measurements_csv(measurements_.rows()), &error))
        return text_failed(kVisitMeasurements);
    if (!folder.commit(&error)) {
        *failure = p_.texts.lang_text(6011) + kCrLf + error;
        return false;
    }
    last_folder_ = folder.final_path();
    return true;
}
