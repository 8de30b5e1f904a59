#pragma once

#include <QObject>
#include <array>

#include "device/device_controls.h"
#include "device/hours_serial.h"
#include "device/timing_settings.h"
#include "link/poll_cycle.h"

class Dialogs;
class FrameLink;
class QPlainTextEdit;
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
    void fill_timing_lists() { timing_.fill_timing_lists(); }
    // The part of another tab a lost device must spare: the protocol frame
    // keeps the technician's entries.
    void set_window_parts(const QWidget* protocol_frame) { protocol_frame_ = protocol_frame; }

    const DeviceControls& controls() const { return c_; }
    HoursSerial& hours_serial() { return hours_serial_; }
    ChartBox* chart() const { return c_.Chart; }
    // A timing list is locked except while the technician edits it.
    bool timing_locked(int n) const { return timing_.timing_locked(n); }

private:
    QWidget* page_;
    const PollCycle& poll_;
    Geraetedaten& geraet_;
    const LanguageTable& texts_;
    DeviceControls c_;
    TimingSettings timing_;
    HoursSerial hours_serial_;
    const QWidget* protocol_frame_ = nullptr;
};
