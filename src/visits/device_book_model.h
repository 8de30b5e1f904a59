#pragma once

#include <QAbstractTableModel>
#include <QVector>

#include "visits/device_book.h"

struct LanguageTable;

// The device book as a table: one row per device, each column sortable by
// its value (SortRole), the due state under StateRole for the view's colour.
// The state is always a word with a symbol, never a colour alone.
class DeviceBookModel : public QAbstractTableModel {
public:
    enum Column { serial, last_visit, last_stk, next_due, hours, o2, visits, state, column_count };
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int StateRole = Qt::UserRole + 1;

    explicit DeviceBookModel(const LanguageTable& texts, QObject* parent = nullptr);

    void set_rows(QVector<DeviceRow> rows);
    const QVector<DeviceRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const LanguageTable& texts_;
    QVector<DeviceRow> rows_;
};

// The header of a column and a row's cell as the table shows them.
QString device_book_header(DeviceBookModel::Column column, const LanguageTable& texts);
QString device_book_text(const DeviceRow& row, DeviceBookModel::Column column,
                         const LanguageTable& texts);
// "überfällig", "fällig in 30 Tagen", "fristgerecht"; the same with its sign.
QString due_state_word(DueState state, const LanguageTable& texts);
QString due_state_text(DueState state, const LanguageTable& texts);
