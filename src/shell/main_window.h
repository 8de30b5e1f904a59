#pragma once

#include <QMainWindow>
#include <functional>
#include <vector>

#include "platform/geometry.h"

class QAction;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// frm_main: the program's one main window with its four tabs and its menu.
// The tabs' controls are built by their own classes inside tab_page(i); this
// window only lays out the two tabs whose controls stretch with it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Client area (below the menu bar) after loading, in twips.
    static constexpr int kClientWidthTwips = 15150;
    static constexpr int kClientHeightTwips = 10875;
    // The tabs' places: "Gerät", "Prüfprotokoll", "Systemstatus", developer.
    static constexpr int kDeviceTab = 0;
    static constexpr int kStatusTab = 2;
    static constexpr int kDeveloperTab = 3;

    explicit MainWindow(QWidget* parent = nullptr);

    QTabWidget* tab1() const { return tab1_; }
    // Everything below the menu bar: disabled during the link's short waits,
    // while the menu stays live.
    QWidget* client_area() const { return client_; }
    // `busy`: the link is inside a tick or a wait. A menu command chosen then
    // runs as soon as the wait is over, instead of inside it.
    void set_busy_check(std::function<bool()> busy) { busy_ = std::move(busy); }
    QWidget* tab_page(int index) const;

    // Loading: client area 15150 × 10875 twips, the minimum outer size, and the
    // window centred on its screen (never off its top-left corner).
    void size_and_center();
    // End of loading: from now on every size change lays out the selected tab.
    void finish_loading();

    // Smallest outer size in twips: the width that leaves a full client width,
    // the height of the client area alone (so the window may get a little
    // shorter than at start).
    int min_width() const { return min_width_; }
    int min_height() const { return min_height_; }

    // "Nur Druck": the chart sets its caption to say what the next click shows.
    QAction* men_kompressordruck() const { return men_kompressordruck_; }
    // "Besuch abschließen": usable while a device is connected.
    QAction* men_besuch() const { return men_besuch_; }

    // The frame on tab 1 that the protocol form is built into.
    QGroupBox* frm_protokoll() const { return frm_protokoll_; }

    // Asked before the window closes (close box, "Beenden", the system): false
    // keeps the window open and nothing is closed.
    void set_close_guard(std::function<bool()> guard) { close_guard_ = std::move(guard); }

    QPlainTextEdit* sysstatout() const { return sysstatout_; }
    QPushButton* cmd_sysstatread() const { return cmd_sysstatread_; }
    QPushButton* cmd_sysstatsave() const { return cmd_sysstatsave_; }
    QLabel* lbl_sysstatinfo() const { return lbl_sysstatinfo_; }

signals:
    void firmware_update_requested();
    void info_requested();
    void finish_visit_requested();
    void archive_requested();
    void archive_folder_requested();
    void chart_toggle_requested();
    void reconnect_requested();
    // Another tab was selected, by the user or by the program.
    void tab_changed(int index);
    // A tab's stretching controls got their new geometry (the chart redraws).
    void tab_laid_out(int index);
    // Close box, "Beenden" or the system, once the close guard let it pass:
    // the device must be closed.
    void close_requested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menu();
    void run_when_idle(const std::function<void()>& command);
    void build_pages();
    void apply_minimum();
    QRect screen_area() const;
    int scroll_bar_width() const;
    void layout_tab(int index);
    void fill_page(int index, const char* name);
    void layout_sysstat();

    QTabWidget* tab1_ = nullptr;
    QWidget* client_ = nullptr;
    std::function<bool()> busy_;
    std::vector<QWidget*> pages_;  // the tabs' pages, each inside its scroll area
    QAction* men_kompressordruck_ = nullptr;
    QGroupBox* frm_protokoll_ = nullptr;
    QAction* men_besuch_ = nullptr;
    QPlainTextEdit* sysstatout_ = nullptr;
    QPushButton* cmd_sysstatread_ = nullptr;
    QPushButton* cmd_sysstatsave_ = nullptr;
    QLabel* lbl_sysstatinfo_ = nullptr;
    std::function<bool()> close_guard_;

    int min_width_ = 0;   // twips, 0 until sized
    int min_height_ = 0;  // twips
    // Keeps layout passes from nesting, and from running at all while loading.
    bool resizing_ = true;
};
