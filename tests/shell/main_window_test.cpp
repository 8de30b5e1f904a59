#include "shell/main_window.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "shell/app.h"
#include "shell/center_form.h"
#include "shell/tab_layout.h"
#include "support/files.h"
#include "support/program_rig.h"

namespace {

// Distances from a control to the right and bottom edges of its page.
int right_margin(const QWidget* control) {
    return control->parentWidget()->width() - control->geometry().right() - 1;
}
int bottom_margin(const QWidget* control) {
    return control->parentWidget()->height() - control->geometry().bottom() - 1;
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        // Stands in for the chart that the device tab puts on page 0.
        chart = new QWidget(window.tab_page(0));
        chart->setObjectName("Chart");
        chart->setGeometry(page_rect(180, 4320, 14295, 5235));
    }

    void load_and_show() {
        window.size_and_center();
        window.tab1()->setCurrentIndex(0);
        window.finish_loading();
        window.show();
        QApplication::processEvents();
    }

    void resize_outer(int width, int height) {
        set_outer_size(&window, QSize(width, height));
        QApplication::processEvents();
    }

    MainWindow window;
    QWidget* chart;
};

}  // namespace

// The headless screen (800 px) is narrower than the window: it fits the screen.
TEST_F(MainWindowTest, LoadingGivesTheDesignedClientHeightAndAMinimumThatFits) {
    load_and_show();
    EXPECT_EQ(window.tab1()->height(), 725);
    EXPECT_EQ(window.tab1()->pos().x(), 0);
    EXPECT_EQ(window.min_width(), to_twips(window.screen()->availableGeometry().width()));
    EXPECT_EQ(window.min_height(), 10875);
}

TEST_F(MainWindowTest, CannotBeMadeSmallerThanTheMinimum) {
    load_and_show();
    resize_outer(300, 200);
    const QSize outer = outer_size(&window);
    EXPECT_EQ(outer.width(), twips(window.min_width()));
    EXPECT_EQ(outer.height(), twips(10875));
    // The minimum is the client height alone: the menu bar comes off the client.
    EXPECT_LT(window.tab1()->height(), 725);

    resize_outer(1100, 700);
    EXPECT_EQ(outer_size(&window), QSize(1100, 725));
}

TEST_F(MainWindowTest, WindowWiderThanTheScreenStartsAtItsLeftEdge) {
    QScreen* screen = window.screen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    // The headless screen is 800 × 800: too narrow for the window, tall enough.
    ASSERT_LT(area.width(), 1010);
    ASSERT_GT(area.height(), 760);
    window.size_and_center();
    const QRect placed = window.frameGeometry();
    EXPECT_EQ(placed.left(), area.left());
    EXPECT_GT(placed.top(), area.top());
    EXPECT_NEAR(placed.top() - area.top(), area.bottom() - placed.bottom(), 1);  // odd remainder
}

TEST(CentredPosition, CentresAndClampsOnlyWhenAsked) {
    EXPECT_EQ(centred_position(QSize(1920, 1080), QSize(1020, 780), true), QPoint(450, 150));
    EXPECT_EQ(centred_position(QSize(800, 600), QSize(1020, 780), true), QPoint(0, 0));
    EXPECT_EQ(centred_position(QSize(800, 600), QSize(1020, 780), false), QPoint(-110, -90));
    EXPECT_EQ(centred_position(QSize(1000, 600), QSize(1020, 400), true), QPoint(0, 100));
}

TEST_F(MainWindowTest, ChartKeepsEqualMarginsOnTheDeviceTab) {
    load_and_show();
    const int designed_width = chart->width();
    resize_outer(1400, 1000);
    EXPECT_GT(chart->width(), designed_width);
    EXPECT_EQ(chart->pos(), page_rect(180, 4320, 0, 0).topLeft());
    EXPECT_EQ(right_margin(chart), chart->x());
    EXPECT_EQ(bottom_margin(chart), chart->x());
}

TEST_F(MainWindowTest, StatusTabKeepsItsThreeMarginsEqual) {
    load_and_show();
    window.tab1()->setCurrentIndex(2);
    QApplication::processEvents();
    resize_outer(1300, 950);

    const QWidget* text = window.sysstatout();
    const QWidget* read = window.cmd_sysstatread();
    const QWidget* save = window.cmd_sysstatsave();
    const int m = text->y();
    EXPECT_EQ(right_margin(text), text->x());
    EXPECT_EQ(read->y() - text->geometry().bottom() - 1, m);
    EXPECT_EQ(bottom_margin(read), m);
    EXPECT_EQ(save->y(), read->y());
    EXPECT_EQ(read->x(), page_rect(180, 0, 0, 0).x());  // buttons keep their left edges
}

TEST_F(MainWindowTest, StatusTabFollowsASizeChangeMadeOnAnotherTab) {
    load_and_show();
    resize_outer(1300, 950);  // while tab 0 shows
    window.tab1()->setCurrentIndex(2);
    QApplication::processEvents();
    EXPECT_EQ(right_margin(window.sysstatout()), window.sysstatout()->x());
    EXPECT_EQ(bottom_margin(window.cmd_sysstatread()), window.sysstatout()->y());
}

