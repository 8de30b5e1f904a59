#pragma once

#include <QDialog>
#include <functional>

#include "protocol/print_layout.h"
#include "protocol/protocol_record.h"
#include "visits/archive_reader.h"

class ArchiveScan;
class Clock;
class DeviceBookView;
class Dialogs;
class HistoryChart;
class PrinterChoice;
class QCheckBox;
class QFileSystemWatcher;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;
class QTreeWidget;
struct LanguageTable;
struct Settings;

// "Archiv": the device book of the archive folder (one row per device with
// its next STK due), the chosen device's visits newest first with what their
// sums say, the device's history as a small chart and the chosen visit's
// protocol as its page, to print again or to open its folder. It needs no
// device, and it follows what other programs write into the folder.
class ArchiveWindow : public QDialog {
    Q_OBJECT
public:
    struct Parts {
        Dialogs& dialogs;
        const LanguageTable& texts;
        PrintMarkup& engine;
        PrinterChoice& printer_choice;
        CaptionOf caption;
        std::function<void(const QString& folder)> open_folder;
        Settings& settings;
        std::function<bool()> save_settings;
        const Clock& clock;
    };
    ArchiveWindow(Parts parts, QWidget* parent = nullptr);
    ~ArchiveWindow() override;

    // Lists the archive under `folder` afresh (the window answers meanwhile)
    // and watches it from then on.
    void show_archive(const QString& folder);
    // Reads the folder again in the background, keeping what is chosen.
    void refresh();
    // Prints the chosen visit's protocol through the print dialog.
    bool print_visit();
    bool print_due_list();
    bool export_csv();
    const QVector<ArchivedDevice>& devices() const { return devices_; }
    const QStringList& foreign_entries() const { return foreign_; }
    DeviceBookView* book() const { return book_; }
    HistoryChart* chart() const { return chart_; }
    // The chosen visit's page as shown.
    const QImage& page() const { return page_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* build_visits_pane();
    void apply(const QString& folder, const ArchiveListing& listing);
    void watch();
    void device_chosen(const QString& serial);
    void visit_chosen();
    const ArchivedVisit* chosen_visit() const;
    void draw_page();
    // The page's width on screen: the pane's, in device-independent pixels.
    int page_width() const;

    Parts p_;
    QString folder_;
    QVector<ArchivedDevice> devices_;
    QStringList foreign_;
    int device_ = -1;  // in devices_
    ArchiveScan* scan_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* settle_ = nullptr;
    QTimer* poll_ = nullptr;
    QLabel* folder_label_ = nullptr;
    QLabel* foreign_label_ = nullptr;
    QLabel* check_label_ = nullptr;
    DeviceBookView* book_ = nullptr;
    QTreeWidget* visit_list_ = nullptr;
    HistoryChart* chart_ = nullptr;
    QCheckBox* hours_axis_ = nullptr;
    QScrollArea* page_scroll_ = nullptr;
    QLabel* page_view_ = nullptr;
    int drawn_width_ = 0;
    QPushButton* print_ = nullptr;
    QPushButton* open_folder_ = nullptr;
    Pruefprotokoll protocol_;
    bool protocol_loaded_ = false;
    QImage page_;
};
