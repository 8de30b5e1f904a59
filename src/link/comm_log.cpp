#include "link/comm_log.h"

#include <QLocale>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/text_file.h"

CommLog::CommLog(const Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

void CommLog::start() {
    t0_ms_ = clock_.monotonic_ms();
}

QString CommLog::format_seconds(qint64 elapsed_ms) {
    const qint64 hundredths = (qMax<qint64>(elapsed_ms, 0) + 5) / 10;
    return QStringLiteral("%1").arg(hundredths / 100, 3, 10, QLatin1Char('0')) +
           QLocale().decimalPoint() +
           QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

QString CommLog::event_time(const QDateTime& when) {
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

void CommLog::log_line(Direction direction, const QString& text) {
    static const QString kGap(12, u' ');
    const char* tag = direction == Direction::Out  ? "OUT"
                      : direction == Direction::In ? "IN "
                                                   : "ERR";
    const QString entry = QLatin1String(tag) + u' ' +
                          format_seconds(clock_.monotonic_ms() - t0_ms_) + kGap + text +
                          QLatin1String("\r\n");
    comm_log_ += entry;
    entry_sizes_.push_back(entry.size());
    if (comm_log_.size() <= kLogLimit) {
        emit log_appended(entry);
        return;
    }
    // Whole entries only: a cut inside one would leave a torn line behind.
    qsizetype dropped = 0;
    while (comm_log_.size() - dropped > kLogKeep && entry_sizes_.size() > 1) {
        dropped += entry_sizes_.front();
        entry_sizes_.pop_front();
    }
    comm_log_.remove(0, dropped);
    emit log_cut(comm_log_);
}

void CommLog::log_error(const QString& text) {
    out_ += text;
    bound_out(text);
    log_line(Direction::Err, text);
}

void CommLog::clear_out() {
    out_.clear();
    emit out_replaced(out_);
}

void CommLog::set_out(const QString& text) {
    out_ = text;
    if (out_.size() > kOutLimit) out_ = out_.right(kOutKeep);
    emit out_replaced(out_);
}

void CommLog::bound_out(const QString& appended) {
    if (out_.size() > kOutLimit) {
        out_ = out_.right(kOutKeep);
        emit out_replaced(out_);
    } else {
        emit out_appended(appended);
    }
}

bool save_text_file(const QString& name, const QString& text, Dialogs& dialogs,
                    const LanguageTable& texts) {
    if (write_text_file(name, text + QLatin1String("\r\n"), nullptr,
                        WriteMode::InPlaceIfFolderLocked))
        return true;
    dialogs.show_message(texts.lang_text(5400) + u' ' + name + u' ' + texts.lang_text(5500));
    return false;
}

QString comm_log_file_name(const QString& log_dir, const Clock& clock) {
    return log_dir + QLatin1String("protokoll") +
           clock.now().toString(QStringLiteral("yyyyMMddHHmmss")) + QLatin1String(".txt");
}

bool save_comm_log(const CommLog& log, const QString& log_dir, const Clock& clock, Dialogs& dialogs,
                   const LanguageTable& texts, QString* saved_as) {
    // The user's data folder may not exist yet; a failure shows in the save.
    make_folder_for(log_dir);
    const QString name = comm_log_file_name(log_dir, clock);
    if (saved_as) *saved_as = name;
    return save_text_file(name, log.comm_log(), dialogs, texts);
}

QString comm_log_file_text(const CommLog& log) {
    return log.comm_log() + QLatin1String("\r\n");
}
