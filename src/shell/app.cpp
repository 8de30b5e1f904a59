#include "shell/app.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QTabWidget>

#include "device/chart.h"
#include "device/chart_box.h"
#include "device/device_tab.h"
#include "device/sysstat_tab.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/open_folder.h"
#include "protocol/print_layout.h"
#include "protocol/protocol_form.h"
#include "protocol/widget_captions.h"
#include "shell/apply_language.h"
#include "shell/config.h"
#include "shell/developer_tab.h"
#include "shell/firmware_update.h"
#include "shell/info_window.h"
#include "shell/keyboard.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/qt_translations.h"
#include "visits/archive_folder.h"
#include "visits/archive_window.h"
#include "visits/finish_visit.h"

namespace {
constexpr int kQuitUpdate = 6214;     // an update runs: quit anyway?
constexpr int kNoFileManager = 6605;  // followed by the folder's path
}  // namespace

int WindowLinkView::current_tab() const {
    return window_ ? window_->tab1()->currentIndex() : 0;
}

void WindowLinkView::select_tab(int index) {
    if (!window_ || window_->tab1()->currentIndex() == kept_tab_) return;
    selecting_ = true;
    window_->tab1()->setCurrentIndex(index);
    selecting_ = false;
}

void WindowLinkView::set_tabs_enabled(bool enabled) {
    if (!window_) return;
    if (!enabled) keep_focus();
    window_->tab1()->setEnabled(enabled);
    if (enabled) restore_focus();
}

void WindowLinkView::set_busy_cursor(bool busy) {
    if (!window_) return;
    if (busy)
        window_->setCursor(Qt::WaitCursor);
    else
        window_->unsetCursor();
}

// The application's override cursor is a stack, which suits nested waits.
void WindowLinkView::set_wait_cursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool WindowLinkView::window_enabled() const {
    return window_ ? window_->isEnabled() && window_->client_area()->isEnabled() : true;
}

// The area below the menu bar only: the menu answers during a wait, and the
// main window defers what is chosen there until the wait is over.
void WindowLinkView::set_window_enabled(bool enabled) {
    if (!window_) return;
    if (!enabled) keep_focus();
    window_->client_area()->setEnabled(enabled);
    if (enabled) restore_focus();
}

// Disabling takes the focus from the control that had it, and enabling gives
// it to nobody: without these the keyboard would lose its place after every
// wait, and keys would go nowhere until a click.
void WindowLinkView::keep_focus() {
    QWidget* focus = QApplication::focusWidget();
    if (focus && window_->isAncestorOf(focus)) focus_kept_ = focus;
}

void WindowLinkView::restore_focus() {
    // Still disabled (the tabs wait for the device): kept for their turn.
    if (!focus_kept_ || !focus_kept_->isEnabled()) return;
    if (!window_->focusWidget() && focus_kept_->isVisible())
        focus_kept_->setFocus(Qt::OtherFocusReason);
    focus_kept_ = nullptr;
}

App::App(AppDeps deps)
    : link({deps.ft, deps.clock, deps.waiter, deps.dialogs, link_view, texts, settings}),
      print_engine(deps.dialogs, texts),
      printer_choice(deps.printers ? *deps.printers : qt_printers_),
      deps_(deps),
      paths_(app_paths(deps.app_dir)) {
    wire();
}

App::~App() {
    shutdown();
    deps_.ft.use_texts(nullptr);  // the converter may outlive our texts
}

void App::wire() {
    QObject::connect(&link.poll, &PollCycle::was_reset, &link.poll,
                     [this] { firmware_image.clear(); });
}

