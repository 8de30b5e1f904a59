#include "shell/app.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/apply_language.h"
#include "shell/config.h"
#include "shell/language.h"
#include "shell/main_window.h"

App::App(AppDeps deps)
    : port{&deps.ft, 0},
      comm_log(deps.clock),
      frames(link_state, port, comm_log, deps.dialogs, deps.clock),
      deps_(deps) {}

App::~App() = default;

bool App::startup() {
    load_config(settings, config_path(app_dir()), app_dir(), deps_.dialogs);
    if (!load_language(texts, language_path(app_dir(), language_code(app_dir())), deps_.dialogs))
        return false;
    comm_log.start();

    window_ = std::make_unique<MainWindow>();
    apply_language(window_.get(), texts);
    window_->resize(twips(15150), twips(10875));
    window_->tab1()->setCurrentIndex(0);
    return true;
}
