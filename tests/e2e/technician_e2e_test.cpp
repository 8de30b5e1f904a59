// A technician's round over the emulated device, one story per theme.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

#include "device/chart_box.h"
#include "device/device_tab.h"
#include "support/app_rig.h"

namespace {
struct Round : AppRig {
    Round() : AppRig(QLocale(QLocale::German, QLocale::Germany)) {}
    void show() {
        app->window()->show();
        app->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(app->window()));
    }
    QString text(int id) const { return app->texts.lang_text(id); }
};
}  // namespace

TEST(TechnicianEndToEnd, ZeroingAsksNamingBothValuesAndTakesNoSecondKey) {
    Round rig;
    ASSERT_TRUE(rig.start_connected());
    rig.show();
    auto* zero = rig.find<QPushButton>("cmd_resetbstd");
    EXPECT_EQ(zero->text(), "=>0");  // no mnemonic
    rig.dialogs.answers = {false, true};
    QTest::mouseClick(zero, Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.questions, QStringList{"Betriebsstunden des Geräts wirklich von "
                                                 "01234:50 auf 00000:00 zurücksetzen?"});
    QTest::qWait(500);
    EXPECT_EQ(rig.device.state().hours_text(), "012345");
    QTest::mouseClick(zero, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.device.state().hours_text() == "000000"; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the focus has moved on
    EXPECT_EQ(rig.dialogs.questions.size(), 2);
}

TEST(TechnicianEndToEnd, TheProgramNeverStandsInTheWay) {
    Round rig;
    rig.ft.set_device_count(0);
    ASSERT_TRUE(rig.start());
    rig.show();
    MainWindow* window = rig.app->window();
    EXPECT_EQ(rig.find<QComboBox>("cb_t_3")->currentText(), "");  // not "0,00"
    // The no-device message does not wait for its OK and goes by itself.
    rig.app->link.poll_state.open_quiet = false;
    rig.app->reinit_connection();
    EXPECT_EQ(rig.dialogs.messages, QStringList{rig.text(2100) + "\r\n" + rig.text(2200)});
    EXPECT_TRUE(rig.dialogs.notice_open);
    rig.ft.set_device_count(1);
    ASSERT_TRUE(rig.wait_connected());
    EXPECT_FALSE(rig.dialogs.notice_open);
    rig.ft.hold_elsewhere(true);  // another program holds the converter
    rig.app->reinit_connection();
    EXPECT_EQ(rig.find<QLabel>("lbl_verbindung")->text(),
              rig.text(2952).arg("ttyQV5SIM", "Device or resource busy"));
    rig.ft.hold_elsewhere(false);
    ASSERT_TRUE(rig.wait_connected());

    // The headless screen is 800 px wide: the window fits, the page scrolls.
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
    auto* scroll = qobject_cast<QScrollArea*>(window->tab1()->currentWidget());
    QWidget* phase = rig.find<QWidget>("frmPhase");
    scroll->ensureWidgetVisible(phase, 0, 0);
    EXPECT_TRUE(scroll->viewport()->rect().contains(
        QRect(phase->mapTo(scroll->viewport(), QPoint()), phase->size())));
    // A resize keeps the curves drawn.
    ChartBox* box = rig.app->device_tab()->chart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.app->link.geraet.laufzeit > 3; }, 8000));
    const int height = box->height();
    window->resize(window->width(), window->height() + 30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->image().height() != height; }));
    EXPECT_FALSE(box->image().allGray());  // the curves' colours, not an empty chart

    // The menu answers while the link waits; what is chosen then runs after
    // the wait, not inside it and not never.
    QSignalSpy toggles(window, &MainWindow::chart_toggle_requested);
    bool menu_live = false;
    int toggled_inside = -1;
    QTimer::singleShot(10, window, [&] {
        menu_live = rig.find<QMenu>("men_Diagramm")->isEnabled();
        rig.find<QAction>("men_Kompressordruck")->trigger();
        toggled_inside = int(toggles.size());
    });
    rig.app->link.poll.wait_busy(100);
    EXPECT_TRUE(menu_live);
    EXPECT_EQ(toggled_inside, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return toggles.size() == 1; }, 2000));
}

TEST(TechnicianEndToEnd, TheChartSaysWhatItDrawsAndHintsGoWithTheirProtocol) {
    Round rig;
    ASSERT_TRUE(rig.start_connected());
    rig.show();
    ChartBox* box = rig.app->device_tab()->chart();
    const QImage legend = box->grab(box->legend_rect()).toImage();
    const auto stroke = [&legend](int from, int to) {  // down the legend's left end
        for (int y = from; y < to; ++y)
            if (legend.pixelColor(8, y) != Qt::white) return legend.pixelColor(8, y);
        return QColor();
    };
    EXPECT_EQ(stroke(2, legend.height() / 2), QColor(255, 0, 0));  // amplitude, then sensor
    EXPECT_EQ(stroke(legend.height() / 2, legend.height() - 2), QColor(192, 0, 192));
    rig.app->window()->findChild<QAction*>("men_Kompressordruck")->trigger();
    EXPECT_TRUE(box->legend_rect().isEmpty());

    rig.app->window()->tab1()->setCurrentIndex(1);
    auto* hint = rig.find<QLabel>("lbl_hinweis");
    QTest::sendKeyEvent(QTest::Click, rig.find<QLineEdit>("t_patient"), Qt::Key_unknown,
                        QString::fromUtf8("Ł"), {});
    EXPECT_TRUE(hint->text().contains(QString::fromUtf8("Ł")));
    rig.dialogs.save_answers = {SaveAnswer::discard};
    rig.find<QPushButton>("cmd_new")->click();
    EXPECT_EQ(hint->text(), "");
}
