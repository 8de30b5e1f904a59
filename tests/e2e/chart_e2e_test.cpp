// The chart in the running program: it takes the emulated device's status
// records, follows the window's size, keeps its picture across tabs, starts
// empty again after a lost link, and switches views by menu and double click.
#include <gtest/gtest.h>
#include <QAction>
#include <QTabWidget>

#include "device/chart.h"
#include "device/chart_box.h"
#include "support/app_rig.h"

namespace {

// Pixels of the pressure pen's dark green anywhere in the image.
int pressure_pixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == QColor(0, 128, 0);
    return count;
}

TEST(ChartEndToEnd, FollowsTheDeviceTheWindowAndTheLink) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    ASSERT_TRUE(rig.start());
    MainWindow* window = rig.app->window();
    window->show();
    auto* box = rig.find<ChartBox>("Chart");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(rig.wait_connected());
    // Status records of index 1 come every 0.4 s: a few points make a curve.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pressure_pixels(box->image()) > 20; }, 5000));
    EXPECT_GT(rig.app->geraet.laufzeit, 0.0);

    // Another tab and back: the same picture, not a fresh chart.
    rig.app->poll.timer1().stop();
    QTest::qWait(50);
    const QImage before = box->image().copy();
    window->tab1()->setCurrentIndex(2);
    QTest::qWait(20);
    window->tab1()->setCurrentIndex(0);
    QTest::qWait(20);
    EXPECT_EQ(box->image(), before);
    rig.app->poll.timer1().start();

    // A bigger window: the box grows, the chart is drawn anew at that size.
    window->resize(window->width() + 150, window->height() + 90);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->image().size() == box->size(); }, 2000));
    EXPECT_EQ(rig.app->chart()->chart_panels()[3].top + rig.app->chart()->chart_panels()[3].height,
              box->height() * 15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pressure_pixels(box->image()) > 20; }, 5000));

    // The device falls silent: the link is reset and the chart empty.
    rig.device.faults().silent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->port.is_open(); }, 5000));
    EXPECT_EQ(pressure_pixels(box->image()), 0);
    rig.device.faults().silent = false;
    ASSERT_TRUE(rig.wait_connected(15000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pressure_pixels(box->image()) > 20; }, 5000));
}

TEST(ChartEndToEnd, MenuAndDoubleClickSwitchTheViewTwice) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start());
    MainWindow* window = rig.app->window();
    window->show();
    auto* box = rig.find<ChartBox>("Chart");
    QAction* item = window->men_kompressordruck();
    ASSERT_TRUE(rig.wait_connected());     // the tabs take clicks from then on
    EXPECT_EQ(item->text(), "Nur Druck");  // its own caption until the first switch

    struct Step {
        bool by_menu;
        int nur_druck;
        const char* caption;
    };
    // Language texts 1 and 2 of the German file.
    const Step steps[] = {{true, 1, "Alle Kurven"},
                          {true, 0, "Nur Druck"},
                          {false, 1, "Alle Kurven"},
                          {false, 0, "Nur Druck"}};
    for (const Step& s : steps) {
        if (s.by_menu)
            item->trigger();
        else
            QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(300, 100));
        EXPECT_EQ(rig.app->chart()->nur_druck(), s.nur_druck);
        EXPECT_EQ(item->text(), s.caption);
        // One panel or three rows: the first plot ends at its grey axis.
        const ChartPanels& panels = rig.app->chart()->chart_panels();
        EXPECT_EQ(panels.first, s.nur_druck == 1 ? 3 : 1);
        EXPECT_EQ(panels.last, s.nur_druck == 1 ? 3 : 4);
        const int axis_row = qRound(panels[panels.first].plot_bottom / 15.0);
        EXPECT_EQ(box->image().pixelColor(100, axis_row), QColor(128, 128, 128)) << s.caption;
        EXPECT_EQ(box->image().pixelColor(100, axis_row + 1),
                  box->palette().color(QPalette::Window))
            << s.caption;
    }
}

}  // namespace
