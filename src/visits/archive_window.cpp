#include "visits/archive_window.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/painter_target.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "visits/archive_export.h"
#include "visits/archive_scan.h"
#include "visits/device_book_view.h"
#include "visits/due_list_print.h"
#include "visits/history_chart.h"

namespace {

// The page on screen: A4 as wide as its pane, and never so small that its
// text no longer reads well (the pane is kept at least that wide).
constexpr double kPageWidthMm = 210;
constexpr double kPageHeightMm = 297;
constexpr double kMinPixelsPerMm = 2.6;
// The layout's margin left and right of the usable width, as on paper.
constexpr int kPageMarginMm = 15;

// The archive is read again this long after the watch saw a change (a
// visit arrives as several steps), and every so often anyway: a network
// share tells nobody what another machine wrote.
constexpr int kSettleMs = 700;
constexpr int kPollMs = 30000;

// The sums' verdict with a sign, so it does not rest on colour alone.
QString check_mark(VisitCheck check, const LanguageTable& texts) {
    const QString sign = is_marked(check)              ? QStringLiteral("\u26A0 ")
                         : check == VisitCheck::intact ? QStringLiteral("\u2713 ")
                                                       : QString();
    return sign + visit_check_text(check, texts);
}

QString check_summary(const ArchivedVisit& visit, const LanguageTable& texts) {
    const QString details = visit_check_details(visit, texts);
    return check_mark(visit.check, texts) +
           (details.isEmpty() ? QString() : QLatin1String(": ") + details);
}

}  // namespace

ArchiveWindow::ArchiveWindow(Parts parts, QWidget* parent) : QDialog(parent), p_(std::move(parts)) {
    setObjectName(QStringLiteral("frm_archiv"));
    build();
}

ArchiveWindow::~ArchiveWindow() = default;

QWidget* ArchiveWindow::build_visits_pane() {
    visit_list_ = new QTreeWidget(this);
    visit_list_->setObjectName(QStringLiteral("lst_besuche"));
    visit_list_->setRootIsDecorated(false);
    visit_list_->setHeaderLabels({p_.texts.lang_text(6022), p_.texts.lang_text(6023),
                                  p_.texts.lang_text(6024), p_.texts.lang_text(6025),
                                  p_.texts.lang_text(6026), p_.texts.lang_text(6098)});
    visit_list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    chart_ = new HistoryChart(this);
    hours_axis_ = new QCheckBox(p_.texts.lang_text(6031), this);
    hours_axis_->setObjectName(QStringLiteral("ck_betriebsstunden"));
    auto* legend = new QLabel(QStringLiteral("<span style='color:blue'>&#9679; %1</span> &nbsp; "
                                             "<span style='color:darkgreen'>&#9679; %2</span>")
                                  .arg(p_.texts.lang_text(6032).toHtmlEscaped(),
                                       p_.texts.lang_text(6033).toHtmlEscaped()),
                              this);
    auto* pane = new QWidget(this);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(visit_list_, 3);
    auto* chart_row = new QHBoxLayout;
    chart_row->addWidget(legend, 1);
    chart_row->addWidget(hours_axis_);
    layout->addLayout(chart_row);
    layout->addWidget(chart_, 2);
    return pane;
}