TEST(TabLayout, PagesSmallerThanTheMarginsGiveEmptyControlsNotNegativeOnes) {
    const QRect chart = chart_geometry(QSize(20, 100), QRect(12, 264, 953, 349));
    EXPECT_EQ(chart.size(), QSize(0, 0));
    EXPECT_EQ(chart.topLeft(), QPoint(12, 264));

    const SysstatGeometry tiny = sysstat_geometry(
        QSize(5, 20), {QRect(4, 4, 1005, 609), QRect(12, 616, 168, 29), QRect(184, 616, 120, 29)});
    EXPECT_EQ(tiny.text.size(), QSize(0, 0));
    EXPECT_GE(tiny.read.top(), 0);
    EXPECT_EQ(tiny.save.top(), tiny.read.top());
}

TEST_F(MainWindowTest, ChangingTabIsAnnouncedWithTheNewIndex) {
    QSignalSpy spy(&window, &MainWindow::tab_changed);
    window.tab1()->setCurrentIndex(3);
    window.tab1()->setCurrentIndex(1);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 3);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 1);
}

TEST_F(MainWindowTest, FourTabsAndAStatusTableInAFixedPitchFont) {
    ASSERT_EQ(window.tab1()->count(), 4);
    EXPECT_EQ(window.tab1()->tabText(0), QString::fromUtf8("Gerät"));
    EXPECT_EQ(window.tab1()->tabText(3), "Entwickler");
    // The status memory table sits on tab 2 with its two buttons.
    EXPECT_EQ(window.sysstatout()->parentWidget(), window.tab_page(2));
    EXPECT_EQ(window.cmd_sysstatread()->parentWidget(), window.tab_page(2));
    EXPECT_EQ(window.frm_protokoll()->parentWidget(), window.tab_page(1));
    EXPECT_TRUE(window.sysstatout()->isReadOnly());
    // The status table's columns line up.
    const QFontMetrics metrics(window.sysstatout()->font());
    EXPECT_EQ(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("WWWW"));
}

TEST_F(MainWindowTest, MenuHasItsEntriesInOrder) {
    auto* datei = window.findChild<QMenu*>("men_Datei");
    auto* diagramm = window.findChild<QMenu*>("men_Diagramm");
    ASSERT_NE(datei, nullptr);
    ASSERT_NE(diagramm, nullptr);

    QStringList names;
    for (QAction* action : datei->actions()) names << action->objectName();
    EXPECT_EQ(names, QStringList({"men_Softwareupdate", "men_besuch", "men_archiv",
                                  "men_archivordner", "mendiv", "men_Info", "men_beenden"}));
    EXPECT_TRUE(datei->actions().at(4)->isSeparator());
    ASSERT_EQ(diagramm->actions().size(), 1);
    EXPECT_EQ(diagramm->actions().at(0), window.men_kompressordruck());

    // "Verbindung initialisieren" sits on the bar itself and opens no menu.
    QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar.at(0)->menu(), datei);
    EXPECT_EQ(bar.at(1)->menu(), diagramm);
    EXPECT_EQ(bar.at(2)->objectName(), "men_verbindung");
    EXPECT_EQ(bar.at(2)->menu(), nullptr);
}

TEST_F(MainWindowTest, MenuEntriesRaiseTheirRequests) {
    QSignalSpy update(&window, &MainWindow::firmware_update_requested);
    QSignalSpy info(&window, &MainWindow::info_requested);
    QSignalSpy chart_toggle(&window, &MainWindow::chart_toggle_requested);
    QSignalSpy reconnect(&window, &MainWindow::reconnect_requested);
    window.findChild<QAction*>("men_Softwareupdate")->trigger();
    window.findChild<QAction*>("men_Info")->trigger();
    window.findChild<QAction*>("men_Kompressordruck")->trigger();
    window.findChild<QAction*>("men_verbindung")->trigger();
    EXPECT_EQ(update.count(), 1);
    EXPECT_EQ(info.count(), 1);
    EXPECT_EQ(chart_toggle.count(), 1);
    EXPECT_EQ(reconnect.count(), 1);
}

TEST_F(MainWindowTest, BeendenClosesLikeTheCloseBox) {
    load_and_show();
    QSignalSpy closing(&window, &MainWindow::close_requested);
    window.findChild<QAction*>("men_beenden")->trigger();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(window.isVisible());
}

namespace {

class AppWindowTest : public ::testing::Test {
protected:
    Program program{"11080|0|Reconnect\r\n"};
    App& app = *program.app;
};

}  // namespace

TEST_F(AppWindowTest, ReconnectGoesBackToTheDeviceTabAndOpensTheConverter) {
    ASSERT_TRUE(app.startup());
    app.link.port.closedevice();
    app.link.poll.timer1().stop();
    app.window()->tab1()->setCurrentIndex(2);

    app.window()->findChild<QAction*>("men_verbindung")->trigger();
    EXPECT_EQ(app.window()->tab1()->currentIndex(), 0);
    EXPECT_TRUE(app.link.port.is_open());
    EXPECT_TRUE(app.link.poll.timer1().isActive());
}

TEST_F(AppWindowTest, ClosingTheWindowClosesTheConverter) {
    ASSERT_TRUE(app.startup());
    ASSERT_TRUE(app.link.port.is_open());
    app.window()->show();
    app.window()->close();
    EXPECT_FALSE(app.link.port.is_open());
    EXPECT_FALSE(app.link.poll.timer1().isActive());
}