bool App::startup() {
    config_defaults(settings, paths_.start_dir);
    load_config(settings, settings_file_to_read(paths_), paths_.start_dir, deps_.dialogs);
    link.poll.timer1().setInterval(settings.TIMERINTERVAL);
    const QString code = language_code(paths_.data_dir);
    if (!load_language(texts, language_path(paths_.data_dir, code), deps_.dialogs)) return false;
    deps_.ft.use_texts(&texts);
    load_qt_translations(qt_translator_, code);

    window_ = std::make_unique<MainWindow>();
    qt_printers_.set_parent(window_.get());
    device_tab_ = std::make_unique<DeviceTab>(window_->tab_page(0), link.geraet, link.frames,
                                              link.poll, deps_.dialogs, texts);
    device_tab_->fill_timing_lists();
    device_tab_->set_window_parts(window_->frm_protokoll());
    QObject::connect(&link.dispatcher, &ReplyDispatcher::display_changed, device_tab_.get(),
                     &DeviceTab::update_display);
    QObject::connect(&link.poll, &PollCycle::was_reset, device_tab_.get(),
                     &DeviceTab::update_display);
    add_sysstat_tab();
    wire_chart();
    info_window_ = std::make_unique<InfoWindow>(window_.get(), texts);
    build_protocol_form();
    add_visit_record();
    firmware_ = std::make_unique<FirmwareUpdate>(
        FirmwareUpdate::Parts{settings, paths_.config_dir, deps_.dialogs, texts, link.geraet,
                              link.frames, link.port, link.poll, *info_window_, firmware_image});
    QObject::connect(firmware_.get(), &FirmwareUpdate::reinitialise, &link.poll,
                     [this] { reinit_connection(); });
    link_view.attach(window_.get());
    window_->set_busy_check([this] { return link.poll.busy(); });
    link.poll.link_reset();
    // The chart is drawn by the window's first layout, at its real size: drawing
    // it here, at a size about to change, cost a tenth of the start-up.
    QObject::connect(&link.poll, &PollCycle::was_reset, chart_.get(), &Chart::chart_setup);
    link.comm_log.start();
    protocol_form_->init_protocol(link.geraet, true);
    make_keyboard_reachable(window_.get());
    apply_language(window_.get(), texts);
    window_->size_and_center();
    window_->tab1()->setCurrentIndex(0);
    window_->finish_loading();
    // A running update is asked about first; then unsaved protocol entries,
    // while the device is still open. Cancel keeps the window.
    window_->set_close_guard([this] {
        if (firmware_->running() && !deps_.dialogs.ask_yes_no(texts.lang_text(kQuitUpdate)))
            return false;
        return protocol_form_->checksaved();
    });
    QObject::connect(window_.get(), &MainWindow::close_requested, &link.poll, [this] {
        info_window_->close_window();
        firmware_->abandon();
        shutdown();
    });
    // The developer tab is built when it is first chosen: the first window does without it.
    QObject::connect(window_.get(), &MainWindow::tab_changed, &link.poll, [this](int index) {
        if (index == MainWindow::kDeveloperTab) build_deferred_tabs();
    });
    QObject::connect(window_.get(), &MainWindow::tab_changed, protocol_form_, [this](int index) {
        if (!link_view.selecting()) protocol_form_->tab_clicked(index);
    });
    QObject::connect(window_.get(), &MainWindow::info_requested, &link.poll,
                     [this] { info_window_->docommand(QStringLiteral("info")); });
    QObject::connect(window_.get(), &MainWindow::reconnect_requested, &link.poll, [this] {
        // Unsaved entries first: Cancel leaves everything as it was.
        if (protocol_form_->checksaved()) reinit_connection();
    });
    QObject::connect(window_.get(), &MainWindow::firmware_update_requested, firmware_.get(),
                     &FirmwareUpdate::firmware_update);
    link.poll.connect();
    return true;
}

// A file written or read in another folder makes that folder INITDIR, saved
// at once; the tabs share this one step, and call it only after the file
// operation worked, so a folder that refused a file is never remembered.
std::function<bool(const QString&)> App::adopt_folder() {
    return [this](const QString& chosen_file) {
        return adopt_initdir(settings, chosen_file, paths_.config_dir, deps_.dialogs, texts);
    };
}

