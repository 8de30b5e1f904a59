#pragma once

#include <QObject>
#include <array>

#include "device/device_controls.h"
#include "link/poll_cycle.h"

class Dialogs;
class FrameLink;
class QWidget;
struct Geraetedaten;
struct LanguageTable;

// The "Gerät" tab: the live projection of the device data onto its controls,
// the seven valve timings, the operating hours and the serial number. Every
// change goes to the device as one write, and what the device reads back is
// what the tab finally shows.
class DeviceTab : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `page`, which must outlive the tab.
    DeviceTab(QWidget* page, Geraetedaten& geraet, FrameLink& frames, PollCycle& poll,
              Dialogs& dialogs, const LanguageTable& texts, QObject* parent = nullptr);

    // Copies the device data into the controls: after every applied reply and
    // after every link reset. Without a connection it empties every "t_" box of
    // the whole window, whitens the valve and alarm labels and empties the
    // status memory box.
    void update_display();
    // Says on the tab whether the device is connected or what the link tries.
    void show_link_phase(LinkPhase phase);
    // Fills the seven timing lists with their 256 entries in the current locale.
    void fill_timing_lists();

    const DeviceControls& controls() const { return c_; }
    ChartBox* chart() const { return c_.Chart; }
    // A timing list is locked except while the technician edits it.
    bool timing_locked(int n) const { return !unlocked_[size_t(n)]; }

    // What the controls' events run.
    void cb_t_changed(int n);
    void cmd_t_reset_click();
    void cmd_setbstd_click();
    void cmd_resetbstd_click();
    void t_sn_edited();
    void t_sn_focus_lost();
    void cmd_setsn_click();

    // The timing values the Reset button writes.
    static constexpr std::array<int, 7> kStandardZeiten = {100, 144, 144, 27, 134, 27, 134};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wire();
    void show_connected();
    void show_disconnected();
    void select_timing(int n, int value);
    bool timing_event(int n, QEvent* event);
    void wait_keeping_focus(int n, int ms);

    QWidget* page_;
    Geraetedaten& geraet_;
    FrameLink& frames_;
    PollCycle& poll_;
    Dialogs& dialogs_;
    const LanguageTable& texts_;
    DeviceControls c_;

    std::array<bool, 7> unlocked_{};
    bool selecting_ = false;  // the program is setting a list's position
    int waiting_list_ = -1;   // the list whose write is being waited for
};
