#pragma once

#include <QPointer>
#include <QString>
#include <QTranslator>
#include <functional>
#include <memory>

#include "link/device_link.h"
#include "link/link_view.h"
#include "platform/language_table.h"
#include "platform/paths.h"
#include "platform/qt_printer_system.h"
#include "platform/settings.h"
#include "protocol/print_layout.h"
#include "protocol/print_markup.h"
#include "protocol/printer_choice.h"
#include "protocol/protocol_record.h"
#include "shell/firmware_image.h"

class Chart;
class Clock;
class DeveloperTab;
class DeviceTab;
class Dialogs;
class FirmwareUpdate;
class ArchiveWindow;
class FinishVisit;
class Ftd2xx;
class InfoWindow;
class MainWindow;
class ProtocolForm;
class SysstatTab;
class Waiter;

// What the program gets from the world; tests hand in fakes.
struct AppDeps {
    QString app_dir;  // the program's folder, with a trailing "/"
    Dialogs& dialogs;
    Clock& clock;
    Ftd2xx& ft;
    Waiter& waiter;
    // The printers and the print dialog; the real ones when not given.
    PrinterSystem* printers = nullptr;
};

// Forwards the link's requests to the main window once it exists.
class WindowLinkView final : public LinkView {
public:
    void attach(MainWindow* window) { window_ = window; }
    int current_tab() const override;
    void select_tab(int index) override;
    void set_tabs_enabled(bool enabled) override;
    void set_busy_cursor(bool busy) override;
    void set_wait_cursor(bool busy) override;
    bool window_enabled() const override;
    void set_window_enabled(bool enabled) override;
    // A tab the link does not leave on its own when it loses the device.
    void keep_tab(int index) { kept_tab_ = index; }
    // The link is switching tabs itself (after losing the device): that is
    // no choice of the technician's.
    bool selecting() const { return selecting_; }

private:
    void keep_focus();
    void restore_focus();

    MainWindow* window_ = nullptr;
    bool selecting_ = false;
    QPointer<QWidget> focus_kept_;  // had the focus when a wait disabled it
    int kept_tab_ = -1;
};

// The composition root: owns every record of the run and wires the layers'
// signals to each other.
class App {
public:
    explicit App(AppDeps deps);
    ~App();

    // Start-up in its fixed order. False when the program must end at once
    // (a bad language file); no window has been shown then.
    bool startup();
    // Closing the main window, once the protocol question let it: the device is closed.
    void shutdown();
    // "Verbindung initialisieren" (once unsaved protocol entries were decided
    // about), also the end of a firmware update: back to tab 0 and a fresh
    // connection.
    void reinit_connection();

    const QString& app_dir() const { return deps_.app_dir; }
    const AppPaths& paths() const { return paths_; }
    MainWindow* window() const { return window_.get(); }
    InfoWindow* info_window() const { return info_window_.get(); }
    DeviceTab* device_tab() const { return device_tab_.get(); }
    ProtocolForm* protocol_form() const { return protocol_form_; }
    FirmwareUpdate* firmware() const { return firmware_.get(); }
    SysstatTab* sysstat_tab() const { return sysstat_tab_.get(); }
    Chart* chart() const { return chart_.get(); }
    FinishVisit* visit() const { return visit_.get(); }
    // The archive window once it was opened.
    ArchiveWindow* archive_window() const { return archive_window_.get(); }
    // Builds the tabs that are built when first chosen (the developer tab) now,
    // as their first choice does; a rig that reaches into them calls it.
    void build_deferred_tabs();

    Settings settings;
    LanguageTable texts;
    Pruefprotokoll pruefprotokoll;
    WindowLinkView link_view;
    DeviceLink link;
    // The page's print engine and the printer chosen last; both live for the run.
    PrintMarkup print_engine;
    PrinterChoice printer_choice;
    FirmwareImage firmware_image;

private:
    void wire();
    std::function<bool(const QString&)> adopt_folder();
    void build_protocol_form();
    void add_sysstat_tab();
    void wire_chart();
    void add_visit_record();
    void show_archive();
    CaptionOf window_captions();
    std::function<bool()> settings_saver();
    std::function<void(const QString&)> folder_opener();

    AppDeps deps_;
    AppPaths paths_;
    QtPrinterSystem qt_printers_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<DeviceTab> device_tab_;
    std::unique_ptr<SysstatTab> sysstat_tab_;
    std::unique_ptr<Chart> chart_;
    DeveloperTab* developer_tab_ = nullptr;  // owned by its tab page
    ProtocolForm* protocol_form_ = nullptr;  // owned by its frame
    std::unique_ptr<InfoWindow> info_window_;
    std::unique_ptr<FirmwareUpdate> firmware_;
    std::unique_ptr<FinishVisit> visit_;
    std::unique_ptr<ArchiveWindow> archive_window_;
    QTranslator qt_translator_;  // Qt's own buttons and dialogs in our language
};