void App::build_protocol_form() {
    QGroupBox* frame = window_->frm_protokoll();
    protocol_form_ = new ProtocolForm(
        frame,
        {pruefprotokoll, link.geraet,
         ProtocolFiles{deps_.dialogs, texts, settings, deps_.clock, adopt_folder()}},
        frame);
    QObject::connect(&link.poll, &PollCycle::reopened, protocol_form_,
                     &ProtocolForm::device_reopened);
    QObject::connect(protocol_form_, &ProtocolForm::print_requested, protocol_form_, [this] {
        print_protocol(
            {print_engine, printer_choice, deps_.dialogs, texts, window_captions()}, pruefprotokoll,
            [this] { protocol_form_->form_to_record(); }, protocol_form_->pdf_proposal());
    });
}

std::function<bool()> App::settings_saver() {
    return [this] {
        return save_config(settings, config_path(paths_.config_dir), deps_.dialogs, texts);
    };
}

// Headings and labels on paper are what the main window shows.
CaptionOf App::window_captions() {
    QWidget* window = window_.get();
    return [window](const QString& name) { return widget_caption(window, name); };
}

// "Ordner öffnen": where no file manager takes the folder, the technician
// is told where it is rather than seeing nothing happen.
std::function<void(const QString&)> App::folder_opener() {
    return [this](const QString& folder) {
        open_folder(folder, [this, folder] {
            deps_.dialogs.show_message(texts.lang_text(kNoFileManager) + QStringLiteral("\r\n") +
                                       QDir::toNativeSeparators(folder));
        });
    };
}

// "Besuch abschließen" records the live values all along and takes the
// tabs' writers when the technician finishes; "Archiv" needs no device.
void App::add_visit_record() {
    const ProgramVersion version = program_version();
    visit_ = std::make_unique<FinishVisit>(FinishVisit::Parts{
        link.geraet, pruefprotokoll, *protocol_form_, *sysstat_tab_, link.comm_log, settings,
        deps_.dialogs, texts, deps_.clock, deps_.waiter, print_engine, window_captions(),
        settings_saver(), folder_opener(),
        QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision)});
    FinishVisit* visit = visit_.get();
    QObject::connect(&link.dispatcher, &ReplyDispatcher::status_record_received, visit,
                     &FinishVisit::status_received);
    QObject::connect(&link.dispatcher, &ReplyDispatcher::sysstat_progress, visit,
                     &FinishVisit::status_progress);
    QObject::connect(&link.dispatcher, &ReplyDispatcher::sysstat_complete, visit,
                     &FinishVisit::status_memory_read);
    QObject::connect(&link.poll, &PollCycle::was_reset, visit, &FinishVisit::link_was_reset);
    QObject::connect(&device_tab_->hours_serial(), &HoursSerial::serial_written, visit,
                     &FinishVisit::serial_written);
    // The finish shows what it does in the small information window.
    InfoWindow* info = info_window_.get();
    QObject::connect(visit, &FinishVisit::progress, info,
                     [info](const QString& text, int done, int total) {
                         if (!info->isVisible()) info->show_progress();
                         info->set_text(text);
                         info->set_progress(done, total);
                     });
    QObject::connect(visit, &FinishVisit::progress_ended, info, [info] {
        if (info->isVisible()) info->close_window();
    });
    // A device that stopped answering keeps its visit: it is finished with
    // what was recorded.
    QAction* men_besuch = window_->men_besuch();
    const auto follow_link = [this, men_besuch, visit] {
        men_besuch->setEnabled(link.geraet.verbunden || visit->has_device());
    };
    QObject::connect(&link.dispatcher, &ReplyDispatcher::status_record_received, men_besuch,
                     follow_link);
    QObject::connect(&link.poll, &PollCycle::was_reset, men_besuch, follow_link);
    QObject::connect(window_.get(), &MainWindow::finish_visit_requested, visit,
                     [visit] { visit->finish_visit(); });
    QObject::connect(window_.get(), &MainWindow::archive_requested, visit,
                     [this] { show_archive(); });
    QObject::connect(window_.get(), &MainWindow::archive_folder_requested, visit, [this] {
        const QString folder =
            choose_archive_folder(settings, deps_.dialogs, texts, settings_saver());
        if (!folder.isEmpty() && archive_window_ && archive_window_->isVisible())
            archive_window_->show_archive(folder);
    });
}

