#pragma once

#include <QObject>
#include <array>

class FrameLink;
class PollCycle;
class QComboBox;
class QPushButton;
class QStringListModel;
struct Geraetedaten;

// The seven valve timing lists of the "Gerät" tab and their Reset button. A
// list is locked (shows the device's value, takes no input) except while the
// technician works in it; a pick or an arrow key writes one timing, never the
// mouse wheel.
class TimingSettings : public QObject {
    Q_OBJECT
public:
    TimingSettings(const std::array<QComboBox*, 7>& lists, QPushButton* reset, Geraetedaten& geraet,
                   FrameLink& frames, PollCycle& poll, QObject* parent = nullptr);

    // Fills the seven lists with their 256 entries in the current locale.
    void fill_timing_lists();
    // The device's timings in the lists that are not being edited.
    void show(const std::array<quint8, 7>& zeiten);
    // Without a device: every list locked, at its first entry.
    void show_disconnected();
    bool timing_locked(int n) const { return !unlocked_[size_t(n)]; }

    void cb_t_changed(int n);
    void cmd_t_reset_click();

    // The timing values the Reset button writes.
    static constexpr std::array<int, 7> kStandardZeiten = {100, 144, 144, 27, 134, 27, 134};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void select_timing(int n, int value);
    bool timing_event(int n, QEvent* event);
    void wait_keeping_focus(int n, int ms);

    std::array<QComboBox*, 7> lists_;
    QStringListModel* entries_ = nullptr;  // the lists' entries, owned here
    Geraetedaten& geraet_;
    FrameLink& frames_;
    PollCycle& poll_;
    std::array<bool, 7> unlocked_{};
    bool selecting_ = false;  // the program is setting a list's position
    int waiting_list_ = -1;   // the list whose write is being waited for
};
