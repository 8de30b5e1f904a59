#include "visits/archive_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/painter_target.h"
#include "visits/history_chart.h"

namespace {

// The page on screen: A4 as wide as its pane, and never so small that its
// text no longer reads well (the pane is kept at least that wide).
constexpr double kPageWidthMm = 210;
constexpr double kPageHeightMm = 297;
constexpr double kMinPixelsPerMm = 2.6;
// The layout's margin left and right of the usable width, as on paper.
constexpr int kPageMarginMm = 15;

QString check_text(const QString& stk, const LanguageTable& texts) {
    return texts.lang_text(stk == QLatin1String("1") ? 6034 : 6035);
}

}  // namespace

ArchiveWindow::ArchiveWindow(Parts parts, QWidget* parent) : QDialog(parent), p_(std::move(parts)) {
    setObjectName(QStringLiteral("frm_archiv"));
    build();
}

void ArchiveWindow::build() {
    setWindowTitle(p_.texts.lang_text(6020));
    device_list_ = new QListWidget(this);
    device_list_->setObjectName(QStringLiteral("lst_geraete"));
    visit_list_ = new QTreeWidget(this);
    visit_list_->setObjectName(QStringLiteral("lst_besuche"));
    visit_list_->setRootIsDecorated(false);
    visit_list_->setHeaderLabels({p_.texts.lang_text(6022), p_.texts.lang_text(6023),
                                  p_.texts.lang_text(6024), p_.texts.lang_text(6025),
                                  p_.texts.lang_text(6026)});
    visit_list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    chart_ = new HistoryChart(this);
    hours_axis_ = new QCheckBox(p_.texts.lang_text(6031), this);
    hours_axis_->setObjectName(QStringLiteral("ck_betriebsstunden"));
    auto* legend = new QLabel(QStringLiteral("<span style='color:blue'>&#9679; %1</span> &nbsp; "
                                             "<span style='color:darkgreen'>&#9679; %2</span>")
                                  .arg(p_.texts.lang_text(6032).toHtmlEscaped(),
                                       p_.texts.lang_text(6033).toHtmlEscaped()),
                              this);
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

    auto* devices_caption = new QLabel(p_.texts.lang_text(6021), this);
    devices_caption->setBuddy(device_list_);
    auto* left = new QWidget(this);
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(0, 0, 0, 0);
    left_layout->addWidget(devices_caption);
    left_layout->addWidget(device_list_, 1);
    left_layout->addWidget(visit_list_, 3);
    auto* chart_row = new QHBoxLayout;
    chart_row->addWidget(legend, 1);
    chart_row->addWidget(hours_axis_);
    left_layout->addLayout(chart_row);
    left_layout->addWidget(chart_, 2);

    auto* right = new QWidget(this);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
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
    layout->addWidget(split);
    resize(1280, 760);
    split->setSizes({540, 740});

    connect(device_list_, &QListWidget::currentRowChanged, this, &ArchiveWindow::device_chosen);
    connect(visit_list_, &QTreeWidget::currentItemChanged, this, [this] { visit_chosen(); });
    connect(hours_axis_, &QCheckBox::toggled, chart_, &HistoryChart::set_hours_axis);
    connect(print_, &QPushButton::clicked, this, [this] { print_visit(); });
    connect(open_folder_, &QPushButton::clicked, this, [this] {
        if (const ArchivedVisit* visit = chosen_visit()) p_.open_folder(visit->path);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void ArchiveWindow::show_archive(const QString& folder) {
    devices_ = list_archive(folder);
    device_list_->clear();
    for (const ArchivedDevice& device : devices_) device_list_->addItem(device.name);
    if (!devices_.isEmpty())
        device_list_->setCurrentRow(0);
    else
        device_chosen(-1);
}

void ArchiveWindow::device_chosen(int row) {
    visit_list_->clear();
    QVector<HistoryPoint> history;
    if (row >= 0 && row < devices_.size()) {
        for (const ArchivedVisit& visit : devices_[row].visits) {
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
            if (!visit.readable) {
                item->setText(1, p_.texts.lang_text(6027));
                item->setForeground(1, Qt::red);
                continue;
            }
            item->setText(1, visit.pruefer);
            item->setText(2, check_text(visit.stk, p_.texts));
            item->setText(3, visit.bstd);
            item->setText(4, visit.sw);
            history.append(HistoryPoint{visit.when, operating_hours(visit.bstd), visit.o2,
                                        read_last_mean_o2(visit.path)});
        }
    }
    chart_->set_points(history);
    if (visit_list_->topLevelItemCount() > 0)
        visit_list_->setCurrentItem(visit_list_->topLevelItem(0));
    else
        visit_chosen();
}

const ArchivedVisit* ArchiveWindow::chosen_visit() const {
    const int device = device_list_->currentRow();
    const int visit = visit_list_->currentIndex().row();
    if (device < 0 || device >= devices_.size() || visit < 0 ||
        visit >= devices_[device].visits.size())
        return nullptr;
    return &devices_[device].visits[visit];
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
            (visit->record ? visit->record->protocol_mean_o2 : read_last_mean_o2(visit->path))
                .value_or(std::numeric_limits<double>::quiet_NaN());
    print_->setEnabled(protocol_loaded_);
    open_folder_->setEnabled(visit != nullptr);
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
    if (!protocol_loaded_) return false;
    return print_protocol({p_.engine, p_.printer_choice, p_.dialogs, p_.texts, p_.caption},
                          protocol_, nullptr);
}
