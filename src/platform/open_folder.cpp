#include "platform/open_folder.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QTimer>
#include <QUrl>

void open_folder(const QString& folder, std::function<void()> could_not, const QString& opener) {
#ifdef Q_OS_LINUX
    // Qt's own way starts the opener and reports success whatever the opener
    // then finds; its exit status tells whether a file manager took the folder.
    // Owned by the application, so one still running when it ends is ended too.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({folder});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto told = std::make_shared<bool>(false);
    const auto fail_once = [could_not, told] {
        if (*told) return;
        *told = true;
        if (could_not) could_not();
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, fail_once](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         fail_once();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, fail_once](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (code != 0 || status != QProcess::NormalExit) fail_once();
                     });
    process->start();
#else
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)) && could_not)
        QTimer::singleShot(0, could_not);
#endif
}
