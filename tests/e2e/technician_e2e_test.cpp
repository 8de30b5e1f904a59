// A technician's round over the emulated device: writes that ask first and
// leave no key on a writing button, a program that never stands in the way,
// and the small things seen on the way.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include "device/chart_box.h"
#include "device/device_tab.h"
#include "link/requests.h"
#include "support/app_rig.h"

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

bool wrote(const AppRig& rig, char letter) {
    for (const QByteArray& r : rig.requests)
        if (r.startsWith(letter)) return true;
    return false;
}

void show_active(MainWindow* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

int pixels_of(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
}

}  // namespace

TEST(TechnicianEndToEnd, WritesToTheDeviceAskFirstAndLeaveNoKeyOnAWritingButton) {
    AppRig rig(kGerman);
    ASSERT_TRUE(rig.start_connected());
    show_active(rig.app->window());
    const LanguageTable& texts = rig.app->texts;
    const Geraetedaten& geraet = rig.app->link.geraet;
    auto* sn = rig.find<QLineEdit>("t_sn");
    auto* zero = rig.find<QPushButton>("cmd_resetbstd");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sn->text() == "QV5000012345"; }));

    // Enter in the serial number box asks, naming the old and the new number;
    // No writes nothing and leaves the typed number to mend.
    sn->setFocus();
    sn->selectAll();
    QTest::keyClicks(sn, "QV5-NEU-1");
    rig.record_requests();
    rig.dialogs.answers = {false};
    QTest::keyClick(sn, Qt::Key_Return);
    ASSERT_EQ(rig.dialogs.questions.size(), 1);
    EXPECT_EQ(rig.dialogs.questions[0], texts.lang_text(6601).arg("QV5000012345", "QV5-NEU-1"));
    EXPECT_TRUE(rig.dialogs.questions[0].contains("QV5000012345"));
    QTest::qWait(200);
    EXPECT_FALSE(wrote(rig, 'E'));
    // Yes writes it; the focus stays in the box, so Enter there again writes nothing.
    rig.dialogs.answers = {true};
    QTest::keyClick(sn, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return geraet.sn == "QV5-NEU-1   "; }));
    EXPECT_TRUE(wrote(rig, 'E'));
    EXPECT_EQ(QApplication::focusWidget(), sn);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(rig.dialogs.questions.size(), 2);

    // "=>0" has no mnemonic, asks naming the hours now and after, and gives
    // its focus away whatever the answer.
    EXPECT_EQ(zero->text(), "=>0");
    rig.record_requests();
    rig.dialogs.answers = {false};
    QTest::mouseClick(zero, Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.questions.last(), texts.lang_text(6600).arg("01234:50", "00000:00"));
    EXPECT_NE(QApplication::focusWidget(), zero);
    QTest::qWait(500);
    EXPECT_FALSE(wrote(rig, 'X'));
    rig.dialogs.answers = {true};
    QTest::mouseClick(zero, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return geraet.bstd == "00000:00"; }));
    EXPECT_NE(QApplication::focusWidget(), zero);
    const int asked = int(rig.dialogs.questions.size());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(rig.dialogs.questions.size(), asked);

    // "Set" comes up holding the hours as shown, refuses a short form saying
    // what it expects, and takes the shown form.
    rig.dialogs.inputs = {QStringLiteral("1300:50"), QStringLiteral("01300:50")};
    QTest::mouseClick(rig.find<QPushButton>("cmd_setbstd"), Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.input_initials, (QStringList{"00000:00", "1300:50"}));
    EXPECT_EQ(rig.dialogs.messages, QStringList{texts.lang_text(111)});
    EXPECT_TRUE(texts.lang_text(111).contains("01300:50"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return geraet.bstd == "01300:50"; }));
    EXPECT_EQ(QApplication::focusWidget(), rig.find<QLineEdit>("t_bstd"));
}

