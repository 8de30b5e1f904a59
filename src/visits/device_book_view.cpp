#include "visits/device_book_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/language_table.h"
#include "platform/settings.h"
#include "visits/device_book_model.h"

namespace {

// Overdue rows red, rows due soon amber; the state column says it in words
// and a symbol as well.
class DueColours final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::BackgroundRole && role != Qt::ForegroundRole)
            return QSortFilterProxyModel::data(index, role);
        const auto state =
            DueState(QSortFilterProxyModel::data(index, DeviceBookModel::StateRole).toInt());
        if (state == DueState::in_time) return {};
        if (role == Qt::ForegroundRole) return QColor(Qt::black);
        return state == DueState::overdue ? QColor(255, 196, 196) : QColor(255, 224, 150);
    }
};

}  // namespace

DeviceBookView::DeviceBookView(const LanguageTable& texts, Settings& settings,
                               std::function<bool()> save_settings, QWidget* parent)
    : QWidget(parent),
      texts_(texts),
      settings_(settings),
      save_settings_(std::move(save_settings)) {
    model_ = new DeviceBookModel(texts_, this);
    proxy_ = new DueColours(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(DeviceBookModel::SortRole);
    proxy_->setFilterKeyColumn(DeviceBookModel::serial);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("t_suche"));
    search_->setClearButtonEnabled(true);
    auto* search_caption = new QLabel(texts_.lang_text(6082), this);
    search_caption->setBuddy(search_);
    interval_ = new QSpinBox(this);
    interval_->setObjectName(QStringLiteral("t_stkintervall"));
    interval_->setRange(1, Settings::kMaxStkInterval);
    interval_->setValue(std::clamp(settings_.STKINTERVAL, 1, Settings::kMaxStkInterval));
    auto* interval_caption = new QLabel(texts_.lang_text(6083), this);
    interval_caption->setBuddy(interval_);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("lst_geraete"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->sortByColumn(DeviceBookModel::next_due, Qt::AscendingOrder);
    // The state beside the serial number, where a narrow pane still shows it.
    table_->horizontalHeader()->moveSection(DeviceBookModel::state, 1);
    auto* caption = new QLabel(texts_.lang_text(6021), this);
    caption->setBuddy(table_);

    auto* print = new QPushButton(texts_.lang_text(6085), this);
    print->setObjectName(QStringLiteral("cmd_faelligkeitsliste"));
    auto* exporter = new QPushButton(texts_.lang_text(6086), this);
    exporter->setObjectName(QStringLiteral("cmd_export"));

    auto* top = new QHBoxLayout;
    top->addWidget(search_caption);
    top->addWidget(search_, 1);
    top->addWidget(interval_caption);
    top->addWidget(interval_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(exporter);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(caption);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    connect(search_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    connect(interval_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int months) {
        if (months == settings_.STKINTERVAL) return;
        settings_.STKINTERVAL = months;
        save_settings_();
        rebuild();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { emit device_chosen(current_serial()); });
    connect(print, &QPushButton::clicked, this, &DeviceBookView::print_requested);
    connect(exporter, &QPushButton::clicked, this, &DeviceBookView::export_requested);
}

void DeviceBookView::set_devices(const QVector<ArchivedDevice>& devices, const QDate& today) {
    devices_ = devices;
    today_ = today;
    rebuild();
}

void DeviceBookView::rebuild() {
    const QString chosen = current_serial();
    {
        const QSignalBlocker quiet(table_->selectionModel());
        model_->set_rows(device_book(devices_, settings_.STKINTERVAL, today_));
    }
    // After the reset no row is current: choosing one tells the window.
    if (!chosen.isEmpty()) choose(chosen);
    if (!table_->currentIndex().isValid()) {
        if (proxy_->rowCount() > 0)
            table_->setCurrentIndex(proxy_->index(0, 0));
        else
            emit device_chosen(QString());
    }
}

QString DeviceBookView::current_serial() const {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) return {};
    return proxy_->index(current.row(), DeviceBookModel::serial).data().toString();
}

void DeviceBookView::choose(const QString& serial) {
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        const QModelIndex index = proxy_->index(row, 0);
        if (index.data().toString() == serial) {
            table_->setCurrentIndex(index);
            return;
        }
    }
}

QVector<DeviceRow> DeviceBookView::shown_rows() const {
    QVector<DeviceRow> shown;
    for (int row = 0; row < proxy_->rowCount(); ++row)
        shown << model_->rows()[proxy_->mapToSource(proxy_->index(row, 0)).row()];
    return shown;
}

const QVector<DeviceRow>& DeviceBookView::rows() const {
    return model_->rows();
}

int DeviceBookView::interval() const {
    return settings_.STKINTERVAL;
}
