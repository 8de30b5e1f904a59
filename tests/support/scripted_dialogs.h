#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "platform/dialogs.h"

// Dialogs that answer from a script and record what the program said.
class ScriptedDialogs final : public Dialogs {
public:
    void show_message(const QString& text) override;
    // Recorded among the messages; it does not wait, so on_message does not run.
    void show_notice(const QString& text) override;
    void close_notice() override { notice_open = false; }
    bool ask_yes_no(const QString& text) override;
    bool ask_ok_cancel(const QString& text) override;
    SaveAnswer ask_save_discard(const QString& text) override;
    std::optional<QString> input_box(const QString& prompt, const QString& initial) override;
    QString open_file_name(const QString& dir, const QString& filter) override;
    QString save_file_name(const QString& dir, const QString& filter,
                           const QString& suggested_name) override;
    QString folder_name(const QString& caption, const QString& dir) override;
    int ask_choice(const QString& text, const QStringList& buttons) override;

    QStringList messages;         // every message box text, in order
    QStringList questions;        // every question and input prompt, in order
    QStringList dialog_dirs;      // the folder each file dialog opened in
    QStringList suggested_names;  // the name each save dialog proposed
    QStringList input_initials;   // what each input box came up holding

    bool notice_open = false;                   // a notice shows and nothing closed it yet
    std::deque<bool> answers;                   // yes/no and ok/cancel
    std::deque<SaveAnswer> save_answers;        // save / discard / cancel
    std::deque<std::optional<QString>> inputs;  // input box results
    std::deque<int> choices;                    // the button pressed in ask_choice
    std::deque<QString> files;                  // file and folder dialog results ("" = cancel)
    // Runs inside every message box, as the user would act while it shows.
    std::function<void(const QString&)> on_message;
    // Runs inside every file dialog, as the link may act while it is open.
    std::function<void()> on_file_dialog;
    // Runs inside every question (not the input box).
    std::function<void(const QString&)> on_question;
};
