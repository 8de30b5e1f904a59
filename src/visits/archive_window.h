#pragma once

#include <QDialog>
#include <functional>

#include "protocol/print_layout.h"
#include "protocol/protocol_record.h"
#include "visits/archive_reader.h"

class Dialogs;
class HistoryChart;
class PrinterChoice;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QTreeWidget;
struct LanguageTable;

// "Archiv": the devices under the archive folder, each one's visits newest
// first, the device's history as a small chart and the chosen visit's
// protocol as its page, to print again or to open its folder. It needs no
// device.
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
    };
    ArchiveWindow(Parts parts, QWidget* parent = nullptr);

    // Lists the archive under `folder` afresh.
    void show_archive(const QString& folder);
    // Prints the chosen visit's protocol through the print dialog.
    bool print_visit();
    const QVector<ArchivedDevice>& devices() const { return devices_; }
    // The chosen visit's page as shown.
    const QImage& page() const { return page_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void device_chosen(int row);
    void visit_chosen();
    const ArchivedVisit* chosen_visit() const;
    void draw_page();
    // The page's width on screen: the pane's, in device-independent pixels.
    int page_width() const;

    Parts p_;
    QVector<ArchivedDevice> devices_;
    QListWidget* device_list_ = nullptr;
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
