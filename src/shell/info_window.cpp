#include "shell/info_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include "platform/control_name.h"
#include "platform/geometry.h"
#include "platform/language_table.h"
#include "shell/apply_language.h"
#include "shell/center_form.h"
#include "version.h"

ProgramVersion program_version() {
    return {QV5_VERSION_MAJOR, QV5_VERSION_MINOR, QV5_VERSION_PATCH};
}

QString info_text(const LanguageTable& texts, const ProgramVersion& version) {
    const QString crlf = QStringLiteral("\r\n");
    return texts.lang_text(1000) + crlf + texts.lang_text(1001) + u' ' +
           QString::number(version.major) + u'.' + QString::number(version.minor) + u'.' +
           QString::number(version.revision) + crlf + texts.lang_text(1100);
}

InfoWindow::InfoWindow(QWidget* main_window, const LanguageTable& texts)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_window_(main_window),
      texts_(texts) {
    setObjectName(QStringLiteral("frm_wait"));
    setWindowTitle(QStringLiteral("Quorvel 5"));
    if (main_window_) setFont(main_window_->font());
    // Never what keeps the program alive once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    lbl_text_ = new QLabel(this);
    lbl_text_->setObjectName(QStringLiteral("lbl_text"));
    lbl_text_->setGeometry(twips_rect(kMarginTwips, kMarginTwips, 5640, kTextHeightTwips));
    lbl_text_->setTextFormat(Qt::PlainText);
    lbl_text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl_text_->setWordWrap(true);

    cm_cancel_ = new QPushButton(QStringLiteral("OK"), this);
    cm_cancel_->setObjectName(QStringLiteral("cm_cancel"));
    cm_cancel_->setProperty(kTextIdProperty, 12000);
    cm_cancel_->setGeometry(twips_rect(2400, kMarginTwips + kTextHeightTwips + kGapTwips,
                                       kButtonWidthTwips, kButtonHeightTwips));
    cm_cancel_->setDefault(true);
    connect(cm_cancel_, &QPushButton::clicked, this, &QWidget::close);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_progress"));
    bar_->setTextVisible(true);
    bar_->setAccessibleName(QStringLiteral("Software Update"));
    bar_->hide();

    // During an update the window is disabled, yet the technician must be able
    // to read how far it has got: text and bar keep their normal colours.
    for (QWidget* shown : {static_cast<QWidget*>(lbl_text_), static_cast<QWidget*>(bar_)}) {
        QPalette palette = shown->palette();
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto r = QPalette::ColorRole(role);
            palette.setColor(QPalette::Disabled, r, palette.color(QPalette::Active, r));
        }
        shown->setPalette(palette);
    }
}

void InfoWindow::load() {
    if (loaded_) return;
    loaded_ = true;
    apply_language(this, texts_);
    centre_pending_ = true;
}

// The designed outer width, or wider where a line of the text needs it, so no
// line breaks; the height ends a margin below OK. The text area keeps its designed
// height at least, so a progress text may grow without the window changing.
QSize InfoWindow::fit_to_text(int frame_width) {
    const QFontMetrics metrics(lbl_text_->font());
    const QStringList lines = lbl_text_->text().split(u'\n');
    int widest = 0;
    for (const QString& line : lines) widest = qMax(widest, metrics.horizontalAdvance(line));
    const int margin = twips(kMarginTwips);
    // A few pixels of slack: a label wraps a line that fills it exactly.
    const int designed = twips(kWidthTwips) - frame_width;
    const int width = qMin(qMax(designed, widest + 2 * margin + 4), 3 * designed);
    const int text_height =
        qMax(twips(kTextHeightTwips), int(lines.size()) * metrics.lineSpacing());
    lbl_text_->setGeometry(margin, margin, width - 2 * margin, text_height);
    if (!bar_->isHidden()) {
        // The progress bar takes the lower part of the text area.
        const int bar_height = twips(kBarHeightTwips);
        const int bottom = margin + text_height - 2 * twips(kGapTwips);
        const QRect bar(3 * margin, bottom - bar_height, width - 6 * margin, bar_height);
        bar_->setGeometry(bar);
        lbl_text_->setGeometry(margin, margin, width - 2 * margin, bar.top() - 2 * margin);
    }
    const QSize button(twips(kButtonWidthTwips), twips(kButtonHeightTwips));
    cm_cancel_->setGeometry(QRect(
        QPoint((width - button.width()) / 2, margin + text_height + twips(kGapTwips)), button));
    return QSize(width, cm_cancel_->geometry().bottom() + 1 + margin);
}

void InfoWindow::centre() {
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client = fit_to_text(frame.width());
    center_form(this, client.width() + frame.width(), client.height() + frame.height());
}

// Back to the design state, as a window that is loaded afresh next time.
void InfoWindow::unload() {
    loaded_ = false;
    lbl_text_->clear();
    bar_->hide();
    bar_->reset();
    cm_cancel_->setEnabled(true);
    setEnabled(true);
}

void InfoWindow::docommand(const QString& command, const QString& /*unused*/) {
    load();
    if (command == QLatin1String("info")) set_text(info_text(texts_, program_version()));
    show_over_main();
}

void InfoWindow::show_progress() {
    progress_ = true;
    load();
    cm_cancel_->setEnabled(false);
    setEnabled(false);
    lbl_text_->clear();
    bar_->setRange(0, 1);
    bar_->setValue(0);
    bar_->show();
    show_over_main();
}

void InfoWindow::set_progress(int done, int total) {
    bar_->setRange(0, qMax(total, 1));
    bar_->setValue(qBound(0, done, qMax(total, 1)));
}

void InfoWindow::show_over_main() {
    closed_ = false;
    if (main_window_ && main_window_->windowHandle()) {
        // Keeps it above the main window where the window system honours that.
        winId();
        windowHandle()->setTransientParent(main_window_->windowHandle());
    }
    if (centre_pending_) centre();
    show();
    if (centre_pending_) {
        // Once shown the frame's size is known: centre the whole window again.
        centre_pending_ = false;
        centre();
    }
    raise();
    activateWindow();
    if (main_window_) main_window_->setEnabled(false);
}

// A label breaks lines at LF; a CR would only get in the way.
void InfoWindow::set_text(const QString& text) {
    lbl_text_->setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

QString InfoWindow::text() const {
    return lbl_text_->text();
}

void InfoWindow::close_window() {
    progress_ = false;
    if (isVisible()) close();
    if (main_window_) main_window_->setEnabled(true);
}

void InfoWindow::closeEvent(QCloseEvent* event) {
    // The close box (or Alt+F4) must not hide a running update and hand the
    // main window back while the device is being programmed.
    if (progress_) {
        event->ignore();
        return;
    }
    closed_ = true;
    if (main_window_) main_window_->setEnabled(true);
    unload();
    event->accept();
    emit closed();
}
