#include "shell/main_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/control_name.h"
#include "shell/center_form.h"
#include "shell/tab_layout.h"
#include "shell/thumb_style.h"

namespace {

// The window was designed in 8 pt "MS Sans Serif"; where it is missing the
// narrowest look-alike keeps the captions inside their designed sizes. The
// families are asked for by their own names: a wide stand-in the font system
// would substitute for a missing one cuts captions.
QFont design_font() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Tahoma"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Helvetica")});
    font.setPointSize(8);
    return font;
}

bool in_normal_state(const QWidget* window) {
    return !(window->windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    name_control(this, "frm_main", 11000);
    setWindowTitle(QStringLiteral("quorvel 5"));
    setFont(design_font());

    tab1_ = name_control(new QTabWidget(this), "tab1", 11500);
    // Each page lies in a scroll area: on a screen smaller than the designed
    // window (1280 × 720) the window fits the screen and the page scrolls, so
    // every control stays reachable. At the designed size nothing scrolls.
    for (const char* caption : {"Gerät", "Protokoll", "System Status", "Entwickler"}) {
        auto* scroll = new QScrollArea(tab1_);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidgetResizable(true);
        auto* page = new QWidget;
        scroll->setWidget(page);
        page->installEventFilter(this);
        pages_.push_back(page);
        tab1_->addTab(scroll, QString::fromUtf8(caption));
    }
    // tab1 always covers the whole client area.
    client_ = new QWidget(this);
    auto* client_layout = new QVBoxLayout(client_);
    client_layout->setContentsMargins(0, 0, 0, 0);
    client_layout->addWidget(tab1_);
    setCentralWidget(client_);
    connect(tab1_, &QTabWidget::currentChanged, this, [this](int index) {
        emit tab_changed(index);
        layout_tab(index);
    });

    build_menu();
    build_pages();
}

QWidget* MainWindow::tab_page(int index) const {
    return index >= 0 && index < int(pages_.size()) ? pages_[size_t(index)] : nullptr;
}

void MainWindow::build_menu() {
    QMenu* datei = name_control(menuBar()->addMenu(QStringLiteral("Datei")), "men_Datei", 11075);
    QAction* update = name_control(datei->addAction(QStringLiteral("Softwareupdate")),
                                   "men_Softwareupdate", 11092);
    men_besuch_ =
        name_control(datei->addAction(QStringLiteral("Besuch abschließen")), "men_besuch", 6000);
    men_besuch_->setEnabled(false);
    QAction* archiv = name_control(datei->addAction(QStringLiteral("Archiv")), "men_archiv", 6001);
    QAction* archivordner =
        name_control(datei->addAction(QStringLiteral("Archivordner …")), "men_archivordner", 6087);
    name_control(datei->addSeparator(), "mendiv", 0);
    QAction* info = name_control(datei->addAction(QStringLiteral("Info")), "men_Info", 11076);
    QAction* beenden =
        name_control(datei->addAction(QStringLiteral("Beenden")), "men_beenden", 11077);

    QMenu* diagramm =
        name_control(menuBar()->addMenu(QStringLiteral("Diagramm")), "men_Diagramm", 11078);
    men_kompressordruck_ = name_control(diagramm->addAction(QStringLiteral("Nur Druck")),
                                        "men_Kompressordruck", 11079);

    // A top-level entry without items: it acts on a click of the bar itself.
    QAction* verbindung = name_control(
        menuBar()->addAction(QStringLiteral("Verbindung initialisieren")), "men_verbindung", 11080);

    // Pop-up menus are windows of their own and do not inherit the window's font.
    datei->setFont(font());
    diagramm->setFont(font());

    // Alt and a caption's marked letter open a menu; F10 opens the first, as
    // on other desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });

    // The menu stays live while the link waits (a lossy line waits often);
    // what is chosen then runs when the wait is over.
    const auto when_idle = [this](QAction* action, void (MainWindow::*signal)()) {
        connect(action, &QAction::triggered, this,
                [this, signal] { run_when_idle([this, signal] { emit(this->*signal)(); }); });
    };
    when_idle(update, &MainWindow::firmware_update_requested);
    when_idle(men_besuch_, &MainWindow::finish_visit_requested);
    when_idle(archiv, &MainWindow::archive_requested);
    when_idle(archivordner, &MainWindow::archive_folder_requested);
    when_idle(info, &MainWindow::info_requested);
    when_idle(men_kompressordruck_, &MainWindow::chart_toggle_requested);
    when_idle(verbindung, &MainWindow::reconnect_requested);
    connect(beenden, &QAction::triggered, this, [this] { run_when_idle([this] { close(); }); });
}

void MainWindow::run_when_idle(const std::function<void()>& command) {
    if (busy_ && busy_()) {
        QTimer::singleShot(20, this, [this, command] { run_when_idle(command); });
        return;
    }
    command();
}

void MainWindow::build_pages() {
    // The protocol form of tab 1 is built into this frame later on.
    frm_protokoll_ = name_control(new QGroupBox(QStringLiteral("Protokoll"), tab_page(1)),
                                  "frm_protokoll", 11005);
    frm_protokoll_->setGeometry(page_rect(60, 360, 14355, 9795));

    QWidget* status = tab_page(kStatusTab);
    sysstatout_ = name_control(new QPlainTextEdit(status), "sysstatout", 0);
    sysstatout_->setGeometry(page_rect(60, 420, 15075, 9135));
    sysstatout_->setReadOnly(true);
    sysstatout_->setLineWrapMode(QPlainTextEdit::NoWrap);
    sysstatout_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sysstatout_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(9);
    sysstatout_->setFont(fixed);
    sysstatout_->setAccessibleName(QStringLiteral("System Status"));
    use_dark_thumbs(sysstatout_);

    cmd_sysstatread_ =
        name_control(new QPushButton(QStringLiteral("Systemstatus-Speicher auslesen"), status),
                     "cmd_sysstatread", 11098);
    cmd_sysstatread_->setGeometry(page_rect(180, 9600, 2520, 435));
    cmd_sysstatsave_ = name_control(new QPushButton(QStringLiteral("Speichern"), status),
                                    "cmd_sysstatsave", 11099);
    cmd_sysstatsave_->setGeometry(page_rect(2760, 9600, 1800, 435));
    // Beside the buttons: how far a read has got, how it ended, why a click
    // did nothing. Laid out with the buttons.
    lbl_sysstatinfo_ = name_control(new QLabel(status), "lbl_sysstatinfo");
    lbl_sysstatinfo_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void MainWindow::size_and_center() {
    resizing_ = true;
    // Qt lays out a hidden window only when it shows, so the client area is
    // what the menu bar leaves of the window (a native menu bar takes nothing).
    const QSize outer = outer_size(this);
    const int menu_height =
        menuBar()->isNativeMenuBar() ? 0 : menuBar()->heightForWidth(twips(kClientWidthTwips));
    const QSize client(width(), height() - qMax(menu_height, 0));
    const QSize target(outer.width() + twips(kClientWidthTwips) - client.width(),
                       outer.height() + twips(kClientHeightTwips) - client.height());
    min_width_ = to_twips(target.width());
    min_height_ = kClientHeightTwips;
    apply_minimum();
    // A screen smaller than the designed window gets a window that fits it;
    // one too low for it gets the page's scroll bar beside the page, where
    // the width allows.
    const QRect area = screen_area();
    QSize fitted = target.boundedTo(area.size());
    if (fitted.height() < target.height())
        fitted.setWidth(qMin(area.width(), fitted.width() + scroll_bar_width()));
    set_outer_size(this, fitted);
    move(area.topLeft() + centred_position(area.size(), fitted, true));
}

int MainWindow::scroll_bar_width() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QRect MainWindow::screen_area() const {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
}

void MainWindow::finish_loading() {
    resizing_ = false;
    layout_tab(tab1_->currentIndex());
}

// The window manager tells us the frame's size only once the window shows, so
// the minimum follows the frame: the client never gets narrower than designed.
// On a screen smaller than that, the minimum is the screen's free area and
// the pages scroll: the window never reaches past the screen.
void MainWindow::apply_minimum() {
    if (min_height_ == 0) return;
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize area = screen_area().size();
    min_width_ = to_twips(qMin(twips(kClientWidthTwips) + frame.width(), area.width()));
    min_height_ = to_twips(qMin(twips(kClientHeightTwips), area.height()));
    setMinimumSize(twips(min_width_) - frame.width(), qMax(twips(min_height_) - frame.height(), 0));
    // A page never gets smaller than at the designed client area (known once
    // the window shows and the tab control has laid itself out).
    if (!isVisible()) return;
    const QSize around_page = tab1_->size() - tab1_->currentWidget()->size();
    const QSize page(twips(kClientWidthTwips) - around_page.width(),
                     twips(kClientHeightTwips) - around_page.height());
    if (page.isValid())
        for (QWidget* p : pages_) p->setMinimumSize(page);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (resizing_) return;
    resizing_ = true;
    apply_minimum();
    if (in_normal_state(this) && min_height_ > 0) {
        const QSize outer = outer_size(this);
        const QSize allowed(qMax(outer.width(), twips(min_width_)),
                            qMax(outer.height(), twips(min_height_)));
        if (allowed != outer) set_outer_size(this, allowed);
    }
    layout_tab(tab1_->currentIndex());
    resizing_ = false;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    apply_minimum();
    // Only now is the frame known: a window sized to a small screen must not
    // reach past it by its frame.
    const QRect area = screen_area();
    if (!area.contains(frameGeometry())) {
        const QSize fitted = outer_size(this).boundedTo(area.size());
        set_outer_size(this, fitted);
        move(area.topLeft() + centred_position(area.size(), fitted, true));
    }
}

// A page gets its final size only when Qt's own layout reaches it, which may be
// after our resize or tab change: its controls follow then.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && !resizing_ && watched == tab_page(tab1_->currentIndex()))
        layout_tab(tab1_->currentIndex());
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::layout_tab(int index) {
    if (index == kDeviceTab) fill_page(kDeviceTab, "Chart");
    if (index == kDeveloperTab) fill_page(kDeveloperTab, "tb_kommunikation");
    if (index == kStatusTab) layout_sysstat();
    if (index == kDeviceTab || index == kStatusTab) emit tab_laid_out(index);
}

// The chart, and the developer tab's communication log, fill their page with
// equal margins left, right and below.
void MainWindow::fill_page(int index, const char* name) {
    QWidget* page = tab_page(index);
    auto* box = page->findChild<QWidget*>(QLatin1String(name));
    if (box) box->setGeometry(chart_geometry(page->size(), box->geometry()));
}

void MainWindow::layout_sysstat() {
    const SysstatGeometry next = sysstat_geometry(
        tab_page(kStatusTab)->size(),
        {sysstatout_->geometry(), cmd_sysstatread_->geometry(), cmd_sysstatsave_->geometry()});
    sysstatout_->setGeometry(next.text);
    cmd_sysstatread_->setGeometry(next.read);
    cmd_sysstatsave_->setGeometry(next.save);
    // The line takes the rest of the button row, the buttons' gap before it.
    const int left = next.save.right() + 1 + (next.save.left() - next.read.right() - 1);
    const int right = next.text.right();
    lbl_sysstatinfo_->setGeometry(left, next.save.top(), qMax(right - left + 1, 0),
                                  next.save.height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (close_guard_ && !close_guard_()) {
        event->ignore();
        return;
    }
    emit close_requested();
    event->accept();
}
