#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "platform/paths.h"

namespace {

// A remembered folder that is gone (a stick pulled, a new user without a
// documents folder) would send the file dialog to the working folder; the
// nearest one that is still there is where the technician expects it.
QString start_folder(const QString& dir) {
    if (dir.isEmpty() || QFileInfo(dir).isDir()) return dir;
    const QString there = nearest_existing_folder(dir);
    return there.isEmpty() ? QString() : with_trailing_slash(there);
}

}  // namespace

QString default_suffix(const QString& filter) {
    static const QRegularExpression one_pattern(QStringLiteral("^[^(]*\\(\\*\\.(\\w+)\\)$"));
    const QRegularExpressionMatch match = one_pattern.match(filter.trimmed());
    return match.hasMatch() ? match.captured(1) : QString();
}

// Every message also goes to the error output when asked for
// (QT_LOGGING_RULES="quorvel5.messages.info=true"): a run without a screen,
// or a support call, can then tell what the technician was shown.
Q_LOGGING_CATEGORY(lc_messages, "quorvel5.messages", QtWarningMsg)

QWidget* QtDialogs::parent() const {
    return parent_ ? parent_ : QApplication::activeWindow();
}

void QtDialogs::show_message(const QString& text) {
    qCInfo(lc_messages).noquote() << text;
    QMessageBox box(QMessageBox::NoIcon, kMessageTitle, text, QMessageBox::Ok, parent());
    box.exec();
}

void QtDialogs::show_notice(const QString& text) {
    qCInfo(lc_messages).noquote() << text;
    if (!notice_) {
        notice_ =
            new QMessageBox(QMessageBox::NoIcon, kMessageTitle, text, QMessageBox::Ok, parent());
        notice_->setAttribute(Qt::WA_DeleteOnClose);
        notice_->setWindowModality(Qt::NonModal);
    }
    notice_->setText(text);
    notice_->show();
    notice_->raise();
}

void QtDialogs::close_notice() {
    if (notice_) notice_->close();
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

SaveAnswer QtDialogs::ask_save_discard(const QString& text) {
    QMessageBox box(QMessageBox::Question, kMessageTitle, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveAnswer::save;
        case QMessageBox::Discard:
            return SaveAnswer::discard;
        default:
            return SaveAnswer::cancel;
    }
}

std::optional<QString> QtDialogs::input_box(const QString& prompt, const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent(), kMessageTitle, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::open_file_name(const QString& dir, const QString& filter) {
    QFileDialog dialog(parent(), QString(), start_folder(dir), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(default_suffix(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::save_file_name(const QString& dir, const QString& filter,
                                  const QString& suggested_name) {
    const QString folder = start_folder(dir);
    const QString start = suggested_name.isEmpty() ? folder : folder + suggested_name;
    return QFileDialog::getSaveFileName(parent(), QString(), start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::folder_name(const QString& caption, const QString& dir) {
    // Qt's folder dialog returns only folders that exist: a proposed new one
    // is made for it to show, and taken away again when it is not chosen.
    const bool made = !dir.isEmpty() && !QFileInfo::exists(dir) && QDir().mkpath(dir);
    const QString chosen =
        QFileDialog::getExistingDirectory(parent(), caption, dir, QFileDialog::ShowDirsOnly);
    if (made && QDir::cleanPath(chosen) != QDir::cleanPath(dir)) QDir().rmdir(dir);
    return chosen;
}

int QtDialogs::ask_choice(const QString& text, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Warning, kMessageTitle, text, QMessageBox::NoButton, parent());
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons) {
        const bool last = added.size() + 1 == buttons.size();
        added << box.addButton(caption, last ? QMessageBox::RejectRole : QMessageBox::ActionRole);
    }
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
        box.setEscapeButton(added.last());
    }
    box.exec();
    return int(added.indexOf(box.clickedButton()));
}
