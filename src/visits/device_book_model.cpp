#include "visits/device_book_model.h"

#include <QLocale>

#include "platform/language_table.h"

namespace {

constexpr int kHeaderIds[] = {6070, 6071, 6072, 6073, 6074, 6075, 6076, 6077};

QVariant sort_value(const DeviceRow& row, DeviceBookModel::Column column) {
    switch (column) {
        case DeviceBookModel::serial:
            return row.serial;
        case DeviceBookModel::last_visit:
            return row.last_visit;
        case DeviceBookModel::last_stk:
            return row.last_stk;
        case DeviceBookModel::next_due:
            // Never checked sorts first: it is the most urgent.
            return row.next_due.isValid() ? row.next_due.toJulianDay() : qint64(-1);
        case DeviceBookModel::hours:
            return operating_hours(row.hours);
        case DeviceBookModel::o2:
            return row.o2.value_or(-1);
        case DeviceBookModel::visits:
            return row.visits;
        case DeviceBookModel::state:
        case DeviceBookModel::column_count:
            break;
    }
    return int(row.state);
}

}  // namespace

QString due_state_word(DueState state, const LanguageTable& texts) {
    constexpr int ids[] = {6078, 6079, 6080};  // overdue, due soon, in time
    return texts.lang_text(ids[int(state)]);
}

QString due_state_text(DueState state, const LanguageTable& texts) {
    static const char16_t* const signs[] = {u"\u26A0 ", u"\u25D0 ", u"\u2713 "};
    return QString::fromUtf16(signs[int(state)]) + due_state_word(state, texts);
}

QString device_book_header(DeviceBookModel::Column column, const LanguageTable& texts) {
    return texts.lang_text(kHeaderIds[column]);
}

QString device_book_text(const DeviceRow& row, DeviceBookModel::Column column,
                         const LanguageTable& texts) {
    const QLocale locale;
    switch (column) {
        case DeviceBookModel::serial:
            return row.serial;
        case DeviceBookModel::last_visit:
            return locale.toString(row.last_visit.date(), QLocale::ShortFormat);
        case DeviceBookModel::last_stk:
            return row.last_stk.isValid() ? locale.toString(row.last_stk, QLocale::ShortFormat)
                                          : texts.lang_text(6081);
        case DeviceBookModel::next_due:
            return row.next_due.isValid() ? locale.toString(row.next_due, QLocale::ShortFormat)
                                          : texts.lang_text(6081);
        case DeviceBookModel::hours:
            return row.hours;
        case DeviceBookModel::o2:
            return row.o2 ? locale.toString(*row.o2, 'f', 1) : texts.lang_text(6036);
        case DeviceBookModel::visits:
            return row.marked ? QStringLiteral("%1 (%2 \u26A0)").arg(row.visits).arg(row.marked)
                              : QString::number(row.visits);
        case DeviceBookModel::state:
        case DeviceBookModel::column_count:
            break;
    }
    return due_state_text(row.state, texts);
}

DeviceBookModel::DeviceBookModel(const LanguageTable& texts, QObject* parent)
    : QAbstractTableModel(parent), texts_(texts) {}

void DeviceBookModel::set_rows(QVector<DeviceRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int DeviceBookModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int DeviceBookModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : column_count;
}

QVariant DeviceBookModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const DeviceRow& row = rows_[index.row()];
    const auto column = Column(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return device_book_text(row, column, texts_);
        case SortRole:
            return sort_value(row, column);
        case StateRole:
            return int(row.state);
        default:
            return {};
    }
}

QVariant DeviceBookModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= column_count)
        return {};
    return device_book_header(Column(section), texts_);
}
