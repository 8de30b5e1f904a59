#pragma once

#include <QDate>
#include <QVector>
#include <QWidget>
#include <functional>

#include "visits/archive_reader.h"
#include "visits/device_book.h"

class DeviceBookModel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
struct LanguageTable;
struct Settings;

// The device book's pane: a search box for the serial number, the STK
// interval (kept in the settings), one row per device sorted by the next due
// date (any column sorts), overdue rows red and those due soon amber with
// the state also in words, and the buttons to print the list and export.
class DeviceBookView : public QWidget {
    Q_OBJECT
public:
    DeviceBookView(const LanguageTable& texts, Settings& settings,
                   std::function<bool()> save_settings, QWidget* parent = nullptr);

    // New rows for these devices; the chosen device stays chosen.
    void set_devices(const QVector<ArchivedDevice>& devices, const QDate& today);
    QString current_serial() const;
    void choose(const QString& serial);
    // The rows as the table shows them: filtered and in its order.
    QVector<DeviceRow> shown_rows() const;
    const QVector<DeviceRow>& rows() const;
    int interval() const;

signals:
    void device_chosen(const QString& serial);
    void print_requested();
    void export_requested();

private:
    void rebuild();

    const LanguageTable& texts_;
    Settings& settings_;
    std::function<bool()> save_settings_;
    QVector<ArchivedDevice> devices_;
    QDate today_;
    DeviceBookModel* model_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
    QTableView* table_ = nullptr;
    QLineEdit* search_ = nullptr;
    QSpinBox* interval_ = nullptr;
};
