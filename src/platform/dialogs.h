#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The answers to "save the changes first?": Escape and the close box mean Cancel.
enum class SaveAnswer { save, discard, cancel };

// Everything the program asks or tells the user through a modal dialog. Every
// box carries the title "Quorvel 5". Tests script the answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // OK-only message box, no icon.
    virtual void show_message(const QString& text) = 0;
    // A message that does not wait for its OK: the program goes on (the link
    // keeps looking for the device) and close_notice() takes it away once
    // what it said no longer holds. One at a time; a new one replaces it.
    virtual void show_notice(const QString& text) { show_message(text); }
    virtual void close_notice() {}
    virtual bool ask_yes_no(const QString& text) = 0;
    virtual bool ask_ok_cancel(const QString& text) = 0;
    // Save / Discard / Cancel, Save the default; Cancel goes back with nothing lost.
    virtual SaveAnswer ask_save_discard(const QString& text) = 0;
    // One-line input box; nullopt when cancelled.
    virtual std::optional<QString> input_box(const QString& prompt, const QString& initial) = 0;
    // File dialogs opening in `dir`; an empty result means cancelled. The save
    // dialog never asks about overwriting: callers ask themselves.
    virtual QString open_file_name(const QString& dir, const QString& filter) = 0;
    virtual QString save_file_name(const QString& dir, const QString& filter,
                                   const QString& suggested_name) = 0;
    // The folder dialog titled `caption`, opened at `dir`; "" means cancelled.
    // A `dir` that does not exist yet is proposed as a new folder.
    virtual QString folder_name(const QString& caption, const QString& dir) = 0;
    // A question with the given buttons, the first the default and the last
    // the one Escape presses (a cancel); the index of the one pressed. Dialogs
    // that cannot ask answer -1.
    virtual int ask_choice(const QString& text, const QStringList& buttons) {
        (void)text;
        (void)buttons;
        return -1;
    }
};

inline const char* const kMessageTitle = "Quorvel 5";
