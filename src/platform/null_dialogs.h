#pragma once

#include "platform/dialogs.h"

// Dialogs for headless tools (benchmarks, fuzzing): say nothing, decline all.
class NullDialogs final : public Dialogs {
public:
    void show_message(const QString&) override { ++messages; }
    bool ask_yes_no(const QString&) override { return false; }
    bool ask_ok_cancel(const QString&) override { return false; }
    SaveAnswer ask_save_discard(const QString&) override { return SaveAnswer::cancel; }
    std::optional<QString> input_box(const QString&, const QString&) override { return {}; }
    QString open_file_name(const QString&, const QString&) override { return {}; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    QString folder_name(const QString&, const QString&) override { return {}; }

    int messages = 0;
};