void App::show_archive() {
    const QString folder =
        ensure_archive_folder(settings, deps_.dialogs, texts, settings_saver(), ArchiveUse::read);
    if (folder.isEmpty()) return;
    if (!archive_window_)
        archive_window_ = std::make_unique<ArchiveWindow>(
            ArchiveWindow::Parts{deps_.dialogs, texts, print_engine, printer_choice,
                                 window_captions(), folder_opener(), settings, settings_saver(),
                                 deps_.clock},
            window_.get());
    archive_window_->show_archive(folder);
    archive_window_->show();
    archive_window_->raise();
}

void App::add_sysstat_tab() {
    sysstat_tab_ = std::make_unique<SysstatTab>(SysstatTab::Parts{
        window_->sysstatout(), window_->cmd_sysstatread(), window_->cmd_sysstatsave(),
        window_->lbl_sysstatinfo(), link.geraet, link.dispatcher, deps_.dialogs, texts, deps_.clock,
        settings, adopt_folder()});
    SysstatTab* tab = sysstat_tab_.get();
    QObject::connect(&link.dispatcher, &ReplyDispatcher::sysstat_progress, tab,
                     &SysstatTab::pass_progress);
    QObject::connect(&link.dispatcher, &ReplyDispatcher::sysstat_complete, tab,
                     &SysstatTab::pass_complete);
    QObject::connect(&link.poll, &PollCycle::was_reset, tab, &SysstatTab::link_was_reset);
    // A lost link does not take the technician away from a status table that
    // is still to be saved; the tab says what happened.
    link_view.keep_tab(MainWindow::kStatusTab);
}

// The chart follows the link (reset, status records) and the window (layout,
// "Nur Druck"); it shows all curves from the start.
void App::wire_chart() {
    chart_ = std::make_unique<Chart>(*device_tab_->chart(), link.geraet, texts);
    QObject::connect(&link.dispatcher, &ReplyDispatcher::chart_points, chart_.get(),
                     &Chart::chart_add_points);
    QObject::connect(window_.get(), &MainWindow::tab_laid_out, chart_.get(), [this](int index) {
        if (index == 0) chart_->chart_resized();
    });
    QObject::connect(window_.get(), &MainWindow::chart_toggle_requested, chart_.get(),
                     &Chart::switch_view);
    QObject::connect(chart_.get(), &Chart::menu_caption_changed, window_->men_kompressordruck(),
                     &QAction::setText);
}

void App::build_deferred_tabs() {
    if (developer_tab_) return;
    QWidget* page = window_->tab_page(MainWindow::kDeveloperTab);
    developer_tab_ = new DeveloperTab(page, {link.comm_log, link.frames, link.port, deps_.dialogs,
                                             texts, deps_.clock, paths_.log_dir});
    apply_language(page, texts);
    make_keyboard_reachable(window_.get());
    developer_tab_->show_frame(link.frames.last_shown());
}

void App::reinit_connection() {
    window_->tab1()->setCurrentIndex(0);
    // Entries nobody decided about (after a firmware update) stay with their
    // own device data, as after a lost link.
    if (!pruefprotokoll.geaendert && !protocol_form_->viewing())
        protocol_form_->init_protocol(link.geraet, true);
    link.poll.connect();
}

void App::shutdown() {
    link.poll.timer1().stop();
    link.port.closedevice();
}
