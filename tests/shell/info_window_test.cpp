#include "shell/info_window.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/clock.h"
#include "platform/language_table.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "support/files.h"
#include "support/program_rig.h"

namespace {

class InfoWindowTest : public ::testing::Test {
protected:
    InfoWindowTest() {
        texts.texts[1000] = "Quorvel 5 Service";
        texts.texts[1001] = "Version";
        texts.texts[1100] = "Service program";
        texts.texts[12000] = "Fine";
        main.show();
    }

    QLabel* label() { return info.findChild<QLabel*>("lbl_text"); }
    QPushButton* ok() { return info.findChild<QPushButton*>("cm_cancel"); }

    LanguageTable texts;
    QWidget main;
    InfoWindow info{&main, texts};
};

}  // namespace

TEST(InfoText, NameVersionAndDescriptionOnThreeLines) {
    LanguageTable texts;
    texts.texts[1000] = "Quorvel 5 Service";
    texts.texts[1001] = "Version";
    texts.texts[1100] = "Service program";
    EXPECT_EQ(info_text(texts, program_version()),
              "Quorvel 5 Service\r\nVersion 1.2.0\r\nService program");
    EXPECT_EQ(info_text(texts, {10, 0, 7}),
              "Quorvel 5 Service\r\nVersion 10.0.7\r\nService program");
}

TEST_F(InfoWindowTest, InfoShowsTheVersionOverADisabledMainWindowUntilOk) {
    info.docommand("info");
    EXPECT_TRUE(info.isVisible());
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(info.isEnabled());
    EXPECT_FALSE(info.was_closed());
    EXPECT_EQ(label()->text(), "Quorvel 5 Service\nVersion 1.2.0\nService program");
    EXPECT_EQ(ok()->text(), "Fine");  // captioned from the language file when it loads

    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_FALSE(info.isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(info.was_closed());
}

TEST_F(InfoWindowTest, CloseBoxEnablesTheMainWindowToo) {
    info.docommand("info");
    info.close();
    EXPECT_FALSE(info.isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(info.was_closed());
}

TEST_F(InfoWindowTest, OtherCommandsShowTheTextTheWindowHolds) {
    info.docommand("wait");
    EXPECT_TRUE(info.isVisible());
    EXPECT_EQ(label()->text(), "");
    info.docommand("info");
    info.docommand("wait");  // while shown: the same window, text kept
    EXPECT_EQ(label()->text(), "Quorvel 5 Service\nVersion 1.2.0\nService program");
    info.close();
    info.docommand("wait");  // a fresh window again
    EXPECT_EQ(label()->text(), "");
}

TEST_F(InfoWindowTest, ProgressDisplayCannotBeDismissedByTheUser) {
    info.docommand("info");
    info.show_progress();
    EXPECT_TRUE(info.isVisible());
    EXPECT_FALSE(ok()->isEnabled());
    EXPECT_FALSE(info.isEnabled());
    EXPECT_FALSE(main.isEnabled());
    EXPECT_EQ(info.text(), "");

    info.set_text("Software Update Block 3/40");
    EXPECT_EQ(label()->text(), "Software Update Block 3/40");
    info.close_window();
    EXPECT_FALSE(info.isVisible());
    EXPECT_TRUE(main.isEnabled());

    info.docommand("info");  // OK works again after a progress run
    EXPECT_TRUE(ok()->isEnabled());
    EXPECT_TRUE(info.isEnabled());
}

// 400 pixels wide as designed, or as wide as the longest line needs; it ends
// with the margin under OK that it has above the text.
TEST_F(InfoWindowTest, ShowsCentredAndFittedToItsText) {
    struct Case {
        QString description;
        int width;  // 0: wider than designed
    };
    const Case cases[] = {
        {"Service program", 400},
        {QString::fromUtf8("Service- und Prüfprogramm für den Sauerstoffkonzentrator Quorvel 5 "
                           "mit einer recht langen Zeile"),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description.toStdString());
        texts.texts[1100] = c.description;
        info.docommand("info");
        const QSize size = info.frameGeometry().size();
        if (c.width > 0) {
            EXPECT_EQ(size.width(), c.width);
        } else {
            EXPECT_GT(size.width(), 400);
        }
        // No line breaks: every line fits the label's width.
        for (const QString& line : label()->text().split(u'\n'))
            EXPECT_LT(label()->fontMetrics().horizontalAdvance(line), label()->width());
        EXPECT_EQ(info.height() - ok()->geometry().bottom() - 1, label()->y());
        EXPECT_EQ(info.height(), 117);
        const QRect area = info.screen()->availableGeometry();
        EXPECT_EQ(info.frameGeometry().topLeft(),
                  area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                          (area.height() - size.height()) / 2));
        info.close();
    }
}

TEST(InfoMenu, MenuInfoOpensTheWindowOverTheMainWindow) {
    Program program;
    App& app = *program.app;
    ASSERT_TRUE(app.startup());
    app.window()->show();

    app.window()->findChild<QAction*>("men_Info")->trigger();
    ASSERT_TRUE(app.info_window()->isVisible());
    EXPECT_TRUE(app.info_window()->text().contains("Version 1.2.0"));
    EXPECT_FALSE(app.window()->isEnabled());

    app.window()->close();  // the program ends: the information window goes with it
    EXPECT_FALSE(app.info_window()->isVisible());
}
