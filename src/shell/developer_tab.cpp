#include "shell/developer_tab.h"

#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextCursor>

#include "link/comm_log.h"
#include "link/frame.h"
#include "link/port.h"
#include "platform/control_name.h"
#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/language_table.h"

namespace {

// A button whose caption wraps onto a second line when it is too long for one,
// as the designed narrow two-line buttons expect.
class WrappingButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        // The shortcut letter is underlined as on every other button.
        int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
            flags |= Qt::TextHideMnemonic;
        painter.drawItemText(room, flags, palette(), isEnabled(), text(), QPalette::ButtonText);
    }
};

template <typename T>
T* place(T* control, const char* name, int text_id, const QRect& rect) {
    name_control(control, name, text_id);
    control->setGeometry(rect);
    return control;
}

// The log's lines end in CR LF; the box shows plain line breaks.
QString for_display(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString from_display(QString text) {
    return text.replace(u'\n', QLatin1String("\r\n"));
}

}  // namespace

DeveloperTab::DeveloperTab(QWidget* page, Parts parts) : QObject(page), p_(std::move(parts)) {
    build(page);
    // On a page that already shows, new controls would stay hidden.
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->show();

    connect(command1_, &QPushButton::clicked, this, [this] { p_.port.opendevice(false); });
    connect(command2_, &QPushButton::clicked, this, [this] { p_.port.closedevice(); });
    connect(cmd_sendcommand_, &QPushButton::clicked, this, &DeveloperTab::send_command);
    connect(tb_command_, &QLineEdit::returnPressed, this, &DeveloperTab::send_command);
    connect(cmd_clear_, &QPushButton::clicked, &p_.log, &CommLog::clear_out);
    connect(cmd_saveprotokoll_, &QPushButton::clicked, this, &DeveloperTab::save_protokoll);

    connect(&p_.log, &CommLog::out_appended, this, &DeveloperTab::append_out);
    connect(&p_.log, &CommLog::out_replaced, this, &DeveloperTab::replace_out);
    connect(out_, &QPlainTextEdit::textChanged, this, &DeveloperTab::out_edited);
    connect(&p_.frames, &FrameLink::frame_shown, this, &DeveloperTab::show_frame);
    connect(&p_.log, &CommLog::log_appended, this, &DeveloperTab::append_log);
    connect(&p_.log, &CommLog::log_cut, this, &DeveloperTab::show_log);

    replace_out(p_.log.out());
    show_log(p_.log.comm_log());
    page->installEventFilter(this);
}

bool DeveloperTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent && box_behind_) show_log(p_.log.comm_log());
    return QObject::eventFilter(watched, event);
}

bool DeveloperTab::box_shown() const {
    return tb_kommunikation_->isVisibleTo(tb_kommunikation_->window());
}

