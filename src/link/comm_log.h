#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <deque>

class Clock;
class Dialogs;
struct LanguageTable;

// The link's two records: the communication log (every frame sent, every chunk
// read, every link event, time-stamped) and the event output `out` that the
// developer tab shows (link events only).
class CommLog : public QObject {
    Q_OBJECT
public:
    enum class Direction { Out, In, Err };

    // Past its limit the log drops its oldest entries, whole, down to the
    // newest `kLogKeep` characters: what is kept is one stretch without holes,
    // and at the poll rhythm it reaches back several minutes. `out` keeps its
    // newest 25000 once it passes 50000.
    static constexpr int kLogLimit = 300000;
    static constexpr int kLogKeep = 200000;
    static constexpr int kOutLimit = 50000;
    static constexpr int kOutKeep = 25000;

    explicit CommLog(const Clock& clock, QObject* parent = nullptr);

    // Time stamps count from here (program start).
    void start();

    void log_line(Direction direction, const QString& text);
    // Appends the text to `out` as it stands (the caller supplies line ends) and
    // logs it as an ERR line.
    void log_error(const QString& text);
    // `cmd_clear`: empties `out`; the communication log stays.
    void clear_out();
    // The text box was edited by hand: take its text and bound it.
    void set_out(const QString& text);

    const QString& comm_log() const { return comm_log_; }
    const QString& out() const { return out_; }

    // "000.00": seconds since start, at least three integer digits, the
    // locale's decimal separator.
    static QString format_seconds(qint64 elapsed_ms);
    // Date and time that lead a time-out or length report: "dd.MM.yyyy
    // HH:mm:ss", so that reports a second apart are told apart.
    static QString event_time(const QDateTime& when);

signals:
    // One entry was added to the log: direction, time, text and CR LF.
    void log_appended(const QString& entry);
    // The log dropped its oldest entries: show it whole.
    void log_cut(const QString& log);
    // The text was appended to `out` without cutting anything.
    void out_appended(const QString& text);
    // `out` was cleared or cut: show it whole.
    void out_replaced(const QString& text);

private:
    void bound_out(const QString& appended);

    const Clock& clock_;
    qint64 t0_ms_ = 0;
    QString comm_log_;
    std::deque<qsizetype> entry_sizes_;  // of the entries in the log, oldest first
    QString out_;
};

// Creates or replaces the file with the text and one CR LF. On failure the
// user is told which file could not be written and the old file stays intact.
bool save_text_file(const QString& name, const QString& text, Dialogs& dialogs,
                    const LanguageTable& texts);

// Where `cmd_saveprotokoll` saves the log: log_dir + "protokoll" + yyyymmddhhnnss + ".txt".
QString comm_log_file_name(const QString& log_dir, const Clock& clock);
// The file save_comm_log writes: the log and one CR LF.
QString comm_log_file_text(const CommLog& log);
// Saves the log there; `saved_as` learns the file's name.
bool save_comm_log(const CommLog& log, const QString& log_dir, const Clock& clock, Dialogs& dialogs,
                   const LanguageTable& texts, QString* saved_as = nullptr);
