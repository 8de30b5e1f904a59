#pragma once

#include <QObject>
#include <functional>

#include "link/dispatcher.h"

class Clock;
class Dialogs;
class QLabel;
class QPlainTextEdit;
class QPushButton;
struct Geraetedaten;
struct LanguageTable;
struct Settings;

// The "System Status" tab: reads the device's status memory block by block,
// shows it as the fixed-width table and saves that table as a text file.
//
// A read pass is a chain of single requests driven by the replies (the
// dispatcher asks for each next block). While it runs the pointer is the
// hourglass, the read button rests and the line beside the buttons counts the
// blocks; the pass ends with the table of the blocks read, also when a reply
// or the link cut it short, and the line says how it ended. The table stays
// through a lost link until the next read, and can be saved meanwhile.
class SysstatTab : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QPlainTextEdit* sysstatout;
        QPushButton* cmd_sysstatread;
        QPushButton* cmd_sysstatsave;
        QLabel* lbl_sysstatinfo;  // how the last read or click went
        Geraetedaten& geraet;
        ReplyDispatcher& dispatcher;
        Dialogs& dialogs;
        const LanguageTable& texts;
        const Clock& clock;
        const Settings& settings;
        // A file was written: its folder becomes INITDIR and is saved; false
        // when that save failed.
        std::function<bool(const QString& chosen_file)> adopt_folder;
    };
    explicit SysstatTab(Parts parts, QObject* parent = nullptr);
    ~SysstatTab() override;

    bool pass_running() const { return running_; }
    // The table as the tab shows it.
    QString table() const;

    void cmd_sysstatread_click();
    // The dispatcher stored block `blocks_read` and asked for the next one.
    void pass_progress(int blocks_read);
    // The pass has ended: the table of the blocks read is built.
    void pass_complete(ReplyDispatcher::SysstatEnd end);
    // The link was reset: whatever was asked is gone, so a running pass ends
    // with the blocks read so far.
    void link_was_reset();
    // Writes the table to a file the technician chooses; true when written.
    bool save_sysstat();

private:
    void set_running(bool running);
    // Builds the table from the blocks read and ends the pass; how many blocks.
    int show_table();
    void tell(const QString& text);
    QString choose_file();

    Parts p_;
    bool running_ = false;
    // The device as it was when the pass started: the table names it, and
    // its file is named after it, even once the link is gone.
    QString read_sn_, read_lp_, read_sw_;
    // The serial number of the table shown, for the proposed file name.
    QString table_sn_;
};
