#pragma once

#include <QObject>
#include <QString>

#include "link/boot_loader_link.h"

class Dialogs;
class FrameLink;
class InfoWindow;
class PollCycle;
class Port;
struct FirmwareImage;
struct Geraetedaten;
struct LanguageTable;
struct Settings;

// "Softwareupdate": programs a firmware image into the connected device
// through its boot loader and brings the normal connection back. The poll
// timer is stopped throughout and nothing but the update is on the line.
class FirmwareUpdate : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        const QString& config_dir;  // where quorvel5.ini lives
        Dialogs& dialogs;
        const LanguageTable& texts;
        Geraetedaten& geraet;
        FrameLink& frames;
        Port& port;
        PollCycle& poll;
        InfoWindow& progress;
        FirmwareImage& image;
    };
    explicit FirmwareUpdate(Parts parts, QObject* parent = nullptr);

    static constexpr int kBootRequestWaitMs = 500;

    void firmware_update();
    bool running() const { return running_; }
    // The main window closes while the update runs: the device is closed by
    // then, so the update ends where it stands, tells nothing more and does
    // not reconnect. A device left in its boot loader is programmed again at
    // the next start.
    void abandon() { abandoned_ = running_; }

signals:
    // The update has ended, well or not: the connection must be initialised
    // afresh at the normal line speed.
    void reinitialise();

private:
    // How the update reaches the boot loader.
    enum class Start {
        Firmware,    // a connected device, switched over with "b"
        BootLoader,  // a device that answers only in its boot loader
    };
    bool boot_loader_answers();
    bool choose_and_read_image();
    bool image_fits(Start start);
    bool enter_boot_loader();
    bool program_blocks();
    void final_step();
    // A message of the update, unless the program is closing under it.
    void tell(const QString& text);

    Parts p_;
    BootLoaderLink boot_;
    bool running_ = false;
    bool abandoned_ = false;
    // The device this run last switched into its boot loader: a device left
    // there by a failed update is checked against it.
    QString boot_hardware_id_;
};
