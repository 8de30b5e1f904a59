#include <QApplication>
#include <QDir>

#include "platform/ftd2xx.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/qt_dialogs.h"
#include "shell/app.h"
#include "shell/main_window.h"

namespace {

// Until the serial backend lands: no converter attached.
class NoDevice final : public Ftd2xx {
public:
    FT_STATUS FT_ListDevices(quint32& count, quint32) override { count = 0; return FT_OK; }
    FT_STATUS FT_Open(int, FT_HANDLE&) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS FT_Close(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetBaudRate(FT_HANDLE, quint32) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, quint8, quint8, quint8) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetFlowControl(FT_HANDLE, quint16, quint8, quint8) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetDtr(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetTimeouts(FT_HANDLE, quint32, quint32) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_GetQueueStatus(FT_HANDLE, quint32& n) override { n = 0; return FT_INVALID_HANDLE; }
    FT_STATUS FT_Read(FT_HANDLE, char*, quint32, quint32& n) override { n = 0; return FT_INVALID_HANDLE; }
    FT_STATUS FT_Write(FT_HANDLE, const char*, quint32, quint32& n) override { n = 0; return FT_INVALID_HANDLE; }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel5"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));

    QtDialogs dialogs;
    SystemClock clock;
    NoDevice ft;
    App app({with_trailing_slash(QCoreApplication::applicationDirPath()), dialogs, clock, ft});
    if (!app.startup()) return 1;
    dialogs.set_parent(app.window());
    app.window()->show();
    return QApplication::exec();
}
