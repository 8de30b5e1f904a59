// Every caption of the window stays whole at the smallest window size, in
// both shipped languages.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

#include "platform/mnemonic.h"
#include "shell/main_window.h"
#include "support/locale_guard.h"
#include "support/program_rig.h"

namespace {

// The width a control leaves its caption.
int room_for_caption(const QWidget* control) {
    if (auto* button = qobject_cast<const QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect = button->rect();
        return button->style()
                   ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                   .width() -
               4;
    }
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->contentsRect().width() - 2 * label->margin();
    return control->width() - 16;  // a group box's title, with its indent
}

// The caption as it reads on the screen, without its shortcut mark.
QString caption(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return without_mnemonic(button->text());
    if (auto* label = qobject_cast<const QLabel*>(control)) return without_mnemonic(label->text());
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    return QString();
}

// "name: caption needs N, has M" for every caption that would be cut or
// squeezed at its control's own font.
QStringList captions_cut(QWidget* window) {
    QStringList cut;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->property("textId").isValid()) continue;
        const QString text = caption(control);
        if (text.isEmpty() || qobject_cast<QTabWidget*>(control)) continue;
        const int needed = control->fontMetrics().horizontalAdvance(text);
        const int room = room_for_caption(control);
        if (needed > room)
            cut << QStringLiteral("%1 \"%2\": needs %3, has %4")
                       .arg(control->objectName(), text)
                       .arg(needed)
                       .arg(room);
    }
    return cut;
}

}  // namespace

TEST(Captions, EveryCaptionIsWholeAtTheSmallestWindowInBothLanguages) {
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::English, QLocale::UnitedKingdom)}) {
        SCOPED_TRACE(locale.name().toStdString());
        LocaleGuard guard(locale);
        Program program(Program::shipped_languages);
        ASSERT_TRUE(program.app->startup());
        MainWindow* window = program.app->window();
        window->show();
        window->resize(window->minimumSize());
        for (int tab = 0; tab < window->tab1()->count(); ++tab) {
            window->tab1()->setCurrentIndex(tab);
            QApplication::processEvents();
        }
        const QStringList cut = captions_cut(window);
        EXPECT_TRUE(cut.isEmpty()) << cut.join(u'\n').toStdString();
        // The tab captions are never shortened either.
        QTabBar* bar = window->tab1()->tabBar();
        for (int tab = 0; tab < bar->count(); ++tab)
            EXPECT_GE(bar->tabRect(tab).width(),
                      bar->fontMetrics().horizontalAdvance(bar->tabText(tab)));
    }
}
