// Waits, their hourglass and what they leave behind, and Qt's own texts in
// the program's language.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>
#include <memory>

#include "platform/clock.h"
#include "shell/app.h"
#include "shell/info_window.h"
#include "shell/main_window.h"
#include "support/locale_guard.h"
#include "support/program_rig.h"

namespace {

bool wait_cursor_shows() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

// A wait while the information window shows: the main window stays disabled
// behind it, unless the window was closed meanwhile.
TEST(BusyWait, AWaitGivesBackTheEnabledStateItFound) {
    for (bool close_during_wait : {false, true}) {
        SCOPED_TRACE(close_during_wait);
        Program program;
        App& app = *program.app;
        ManualWaiter& waiter = program.waiter;
        ASSERT_TRUE(app.startup());
        app.window()->show();
        app.window()->findChild<QAction*>("men_Info")->trigger();
        ASSERT_FALSE(app.window()->isEnabled());

        bool disabled_while_waiting = false;
        waiter.during = [&](int) {
            disabled_while_waiting = !app.window()->isEnabled();
            if (close_during_wait) app.info_window()->close();
        };
        app.link.poll.wait_busy(2000);
        ASSERT_EQ(waiter.waits, std::vector<int>{2000});
        EXPECT_TRUE(disabled_while_waiting);
        EXPECT_EQ(app.window()->isEnabled(), close_during_wait);
        EXPECT_EQ(app.info_window()->isVisible(), !close_during_wait);
    }
}

// The serial number waits 800 ms; the status records that arrive meanwhile
// end the hourglass of the start requests, not the wait's.
TEST(BusyWait, StatusRecordsLeaveTheHourglassOfAWait) {
    Program program;
    App& app = *program.app;
    ManualWaiter& waiter = program.waiter;
    ASSERT_TRUE(app.startup());
    app.window()->show();
    ASSERT_EQ(app.window()->cursor().shape(), Qt::WaitCursor);  // the start requests run

    std::vector<bool> shown;
    waiter.during = [&](int ms) {
        if (ms != 800) return;
        shown.push_back(wait_cursor_shows());
        emit app.link.dispatcher.status_record_received();
        shown.push_back(wait_cursor_shows());
        app.link.poll.wait_busy(20);  // a nested wait ends with the outer one still running
        shown.push_back(wait_cursor_shows());
    };
    app.link.poll.wait_busy(800);
    EXPECT_EQ(shown, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(wait_cursor_shows());
    EXPECT_NE(app.window()->cursor().shape(), Qt::WaitCursor);
}

// Qt's own buttons follow the language the program runs in.
TEST(QtTranslations, QtsOwnButtonsSpeakTheProgramsLanguage) {
    struct Case {
        QLocale locale;
        const char* cancel;
    };
    const Case cases[] = {{QLocale(QLocale::German, QLocale::Germany), "Abbrechen"},
                          {QLocale(QLocale::English, QLocale::UnitedKingdom), "Cancel"}};
    for (const Case& c : cases) {
        LocaleGuard locale(c.locale);
        Program program(Program::shipped_languages);
        ASSERT_TRUE(program.app->startup());
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), c.cancel);
    }
    // Once the program has ended, Qt is back to its own English.
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), "Cancel");
}

}  // namespace
