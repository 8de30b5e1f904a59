// Every action of the window without a mouse, in both shipped languages.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

#include "link/requests.h"
#include "platform/mnemonic.h"
#include "support/app_rig.h"

// Alt + letter: unique among the menu bar's titles and each menu's entries, and on
// every tab among its buttons, its Tab-stop fields' captions and the bar's titles.
TEST(KeyboardEndToEnd, EveryMenuAndTabHasItsOwnShortcutsInBothLanguages) {
    for (const QLocale::Language language : {QLocale::German, QLocale::English}) {
        AppRig rig{QLocale(language)};
        ASSERT_TRUE(rig.start());
        QStringList faults;
        const auto claim = [&](QSet<QChar>& taken, const QString& text) {
            const QChar key = mnemonic_of(text);
            if (key.isNull() || taken.contains(key)) faults << text;
            taken.insert(key);
        };
        QSet<QChar> bar;
        for (QAction* title : rig.app->window()->menuBar()->actions()) {
            claim(bar, title->text());
            QSet<QChar> entries;
            for (QAction* entry : title->menu() ? title->menu()->actions() : QList<QAction*>())
                if (!entry->isSeparator()) claim(entries, entry->text());
        }
        for (int tab = 0; tab < 4; ++tab) {
            // The developer tab is built, in the language, when it is first chosen.
            if (tab == 3) rig.app->window()->tab1()->setCurrentIndex(tab);
            QSet<QChar> keys = bar;
            for (QWidget* c : rig.app->window()->tab_page(tab)->findChildren<QWidget*>()) {
                auto* label = qobject_cast<QLabel*>(c);
                auto* button = qobject_cast<QAbstractButton*>(c);
                auto* box = qobject_cast<QLineEdit*>(c);
                const QString text = label ? label->text() : button ? button->text() : QString();
                if (c->objectName() == "cmd_resetbstd") {  // no single key zeroes the hours
                    if (!mnemonic_of(text).isNull()) faults << "zeroes by one key: " + text;
                    continue;
                }
                const bool field =
                    label && label->buddy() && label->buddy()->focusPolicy() & Qt::TabFocus;
                if (field ||
                    (button && (button->isVisibleTo(c->window()) || !mnemonic_of(text).isNull())))
                    claim(keys, text);
                else if (!mnemonic_of(text).isNull())
                    faults << "stray mark: " + text;
                if (box && box->isReadOnly() && box->focusPolicy() & Qt::TabFocus)
                    faults << "read-only Tab stop: " + box->objectName();
                if (qobject_cast<QPushButton*>(c) && !qobject_cast<QPushButton*>(c)->autoDefault())
                    faults << "ignores Enter: " + c->objectName();
            }
        }
        EXPECT_TRUE(faults.isEmpty()) << language << faults.join(" | ").toStdString();
    }
}

// A German technician without a mouse: Tab and Enter on the "Gerät" tab, tabs
// by Ctrl+Tab and Ctrl+PgDown, the command line, menus by Alt and F10.
TEST(KeyboardEndToEnd, MenusTabsAndButtonsAnswerTheKeysAlone) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.wait_connected());
    MainWindow* window = rig.app->window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QWidget* popup = QApplication::activePopupWidget();
        QTest::keyClick(popup ? popup : QApplication::focusWidget(), k, mods);
    };
    const auto focus = [] {
        QWidget* widget = QApplication::focusWidget();
        return widget ? widget->objectName() : QString();
    };
    const auto popup = [] {
        QWidget* menu = QApplication::activePopupWidget();
        return menu ? menu->objectName() : QString();
    };
    // Past the read-only boxes to "Reset"; once it has written, the focus
    // leaves it for the page, so a second Enter writes nothing.
    for (int i = 0; i < 4; ++i) key(Qt::Key_Tab);
    EXPECT_EQ(focus(), "cmd_t_reset");
    rig.record_requests();
    key(Qt::Key_Return);
    EXPECT_TRUE(rig.requests.contains(req_set_zeit(0, 100)));
    EXPECT_EQ(QApplication::focusWidget(), window->tab_page(0));

    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(focus(), "t_krankenkasse");
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_PageDown, Qt::ControlModifier);
    ASSERT_EQ(window->tab1()->currentIndex(), 3);
    EXPECT_EQ(focus(), "Command1");
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    EXPECT_EQ(focus(), "tb_command");
    rig.record_requests();
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(req_version()));
    key(Qt::Key_Return);
    key(Qt::Key_Tab);
    EXPECT_EQ(focus(), "cmd_sendcommand");
    key(Qt::Key_Enter);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.requests.count(req_version()) >= 2; }, 3000));

    key(Qt::Key_F10);
    EXPECT_EQ(popup(), "men_Datei");
    key(Qt::Key_Escape);
    key(Qt::Key_Escape);
    EXPECT_EQ(popup(), "");
    // Offscreen, a closed menu keeps the activation that a desktop hands back.
    window->activateWindow();
    key(Qt::Key_V, Qt::AltModifier);  // "Verbindung initialisieren" goes to tab 0
    EXPECT_EQ(window->tab1()->currentIndex(), 0);
    // The tabs wait for the device; then the keys go on where they were.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->tab1()->isEnabled(); }, 3000));
    EXPECT_EQ(QApplication::focusWidget(), window->tab_page(0));
    rig.dialogs.files.push_back("");  // the image file dialog is cancelled
    key(Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(popup(), "men_Datei");
    key(Qt::Key_S);  // "Softwareupdate"
    EXPECT_EQ(rig.dialogs.dialog_dirs.size(), 1);
    window->activateWindow();
    key(Qt::Key_D, Qt::AltModifier);
    key(Qt::Key_B);  // "Beenden"
    EXPECT_FALSE(window->isVisible());
}
