#pragma once

#include <QObject>

class Dialogs;
class FrameLink;
class PollCycle;
class QLineEdit;
class QPushButton;
class QWidget;
struct Geraetedaten;
struct LanguageTable;

// Operating hours and the device serial number on the "Gerät" tab: written,
// then read back, so the tab ends up showing the device's own value.
class HoursSerial : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QPushButton* cmd_setbstd;
        QPushButton* cmd_resetbstd;
        QLineEdit* t_sn;
        QPushButton* cmd_setsn;
        QLineEdit* t_bstd;  // where the focus rests after an hours write
    };
    HoursSerial(Controls controls, Geraetedaten& geraet, FrameLink& frames, PollCycle& poll,
                Dialogs& dialogs, const LanguageTable& texts, QObject* parent = nullptr);

    void cmd_setbstd_click();
    void cmd_resetbstd_click();
    void t_sn_edited();
    void t_sn_focus_lost();
    void cmd_setsn_click();

signals:
    // The technician writes `to` as the serial number of the device now
    // known as `from`: the same device under a corrected number.
    void serial_written(const QString& from, const QString& to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void leave_writing_button(QWidget* rest);

    Controls c_;
    Geraetedaten& geraet_;
    FrameLink& frames_;
    PollCycle& poll_;
    Dialogs& dialogs_;
    const LanguageTable& texts_;
};