TEST(TechnicianEndToEnd, TheProgramNeverStandsInTheWay) {
    AppRig rig(kGerman);
    rig.ft.set_device_count(0);
    ASSERT_TRUE(rig.start());
    MainWindow* window = rig.app->window();
    show_active(window);
    auto* line = rig.find<QLabel>("lbl_verbindung");
    const LanguageTable& texts = rig.app->texts;

    // No device: the timing lists show nothing rather than "0,00".
    EXPECT_EQ(rig.find<QComboBox>("cb_t_3")->currentText(), "");
    // Past the quiet attempts the message shows but does not wait for its OK:
    // the device plugged in meanwhile connects and the message goes by itself.
    rig.app->link.poll_state.open_quiet = false;
    rig.app->reinit_connection();
    EXPECT_EQ(rig.dialogs.messages,
              QStringList{texts.lang_text(2100) + "\r\n" + texts.lang_text(2200)});
    EXPECT_TRUE(rig.dialogs.notice_open);
    rig.ft.set_device_count(1);
    ASSERT_TRUE(rig.wait_connected());
    EXPECT_FALSE(rig.dialogs.notice_open);
    EXPECT_EQ(line->text(), texts.lang_text(6300));

    // A converter another program holds is named as such, not "no device".
    rig.ft.hold_elsewhere(true);
    rig.app->reinit_connection();
    EXPECT_EQ(line->text(), texts.lang_text(2952).arg("ttyQV5SIM", "Device or resource busy"));
    rig.ft.hold_elsewhere(false);
    ASSERT_TRUE(rig.wait_connected());
    EXPECT_EQ(line->text(), texts.lang_text(6300));

    // On a screen smaller than the designed window (the headless screen is
    // 800 px wide) the window fits, and the page scrolls to every control.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry())) << screen.width();
    auto* scroll = qobject_cast<QScrollArea*>(window->tab1()->currentWidget());
    ASSERT_NE(scroll, nullptr);
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    for (const char* name : {"frmPhase", "frmAlarme", "Chart"}) {
        QWidget* control = rig.find<QWidget>(name);
        const QPoint corner = control->geometry().bottomRight();
        scroll->ensureVisible(corner.x(), corner.y(), 1, 1);
        const QPoint seen =
            control->mapTo(scroll->viewport(), QPoint(control->width() - 1, control->height() - 1));
        EXPECT_TRUE(scroll->viewport()->rect().contains(seen))
            << name << " at " << seen.x() << "," << seen.y() << " in "
            << scroll->viewport()->width() << "x" << scroll->viewport()->height();
    }

    // A resize keeps what the chart shows and its time axis runs on.
    ChartBox* box = rig.app->device_tab()->chart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.app->link.geraet.laufzeit > 3; }, 8000));
    const QRgb blue = qRgb(0, 0, 255);
    ASSERT_GT(pixels_of(box->image(), blue), 0);
    const double before = rig.app->link.geraet.laufzeit;
    const int old_height = box->height();
    window->resize(window->width(), window->height() + 30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->height() != old_height; }));
    QApplication::processEvents();
    EXPECT_EQ(box->image().deviceIndependentSize().toSize(), box->size());
    EXPECT_GT(pixels_of(box->image(), blue), 0);
    QTest::qWait(500);
    EXPECT_GE(rig.app->link.geraet.laufzeit, before);
}

TEST(TechnicianEndToEnd, SmallThingsATechnicianNotices) {
    AppRig rig(kGerman);
    ASSERT_TRUE(rig.start_connected());
    MainWindow* window = rig.app->window();
    show_active(window);
    const LanguageTable& texts = rig.app->texts;

    // The chart's middle row says which curve is which and what is drawn,
    // in the curves' colours, over the picture; the pressure alone needs none.
    ChartBox* box = rig.app->device_tab()->chart();
    const QRect legend = box->legend_rect();
    ASSERT_FALSE(legend.isEmpty());
    EXPECT_TRUE(box->rect().contains(legend));
    const QImage shown = box->grab().toImage();
    const QRect first_stroke(legend.left(), legend.top(), 20, legend.height() / 2);
    const QRect second_stroke = first_stroke.translated(0, legend.height() / 2);
    const auto has = [&shown](const QRect& area, QColor colour) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shown.pixelColor(x * shown.devicePixelRatio(), y * shown.devicePixelRatio()) ==
                    colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(has(first_stroke, QColor(255, 0, 0)));
    EXPECT_TRUE(has(second_stroke, QColor(192, 0, 192)));
    EXPECT_TRUE(texts.lang_text(6602).contains("400"));
    window->findChild<QAction*>("men_Kompressordruck")->trigger();
    EXPECT_TRUE(box->legend_rect().isEmpty());

    // A hint under the protocol goes with its protocol: a new one starts without it.
    QTabWidget* tabs = window->tab1();
    tabs->setCurrentIndex(1);
    auto* patient = rig.find<QLineEdit>("t_patient");
    auto* hint = rig.find<QLabel>("lbl_hinweis");
    patient->setFocus();
    for (QChar c : QString::fromUtf8("Łukasz"))
        QTest::sendKeyEvent(QTest::Click, patient, Qt::Key_unknown, QString(c), Qt::NoModifier);
    EXPECT_TRUE(hint->text().contains(QString::fromUtf8("Ł"))) << hint->text().toStdString();
    rig.dialogs.save_answers = {SaveAnswer::discard};
    rig.find<QPushButton>("cmd_new")->click();
    EXPECT_EQ(patient->text(), "");
    EXPECT_EQ(hint->text(), "");
}
