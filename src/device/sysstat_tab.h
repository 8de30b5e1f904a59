#pragma once

#include <QObject>
#include <functional>

class Clock;
class Dialogs;
class FrameLink;
class QPlainTextEdit;
class QPushButton;
struct Geraetedaten;
struct LanguageTable;
struct Settings;

// The "System Status" tab: reads the device's status memory block by block,
// shows it as the fixed-width table and saves that table as a text file.
//
// A read pass is a chain of single requests driven by the replies (the
// dispatcher queues each next block). While it runs the pointer is the
// hourglass and the read button rests; the pass ends with the table, or with a
// link reset, after which the next click starts a fresh pass.
class SysstatTab : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QPlainTextEdit* sysstatout;
        QPushButton* cmd_sysstatread;
        QPushButton* cmd_sysstatsave;
        Geraetedaten& geraet;
        FrameLink& frames;
        Dialogs& dialogs;
        const LanguageTable& texts;
        const Clock& clock;
        const Settings& settings;
        // A file was chosen: its folder becomes INITDIR and is saved; false
        // when that save failed.
        std::function<bool(const QString& chosen_file)> adopt_folder;
    };
    explicit SysstatTab(Parts parts, QObject* parent = nullptr);
    ~SysstatTab() override;

    bool pass_running() const { return running_; }
    // The table as the tab shows it.
    QString table() const;

    void cmd_sysstatread_click();
    // The dispatcher stored a block and asked for the next one.
    void pass_progress();
    // The dispatcher found the end of the memory: the table is built.
    void pass_complete();
    // The link was reset: whatever was asked is gone, so the pass is over.
    void link_was_reset();
    // Writes the table to a file the technician chooses; true when written.
    bool save_sysstat();

private:
    void set_running(bool running);
    QString choose_file();

    Parts p_;
    bool running_ = false;
};
