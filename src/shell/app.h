#pragma once

#include <QString>
#include <memory>

#include "link/comm_log.h"
#include "link/frame.h"
#include "link/port_state.h"
#include "platform/language_table.h"
#include "platform/settings.h"

class Clock;
class Dialogs;
class Ftd2xx;
class MainWindow;

// What the program gets from the world; tests hand in fakes.
struct AppDeps {
    QString app_dir;  // the program's folder, with a trailing "/"
    Dialogs& dialogs;
    Clock& clock;
    Ftd2xx& ft;
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

    const QString& app_dir() const { return deps_.app_dir; }
    Settings settings;
    LanguageTable texts;
    LinkState link_state;
    PortState port;
    CommLog comm_log;
    FrameLink frames;
    MainWindow* window() const { return window_.get(); }

private:
    AppDeps deps_;
    std::unique_ptr<MainWindow> window_;
};
