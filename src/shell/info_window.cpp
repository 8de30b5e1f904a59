#include "shell/info_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include "platform/geometry.h"
#include "platform/language_table.h"
#include "shell/apply_language.h"
#include "shell/center_form.h"

namespace {
// The label's design place, and the shorter one that leaves room for the bar.
constexpr int kLabelTop = 120, kLabelLeft = 120, kLabelWidth = 5640;
constexpr int kLabelHeight = 1080, kLabelHeightWithBar = 600;
}  // namespace

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
    lbl_text_->setGeometry(twips_rect(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight));
    lbl_text_->setTextFormat(Qt::PlainText);
    lbl_text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl_text_->setWordWrap(true);

    cm_cancel_ = new QPushButton(QStringLiteral("OK"), this);
    cm_cancel_->setObjectName(QStringLiteral("cm_cancel"));
    cm_cancel_->setProperty("textId", 12000);
    cm_cancel_->setGeometry(twips_rect(2400, 1260, 1200, 375));
    cm_cancel_->setDefault(true);
    connect(cm_cancel_, &QPushButton::clicked, this, &QWidget::close);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_progress"));
    bar_->setGeometry(twips_rect(360, 780, 5160, 330));
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
    center_form(this, twips(kWidthTwips), twips(kHeightTwips));
    centre_pending_ = true;
}

// Back to the design state, as a window that is loaded afresh next time.
void InfoWindow::unload() {
    loaded_ = false;
    lbl_text_->clear();
    lbl_text_->setGeometry(twips_rect(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight));
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
    load();
    cm_cancel_->setEnabled(false);
    setEnabled(false);
    lbl_text_->clear();
    lbl_text_->setGeometry(twips_rect(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeightWithBar));
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
    show();
    if (centre_pending_) {
        // Once shown the frame's size is known: centre the whole window again.
        centre_pending_ = false;
        center_form(this, twips(kWidthTwips), twips(kHeightTwips));
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
    if (isVisible()) close();
    if (main_window_) main_window_->setEnabled(true);
}

void InfoWindow::closeEvent(QCloseEvent* event) {
    closed_ = true;
    if (main_window_) main_window_->setEnabled(true);
    unload();
    event->accept();
    emit closed();
}
