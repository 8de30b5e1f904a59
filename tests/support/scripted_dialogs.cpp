#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace {

// The next scripted answer; a dialog nobody scripted fails the test.
template <typename T>
T take(std::deque<T>& queue, const char* what) {
    T value{};
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected " << what;
    } else {
        value = queue.front();
        queue.pop_front();
    }
    return value;
}

}  // namespace

void ScriptedDialogs::show_message(const QString& text) {
    messages.append(text);
    if (on_message) on_message(text);
}

void ScriptedDialogs::show_notice(const QString& text) {
    messages.append(text);
    notice_open = true;
}

bool ScriptedDialogs::ask_yes_no(const QString& text) {
    questions.append(text);
    if (on_question) on_question(text);
    return take(answers, "yes/no question");
}

bool ScriptedDialogs::ask_ok_cancel(const QString& text) {
    questions.append(text);
    if (on_question) on_question(text);
    return take(answers, "ok/cancel question");
}

SaveAnswer ScriptedDialogs::ask_save_discard(const QString& text) {
    questions.append(text);
    if (on_question) on_question(text);
    if (save_answers.empty()) {
        ADD_FAILURE() << "unexpected save/discard/cancel question";
        return SaveAnswer::cancel;
    }
    const SaveAnswer answer = save_answers.front();
    save_answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::input_box(const QString& prompt, const QString& initial) {
    questions.append(prompt);
    input_initials.append(initial);
    return take(inputs, "input box");
}

QString ScriptedDialogs::open_file_name(const QString& dir, const QString&) {
    dialog_dirs.append(dir);
    if (on_file_dialog) on_file_dialog();
    return take(files, "open dialog");
}

QString ScriptedDialogs::save_file_name(const QString& dir, const QString&,
                                        const QString& suggested_name) {
    dialog_dirs.append(dir);
    suggested_names.append(suggested_name);
    if (on_file_dialog) on_file_dialog();
    return take(files, "save dialog");
}

QString ScriptedDialogs::folder_name(const QString&, const QString& dir) {
    dialog_dirs.append(dir);
    if (on_file_dialog) on_file_dialog();
    return take(files, "folder dialog");
}

int ScriptedDialogs::ask_choice(const QString& text, const QStringList& buttons) {
    questions.append(text + QLatin1String(" [") + buttons.join(u'|') + u']');
    if (on_question) on_question(text);
    if (choices.empty()) {
        ADD_FAILURE() << "unexpected choice";
        return -1;
    }
    const int choice = choices.front();
    choices.pop_front();
    return choice;
}
