#pragma once

#include <QObject>
#include <QString>

class Clock;
class CommLog;
class Dialogs;
class FrameLink;
class Port;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;
struct LanguageTable;

// The "Entwickler" tab: opening and closing the converter by hand, a free
// command line to the device, the link's event output and the communication
// log, shown as it grows: every request sent and every reply read. Builds its
// controls on the page it is given, also on one that already shows.
class DeveloperTab : public QObject {
    Q_OBJECT
public:
    struct Parts {
        CommLog& log;
        FrameLink& frames;
        Port& port;
        Dialogs& dialogs;
        const LanguageTable& texts;
        const Clock& clock;
        QString log_dir;  // where saved communication logs go
    };
    DeveloperTab(QWidget* page, Parts parts);

    // sendcommand: the typed text goes to the queue byte for byte, unchecked.
    // It is a developer's tool, so it is not held back while the device data is
    // still incomplete: that is exactly when one wants to poke the device.
    void send_command();
    // Saves exactly the log the tab shows and tells where it went.
    void save_protokoll();
    // "Data IN" shows the frame's hex; before the first frame it keeps its caption.
    void show_frame(const QString& hex);

protected:
    // The page coming up fills the communication box it skipped while hidden.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(QWidget* page);
    // True while the box can be seen with its window; hidden, it is not kept
    // up to date entry by entry.
    bool box_shown() const;
    void append_log(const QString& entry);
    void show_log(const QString& log);
    void append_out(const QString& text);
    void replace_out(const QString& text);
    void out_edited();
    void caret_to_end();

    Parts p_;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* cmd_sendcommand_ = nullptr;
    QLineEdit* tb_command_ = nullptr;
    QPushButton* cmd_clear_ = nullptr;
    QPushButton* cmd_saveprotokoll_ = nullptr;
    QPlainTextEdit* out_ = nullptr;
    QLabel* lbl_info_ = nullptr;
    QLabel* lbl_kommunikation_ = nullptr;
    QPlainTextEdit* tb_kommunikation_ = nullptr;  // the communication log as it stands
    bool updating_out_ = false;  // our own changes to `out` are not hand edits
    bool box_behind_ = false;    // the box missed entries while its page was hidden
};
