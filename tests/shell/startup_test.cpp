#include <gtest/gtest.h>
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include "shell/app.h"
#include "shell/main_window.h"
#include "support/files.h"
#include "support/program_rig.h"

namespace {

bool any_window_visible() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) return true;
    return false;
}

}  // namespace

TEST(Startup, BadLanguageFileEndsBeforeAnyWindow) {
    Program program("11000|0|Quorvel\r\n11077|x|Exit\r\n");
    App& app = *program.app;
    EXPECT_FALSE(app.startup());
    EXPECT_EQ(app.window(), nullptr);
    EXPECT_FALSE(any_window_visible());
    // The configuration was missing too: both fixed texts, in start-up order.
    EXPECT_EQ(program.dialogs.messages,
              QStringList({"unable to load configuration", "Language File could not be loaded."}));
}

TEST(Startup, WindowIsCaptionedFromTheLanguageFile) {
    Program program(
        "11000|0|Quorvel 5 Service\r\n11500|0|Device/Protocol/System Status/Developer\r\n");
    write_bytes(program.app_dir() + "quorvel5.ini", "TIMERINTERVAL|40\r\n");
    App& app = *program.app;
    ASSERT_TRUE(app.startup());
    EXPECT_TRUE(program.dialogs.messages.isEmpty());
    EXPECT_EQ(app.settings.TIMERINTERVAL, 40);
    // The poll timer runs at the configured interval, also after a reconnection.
    EXPECT_TRUE(app.link.poll.timer1().isActive());
    EXPECT_EQ(app.link.poll.timer1().interval(), 40);
    app.reinit_connection();
    EXPECT_EQ(app.link.poll.timer1().interval(), 40);
    EXPECT_EQ(app.window()->windowTitle(), "Quorvel 5 Service");
    EXPECT_EQ(app.window()->tab1()->tabText(3), "Developer");
    EXPECT_EQ(app.window()->tab1()->currentIndex(), 0);
}
