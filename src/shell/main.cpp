#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "platform/dll_ftd2xx.h"
#else
#include "platform/serial_ftd2xx.h"
#endif
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/qt_dialogs.h"
#include "platform/waiter.h"
#include "shell/app.h"
#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/single_instance.h"
#include "version.h"

int main(int argc, char* argv[]) {
    const QString version = QStringLiteral(QV5_VERSION);
    answer_help_or_version(argc, argv, version);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel5"));
    QApplication::setApplicationVersion(version);

    // One program per user session: a later start brings the first one's
    // window to the front and ends.
    QString session_dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (session_dir.isEmpty()) session_dir = QDir::tempPath();
    SingleInstance one_program(with_trailing_slash(session_dir));
    if (!one_program.acquire()) {
        one_program.ask_first_to_show();
        return 0;
    }

    QtDialogs dialogs;
    SystemClock clock;
    EventLoopWaiter waiter;
    const QString app_dir = with_trailing_slash(QCoreApplication::applicationDirPath());
#ifdef Q_OS_WIN
    DllFtd2xx ft;  // the converter vendor's driver, loaded at run time
#else
    SerialFtd2xx ft(app_paths(app_dir).link_dir);
#endif
    App app({app_dir, dialogs, clock, ft, waiter});
    if (!app.startup()) return 1;
    dialogs.set_parent(app.window());
    MainWindow* window = app.window();
    window->show();
    QObject::connect(&one_program, &SingleInstance::show_requested, window, [window] {
        if (window->isMinimized()) window->showNormal();
        window->raise();
        window->activateWindow();
        QApplication::alert(window);  // where the desktop keeps the focus, the task bar says it
    });
    return QApplication::exec();
}