void ArchiveWindow::build() {
    setWindowTitle(p_.texts.lang_text(6020));
    folder_label_ = new QLabel(this);
    folder_label_->setObjectName(QStringLiteral("lbl_archivordner"));
    folder_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    foreign_label_ = new QLabel(this);
    foreign_label_->setObjectName(QStringLiteral("lbl_fremd"));
    foreign_label_->setWordWrap(true);
    foreign_label_->hide();
    book_ = new DeviceBookView(p_.texts, p_.settings, p_.save_settings, this);
    check_label_ = new QLabel(this);
    check_label_->setObjectName(QStringLiteral("lbl_pruefung"));
    check_label_->setWordWrap(true);
    page_view_ = new QLabel(this);
    page_view_->setObjectName(QStringLiteral("p_seite"));
    page_view_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    page_scroll_ = new QScrollArea(this);
    page_scroll_->setWidget(page_view_);
    page_scroll_->setWidgetResizable(true);
    // Always there, so the page's width does not change as it comes and goes.
    page_scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page_scroll_->setMinimumWidth(int(kPageWidthMm * kMinPixelsPerMm) +
                                  page_scroll_->verticalScrollBar()->sizeHint().width() +
                                  2 * page_scroll_->frameWidth());
    page_scroll_->viewport()->installEventFilter(this);
    print_ = new QPushButton(p_.texts.lang_text(6028), this);
    print_->setObjectName(QStringLiteral("cmd_print"));
    open_folder_ = new QPushButton(p_.texts.lang_text(6029), this);
    open_folder_->setObjectName(QStringLiteral("cmd_ordner"));
    auto* close = new QPushButton(p_.texts.lang_text(6030), this);

    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(book_);
    left->addWidget(build_visits_pane());
    left->setSizes({400, 400});

    auto* right = new QWidget(this);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    right_layout->addWidget(check_label_);
    right_layout->addWidget(page_scroll_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print_);
    buttons->addWidget(open_folder_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    right_layout->addLayout(buttons);

    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folder_label_);
    layout->addWidget(foreign_label_);
    layout->addWidget(split, 1);
    // As large as is comfortable, but never beyond a small screen (1280 x 720).
    const QSize wanted(1440, 860);
    resize(screen() ? wanted.boundedTo(screen()->availableGeometry().size()) : wanted);
    split->setSizes({820, 620});

    scan_ = new ArchiveScan(this);
    connect(scan_, &ArchiveScan::scanned, this, &ArchiveWindow::apply);
    // Other programs finish visits into the folder while the window is open:
    // a change seen by the watch is read once things settle; shares that
    // report nothing are read again now and then.
    watcher_ = new QFileSystemWatcher(this);
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, &ArchiveWindow::refresh);
    connect(poll_, &QTimer::timeout, this, &ArchiveWindow::refresh);

    connect(book_, &DeviceBookView::device_chosen, this, &ArchiveWindow::device_chosen);
    connect(book_, &DeviceBookView::print_requested, this, [this] { print_due_list(); });
    connect(book_, &DeviceBookView::export_requested, this, [this] { export_csv(); });
    connect(visit_list_, &QTreeWidget::currentItemChanged, this, [this] { visit_chosen(); });
    connect(chart_, &HistoryChart::point_clicked, this, [this](int visit) {
        if (QTreeWidgetItem* item = visit_list_->topLevelItem(visit))
            visit_list_->setCurrentItem(item);
    });
    connect(hours_axis_, &QCheckBox::toggled, chart_, &HistoryChart::set_hours_axis);
    connect(print_, &QPushButton::clicked, this, [this] { print_visit(); });
    connect(open_folder_, &QPushButton::clicked, this, [this] {
        if (const ArchivedVisit* visit = chosen_visit()) p_.open_folder(visit->path);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void ArchiveWindow::show_archive(const QString& folder) {
    folder_ = folder;
    folder_label_->setText(p_.texts.lang_text(6084).arg(QDir::toNativeSeparators(folder)));
    scan_->scan_now(folder);
    poll_->start();
}

void ArchiveWindow::refresh() {
    // A closed window reads nothing; opening it again lists the folder afresh.
    if (!folder_.isEmpty() && isVisible()) scan_->start(folder_);
}

void ArchiveWindow::apply(const QString& folder, const ArchiveListing& listing) {
    if (folder != folder_) return;
    devices_ = listing.devices;
    foreign_ = listing.foreign;
    foreign_label_->setVisible(!foreign_.isEmpty());
    foreign_label_->setText(p_.texts.lang_text(6097).arg(foreign_.join(QLatin1String(", "))));
    book_->set_devices(devices_, p_.clock.now().date());
    watch();
}

void ArchiveWindow::watch() {
    const QStringList watched = watcher_->directories();
    if (!watched.isEmpty()) watcher_->removePaths(watched);
    QStringList folders{folder_};
    for (const ArchivedDevice& device : devices_) folders << folder_ + u'/' + device.name;
    watcher_->addPaths(folders);
}

void ArchiveWindow::device_chosen(const QString& serial) {
    // The visit shown stays shown when the list is read again.
    const ArchivedVisit* before = chosen_visit();
    const QString kept = before ? before->path : QString();
    device_ = -1;
    for (int i = 0; i < devices_.size(); ++i)
        if (devices_[i].name == serial) device_ = i;
    const QSignalBlocker quiet(visit_list_);
    visit_list_->clear();
    QVector<HistoryPoint> history;
    int current = 0;
    if (device_ >= 0) {
        const QVector<ArchivedVisit>& visits = devices_[device_].visits;
        for (int i = 0; i < visits.size(); ++i) {
            const ArchivedVisit& visit = visits[i];
            if (visit.path == kept) current = i;
            const QString when = visit.when.isValid()
                                     ? QLocale().toString(visit.when, QLocale::ShortFormat)
                                     : QFileInfo(visit.path).fileName();
            auto* item = new QTreeWidgetItem(visit_list_);
            item->setText(0, when);
            // A visit finished without all its evidence says so on its row.
            if (visit.record && visit.record->incomplete) {
                item->setText(
                    0, when + QLatin1String(" (") +
                           p_.texts.lang_text(visit.record->device_reachable ? 6050 : 6051) + u')');
                item->setForeground(0, Qt::red);
            }
            item->setText(5, check_mark(visit.check, p_.texts));
            if (is_marked(visit.check)) item->setForeground(5, Qt::red);
            if (!visit.readable) {
                item->setText(1, p_.texts.lang_text(6027));
                item->setForeground(1, Qt::red);
                continue;
            }
            item->setText(1, visit.pruefer);
            item->setText(2, stk_text(visit.stk, p_.texts));
            item->setText(3, visit.bstd);
            item->setText(4, visit.sw);
            history.append(HistoryPoint{visit.when, operating_hours(visit.bstd), visit.o2,
                                        page_mean_o2(visit), i});
        }
    }
    chart_->set_points(history);
    if (visit_list_->topLevelItemCount() > 0)
        visit_list_->setCurrentItem(visit_list_->topLevelItem(current));
    visit_chosen();
}

const ArchivedVisit* ArchiveWindow::chosen_visit() const {
    const int visit = visit_list_->currentIndex().row();
    if (device_ < 0 || device_ >= devices_.size() || visit < 0 ||
        visit >= devices_[device_].visits.size())
        return nullptr;
    return &devices_[device_].visits[visit];
}

void ArchiveWindow::visit_chosen() {
    const ArchivedVisit* visit = chosen_visit();
    protocol_ = Pruefprotokoll();
    protocol_loaded_ = visit && visit->readable && load_visit_protocol(visit->path, protocol_);
    // The protocol file has no line for the mean O2: the visit's own file
    // keeps the value its protocol.pdf shows. Visits from before it take the
    // last one their measurements kept, when the visit was finished.
    if (protocol_loaded_)
        protocol_.geraetedaten.mwo2 =
            page_mean_o2(*visit).value_or(std::numeric_limits<double>::quiet_NaN());
    print_->setEnabled(protocol_loaded_);
    open_folder_->setEnabled(visit != nullptr);
    chart_->set_selected(visit_list_->currentIndex().row());
    check_label_->setText(visit ? check_summary(*visit, p_.texts) : QString());
    const bool marked = visit && is_marked(visit->check);
    check_label_->setStyleSheet(marked ? QStringLiteral("color: #b00000; font-weight: bold")
                                       : QString());
    draw_page();
}

void ArchiveWindow::draw_page() {
    if (!protocol_loaded_) {
        page_ = QImage();
        page_view_->setPixmap(QPixmap());
        page_view_->setText(chosen_visit() ? p_.texts.lang_text(6027) : QString());
        return;
    }
    drawn_width_ = page_width();
    const double ratio = devicePixelRatioF();
    const double pixels_per_mm = drawn_width_ * ratio / kPageWidthMm;
    page_ = QImage(qRound(drawn_width_ * ratio), qRound(kPageHeightMm * pixels_per_mm),
                   QImage::Format_RGB32);
    page_.setDevicePixelRatio(ratio);
    // Type in points at the page's own scale, so the page is the paper made
    // smaller, not text made bigger than its columns.
    page_.setDotsPerMeterX(int(pixels_per_mm * 1000 + 0.5));
    page_.setDotsPerMeterY(int(pixels_per_mm * 1000 + 0.5));
    page_.fill(Qt::white);
    QPainter painter(&page_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Where a PDF page puts the printable area, so the screen shows the paper;
    // the engine's margin is restored for the form's device data block.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    painter.scale(1 / ratio, 1 / ratio);  // the layout works in the image's own pixels
    painter.translate(area.left() * pixels_per_mm, area.top() * pixels_per_mm);
    PainterTarget target(painter, pixels_per_mm);
    QStringList transcript;
    target.transcript = &transcript;
    target.line_width_scale = pixels_per_mm / (printer.resolution() / 25.4);
    const int saved_margin = p_.engine.print_margin;
    p_.engine.print_margin = kPageMarginMm;
    lay_out_protocol(p_.engine, target, area.width(), protocol_, p_.caption, p_.texts);
    p_.engine.print_margin = saved_margin;
    painter.end();
    page_view_->setText(QString());
    page_view_->setPixmap(QPixmap::fromImage(page_));
    page_view_->setAccessibleDescription(transcript.join(u' '));
}

bool ArchiveWindow::eventFilter(QObject* watched, QEvent* event) {
    // A wider or narrower pane draws the page afresh at its new width (drawn,
    // not stretched, so the text stays sharp).
    if (watched == page_scroll_->viewport() && event->type() == QEvent::Resize &&
        protocol_loaded_ && page_width() != drawn_width_)
        draw_page();
    return QDialog::eventFilter(watched, event);
}

int ArchiveWindow::page_width() const {
    return std::max(int(kPageWidthMm * kMinPixelsPerMm), page_scroll_->viewport()->width());
}

bool ArchiveWindow::print_visit() {
    const ArchivedVisit* visit = chosen_visit();
    if (!protocol_loaded_ || !visit) return false;
    // A PDF of the visit is offered under the visit's own name, not the last
    // one printed (and never into the archive, which reading leaves as it is).
    const QString proposal = with_trailing_slash(p_.settings.INITDIR) + devices_[device_].name +
                             u'_' + QFileInfo(visit->path).fileName() + QLatin1String(".pdf");
    return print_protocol({p_.engine, p_.printer_choice, p_.dialogs, p_.texts, p_.caption},
                          protocol_, nullptr, proposal);
}

bool ArchiveWindow::print_due_list() {
    const QDate today = p_.clock.now().date();
    const QString proposal = with_trailing_slash(p_.settings.INITDIR) + p_.texts.lang_text(6513) +
                             u'_' + today.toString(QStringLiteral("yyyyMMdd")) +
                             QLatin1String(".pdf");
    return ::print_due_list({p_.printer_choice, p_.dialogs, p_.texts}, book_->shown_rows(),
                            book_->interval(), today, proposal);
}

bool ArchiveWindow::export_csv() {
    const QString stamp = p_.clock.now().date().toString(QStringLiteral("yyyyMMdd"));
    QString path = p_.dialogs.save_file_name(
        with_trailing_slash(p_.settings.INITDIR), p_.texts.lang_text(6514),
        p_.texts.lang_text(6509) + u'_' + stamp + QLatin1String(".csv"));
    if (path.isEmpty()) return false;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) path += QLatin1String(".csv");
    const QFileInfo chosen(path);
    const QString visits_path = chosen.path() + u'/' + chosen.completeBaseName() + u'_' +
                                p_.texts.lang_text(6510) + QLatin1String(".csv");
    const CsvStyle style = csv_style(QLocale());
    for (const auto& [file, bytes] :
         {std::pair{path, devices_csv(book_->rows(), style, p_.texts)},
          std::pair{visits_path, visits_csv(devices_, style, p_.texts)}}) {
        QSaveFile out(file);
        if (!(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit())) {
            p_.dialogs.show_message(p_.texts.lang_text(6089) + QLatin1String("\r\n") +
                                    QDir::toNativeSeparators(file) + QLatin1String(" (") +
                                    out.errorString() + u')');
            return false;
        }
    }
    p_.dialogs.show_message(p_.texts.lang_text(6088) + QLatin1String("\r\n") +
                            QDir::toNativeSeparators(path) + QLatin1String("\r\n") +
                            QDir::toNativeSeparators(visits_path));
    return true;
}
