#include <gtest/gtest.h>
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "support/files.h"
#include "support/manual_waiter.h"
#include "support/recording_ftd2xx.h"
#include "support/scripted_dialogs.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void write_language(const QByteArray& content) {
        write_bytes(dir.path() + "/langEN.txt", content);
    }
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ManualClock clock;
    RecordingFtd2xx ft;
    ManualWaiter waiter{clock};
    AppDeps deps{dir.path() + "/", dialogs, clock, ft, waiter};
};

bool any_window_visible() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) return true;
    return false;
}

}  // namespace

TEST_F(StartupTest, BadLanguageFileEndsBeforeAnyWindow) {
    write_language("11000|0|Quorvel\r\n11077|x|Exit\r\n");
    App app(deps);
    EXPECT_FALSE(app.startup());
    EXPECT_EQ(app.window(), nullptr);
    EXPECT_FALSE(any_window_visible());
    // The configuration was missing too: both fixed texts, in start-up order.
    EXPECT_EQ(dialogs.messages,
              QStringList({"unable to load configuration", "Language File could not be loaded."}));
}

TEST_F(StartupTest, WindowIsCaptionedFromTheLanguageFile) {
    write_language(
        "11000|0|Quorvel 5 Service\r\n11500|0|Device/Protocol/System Status/Developer\r\n");
    write_bytes(dir.path() + "/quorvel5.ini", "TIMERINTERVAL|40\r\n");
    App app(deps);
    ASSERT_TRUE(app.startup());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(app.settings.TIMERINTERVAL, 40);
    EXPECT_EQ(app.window()->windowTitle(), "Quorvel 5 Service");
    EXPECT_EQ(app.window()->tab1()->tabText(3), "Developer");
    EXPECT_EQ(app.window()->tab1()->currentIndex(), 0);
}
