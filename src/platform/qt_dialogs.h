#pragma once

#include "platform/dialogs.h"

#include <QMessageBox>
#include <QPointer>

class QWidget;

// The extension a typed file name without one gets in an open dialog: the one
// pattern "*.ext" of a filter such as "Images (*.qv5)"; empty for any other filter.
QString default_suffix(const QString& filter);

// The real dialogs: QMessageBox, QInputDialog, QFileDialog.
class QtDialogs final : public Dialogs {
public:
    // Dialogs are modal to this window (the active window while none is set).
    void set_parent(QWidget* parent) { parent_ = parent; }

    void show_message(const QString& text) override;
    void show_notice(const QString& text) override;
    void close_notice() override;
    bool ask_yes_no(const QString& text) override;
    bool ask_ok_cancel(const QString& text) override;
    SaveAnswer ask_save_discard(const QString& text) override;
    std::optional<QString> input_box(const QString& prompt, const QString& initial) override;
    QString open_file_name(const QString& dir, const QString& filter) override;
    QString save_file_name(const QString& dir, const QString& filter,
                           const QString& suggested_name) override;
    QString folder_name(const QString& caption, const QString& dir) override;
    int ask_choice(const QString& text, const QStringList& buttons) override;

private:
    QWidget* parent() const;
    QWidget* parent_ = nullptr;
    QPointer<QMessageBox> notice_;
};
