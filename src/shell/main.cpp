#include <QApplication>
#include <QDir>

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

int main(int argc, char* argv[]) {
    const QString version = QStringLiteral("1.2.0");
    answer_help_or_version(argc, argv, version);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel5"));
    QApplication::setApplicationVersion(version);

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
    app.window()->show();
    return QApplication::exec();
}
