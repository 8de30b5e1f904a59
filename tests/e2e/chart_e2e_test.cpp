// The chart in the running program on the emulated device.
#include <gtest/gtest.h>
#include <QAction>
#include <QTabWidget>

#include "device/chart.h"
#include "device/chart_box.h"
#include "support/app_rig.h"

namespace {

int pressure_pixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == QColor(0, 128, 0);
    return count;
}

TEST(ChartEndToEnd, FollowsDeviceWindowAndLinkAndSwitchesViews) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    ASSERT_TRUE(rig.start());
    MainWindow* window = rig.app->window();
    window->show();
    auto* box = rig.find<ChartBox>("Chart");
    ASSERT_TRUE(rig.wait_connected());
    auto curve_drawn = [&] {
        return QTest::qWaitFor([&] { return pressure_pixels(box->image()) > 20; }, 5000);
    };
    ASSERT_TRUE(curve_drawn());

    // Another tab and back keeps the picture.
    rig.app->link.poll.timer1().stop();
    const QImage before = box->image().copy();
    window->tab1()->setCurrentIndex(2);
    window->tab1()->setCurrentIndex(0);
    QTest::qWait(20);
    EXPECT_EQ(box->image(), before);
    rig.app->link.poll.timer1().start();

    // "Nur Druck" and the double click, twice: captions of texts 1 and 2.
    QAction* item = window->men_kompressordruck();
    EXPECT_EQ(item->text(), "Nur &Druck");
    const char* captions[] = {"&Alle Kurven", "Nur &Druck", "&Alle Kurven", "Nur &Druck"};
    for (int i = 0; i < 4; ++i) {
        if (i < 2)
            item->trigger();
        else
            QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(300, 100));
        EXPECT_EQ(item->text(), captions[i]);
        const ChartPanels& panels = rig.app->chart()->chart_panels();
        EXPECT_EQ(panels.first, i % 2 == 0 ? 3 : 1) << i;
        const int axis = qRound(panels[panels.first].plot_bottom / 15.0);
        EXPECT_EQ(box->image().pixelColor(100, axis), QColor(128, 128, 128)) << i;
        EXPECT_EQ(box->image().pixelColor(100, axis + 1), box->palette().color(QPalette::Window));
    }

    // A bigger window: the chart is drawn anew at the box's new size.
    window->resize(window->width() + 150, window->height() + 90);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->image().size() == box->size(); }, 2000));
    const ChartPanel& bottom = rig.app->chart()->chart_panels()[3];
    EXPECT_EQ(bottom.top + bottom.height, box->height() * 15);
    ASSERT_TRUE(curve_drawn());

    // The device falls silent: link reset, empty chart; then it is back.
    rig.device.faults().silent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->link.port.is_open(); }, 5000));
    EXPECT_EQ(pressure_pixels(box->image()), 0);
    rig.device.faults().silent = false;
    ASSERT_TRUE(rig.wait_connected(15000));
    EXPECT_TRUE(curve_drawn());
}

}  // namespace
