#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QWidget* QtDialogs::parent() const {
    return parent_ ? parent_ : QApplication::activeWindow();
}

void QtDialogs::show_message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kMessageTitle, text, QMessageBox::Ok, parent());
    box.exec();
}

bool QtDialogs::ask_yes_no(const QString& text) {
    QMessageBox box(QMessageBox::Question, kMessageTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent());
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::ask_ok_cancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, kMessageTitle, text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent());
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtDialogs::input_box(const QString& prompt, const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent(), kMessageTitle, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::open_file_name(const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(parent(), QString(), dir, filter);
}

QString QtDialogs::save_file_name(const QString& dir, const QString& filter,
                                  const QString& suggested_name) {
    const QString start = suggested_name.isEmpty() ? dir : dir + suggested_name;
    return QFileDialog::getSaveFileName(parent(), QString(), start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