void DeveloperTab::build(QWidget* page) {
    command1_ = place(new QPushButton(QStringLiteral("opendevice"), page), "Command1", 11057,
                      page_rect(120, 660, 1755, 435));
    command2_ = place(new QPushButton(QStringLiteral("closedevice"), page), "Command2", 11058,
                      page_rect(1980, 660, 1755, 435));
    cmd_sendcommand_ = place(new QPushButton(QStringLiteral("sendcommand"), page),
                             "cmd_sendcommand", 11059, page_rect(4860, 660, 1455, 435));
    tb_command_ = place(new QLineEdit(page), "tb_command", 0, page_rect(6480, 720, 1455, 375));
    tb_command_->setAccessibleName(QStringLiteral("Command"));
    cmd_clear_ = place(new QPushButton(QString::fromUtf8("Ausgabe löschen"), page), "cmd_clear",
                       11056, page_rect(8580, 720, 1695, 375));
    // Wide enough, towards the free space on its left, for the German caption
    // on one line.
    cmd_saveprotokoll_ =
        place(new WrappingButton(QStringLiteral("Kommunikationsprotokoll speichern"), page),
              "cmd_saveprotokoll", 11001, page_rect(11295, 600, 2880, 495));

    // Left editable like any text box: a developer may annotate the output
    // before copying it; the log itself is never touched by that.
    out_ = place(new QPlainTextEdit(page), "out", 0, page_rect(120, 1200, 14115, 3195));
    out_->setLineWrapMode(QPlainTextEdit::NoWrap);
    out_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    out_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont bold = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    bold.setBold(true);
    out_->setFont(bold);
    out_->setAccessibleName(QStringLiteral("Output"));

    // Typed first, then sent: the command box comes before its button.
    QWidget::setTabOrder(command2_, tb_command_);
    QWidget::setTabOrder(tb_command_, cmd_sendcommand_);
    QWidget::setTabOrder(cmd_sendcommand_, cmd_clear_);

    lbl_info_ = place(new QLabel(QStringLiteral("Data IN"), page), "lbl_info", 11074,
                      page_rect(120, 4620, 14235, 915));
    lbl_info_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lbl_info_->setTextFormat(Qt::PlainText);
    lbl_info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl_info_->setWordWrap(true);

    // Below the rest, stretched to the page's bottom right by the tab layout.
    lbl_kommunikation_ =
        place(new QLabel(QStringLiteral("Kommunikation (gesendete Befehle und Antworten)"), page),
              "lbl_kommunikation", 6304, page_rect(120, 5580, 14115, 285));
    tb_kommunikation_ =
        place(new QPlainTextEdit(page), "tb_kommunikation", 0, page_rect(120, 5880, 14115, 4500));
    tb_kommunikation_->setReadOnly(true);
    tb_kommunikation_->setLineWrapMode(QPlainTextEdit::NoWrap);
    tb_kommunikation_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lbl_kommunikation_->setBuddy(tb_kommunikation_);
}

void DeveloperTab::send_command() {
    p_.frames.enqueue(encode_cp1252(tb_command_->text()));
}

void DeveloperTab::save_protokoll() {
    QString name;
    if (save_comm_log(p_.log, p_.log_dir, p_.clock, p_.dialogs, p_.texts, &name))
        p_.dialogs.show_message(p_.texts.lang_text(6305) + QLatin1String("\r\n") +
                                QDir::toNativeSeparators(name));
}

// One entry ends in CR LF; the box starts each entry on a line of its own and
// follows the newest one unless the developer has scrolled back.
// Every request and reply passes here: a hidden box only notes that it is behind.
void DeveloperTab::append_log(const QString& entry) {
    if (!box_shown()) {
        box_behind_ = true;
        return;
    }
    tb_kommunikation_->appendPlainText(for_display(entry.chopped(2)));
}

void DeveloperTab::show_log(const QString& log) {
    box_behind_ = !box_shown();
    if (box_behind_) return;
    tb_kommunikation_->setPlainText(
        for_display(log.chopped(log.endsWith(QLatin1String("\r\n")) ? 2 : 0)));
    tb_kommunikation_->moveCursor(QTextCursor::End);
}

void DeveloperTab::show_frame(const QString& hex) {
    if (!hex.isEmpty()) lbl_info_->setText(hex);
}

void DeveloperTab::append_out(const QString& text) {
    updating_out_ = true;
    QTextCursor cursor(out_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(for_display(text));
    updating_out_ = false;
    caret_to_end();
}

void DeveloperTab::replace_out(const QString& text) {
    const QString shown = for_display(text);
    // A hand edit comes back here unchanged: keep the document (and its undo).
    if (out_->toPlainText() != shown) {
        updating_out_ = true;
        out_->setPlainText(shown);
        updating_out_ = false;
    }
    caret_to_end();
}

void DeveloperTab::out_edited() {
    if (!updating_out_) p_.log.set_out(from_display(out_->toPlainText()));
}

// The caret at the end scrolls the box to the newest output.
void DeveloperTab::caret_to_end() {
    out_->moveCursor(QTextCursor::End);
    out_->ensureCursorVisible();
    out_->verticalScrollBar()->setValue(out_->verticalScrollBar()->maximum());
}
