#include "shell/apply_language.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <functional>
#include <vector>

#include "platform/language_table.h"

namespace {

template <typename T>
T* tagged(T* object, int id) {
    object->setProperty("textId", id);
    return object;
}

class ApplyLanguageTest : public ::testing::Test {
protected:
    ApplyLanguageTest() {
        window.setProperty("textId", 11000);
        tabs = tagged(new QTabWidget(&window), 11500);
        for (const char* caption : {"A", "B", "C", "D"}) tabs->addTab(new QWidget, caption);
        window.setCentralWidget(tabs);
        auto* page = tabs->widget(0);
        label = tagged(new QLabel("design label", page), 11073);
        button = tagged(new QPushButton("design button", page), 11029);
        group = tagged(new QGroupBox("design group", page), 11030);
        untagged = new QLabel("stays", page);
        in_group = tagged(new QLabel("inside", group), 11033);
        menu = tagged(window.menuBar()->addMenu("Datei"), 11075);
        quit = tagged(menu->addAction("Beenden"), 11077);
        design_points = label->font().pointSize();
    }

    QMainWindow window;
    QTabWidget* tabs;
    QLabel* label;
    QPushButton* button;
    QGroupBox* group;
    QLabel* untagged;
    QLabel* in_group;
    QMenu* menu;
    QAction* quit;
    int design_points = 0;
    LanguageTable texts;
};

}  // namespace

TEST_F(ApplyLanguageTest, CaptionsEveryTaggedControlAndTheWindow) {
    texts.texts[11000] = "Quorvel 5 Service";
    texts.texts[11073] = "Serial number";
    texts.texts[11029] = "Save";
    texts.texts[11030] = "Alarms";
    texts.texts[11075] = "File";
    texts.texts[11077] = "Exit";
    apply_language(&window, texts);
    EXPECT_EQ(window.windowTitle(), "Quorvel 5 Service");
    EXPECT_EQ(label->text(), "Serial number");
    EXPECT_EQ(button->text(), "Save");
    EXPECT_EQ(group->title(), "Alarms");
    EXPECT_EQ(menu->title(), "File");
    EXPECT_EQ(quit->text(), "Exit");
    EXPECT_EQ(untagged->text(), "stays");
}

TEST_F(ApplyLanguageTest, UndefinedIdLeavesAnEmptyCaption) {
    apply_language(&window, texts);
    EXPECT_EQ(quit->text(), "");
    EXPECT_EQ(label->text(), "");
}

TEST_F(ApplyLanguageTest, TabCaptionsSplitAtSlashes) {
    texts.texts[11500] = "Device/Protocol/Status/Dev/Extra";
    apply_language(&window, texts);
    EXPECT_EQ(tabs->tabText(0), "Device");
    EXPECT_EQ(tabs->tabText(3), "Dev");

    texts.texts[11500] = "Eins/Zwei";
    apply_language(&window, texts);
    EXPECT_EQ(tabs->tabText(0), "Eins");
    EXPECT_EQ(tabs->tabText(1), "Zwei");
    EXPECT_EQ(tabs->tabText(2), "Status");  // beyond the pieces: unchanged
}

TEST_F(ApplyLanguageTest, FontSizesApplyOnlyWhereGiven) {
    texts.sizes[11029] = 12;
    apply_language(&window, texts);
    EXPECT_EQ(button->font().pointSize(), 12);
    EXPECT_EQ(label->font().pointSize(), design_points);
}

// A size given to a container sizes its own caption only: the title of a group
// box, the tab captions of the tab control; a menu has no font to size.
TEST_F(ApplyLanguageTest, ASizeStaysWithTheControlThatCarriesIt) {
    const int menu_points = menu->font().pointSize();
    struct Case {
        int id;
        std::function<int()> own;  // the caption's size, or -1 where nothing may change
    };
    const std::vector<Case> cases = {
        {11030, [this] { return group->font().pointSize(); }},
        {11500, [this] { return tabs->tabBar()->font().pointSize(); }},
        {11075, [] { return -1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        LanguageTable sized;
        sized.sizes[size_t(c.id)] = 15;
        apply_language(&window, sized);
        if (c.own() >= 0) {
            EXPECT_EQ(c.own(), 15);
        }
        EXPECT_EQ(label->font().pointSize(), design_points);
        EXPECT_EQ(button->font().pointSize(), design_points);
        EXPECT_EQ(in_group->font().pointSize(), design_points);
        EXPECT_EQ(menu->font().pointSize(), menu_points);
    }
    // A control inside keeps a size of its own, whichever comes first.
    texts.sizes[11030] = 14;
    texts.sizes[11033] = 6;
    apply_language(&window, texts);
    EXPECT_EQ(group->font().pointSize(), 14);
    EXPECT_EQ(in_group->font().pointSize(), 6);
}
