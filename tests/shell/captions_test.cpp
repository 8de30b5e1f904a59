// Every control that takes its caption from the language files has it in both
// shipped languages, names the field it captions, and stays whole at the
// smallest window size.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

#include "platform/control_name.h"
#include "platform/mnemonic.h"
#include "shell/info_window.h"
#include "shell/language.h"
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

QString caption_of(const QObject* object) {
    if (auto* action = qobject_cast<const QAction*>(object)) return action->text();
    if (auto* menu = qobject_cast<const QMenu*>(object)) return menu->title();
    if (auto* tabs = qobject_cast<const QTabWidget*>(object)) return tabs->tabText(0);
    if (auto* widget = qobject_cast<const QWidget*>(object)) {
        const QString text = caption(widget);
        return text.isEmpty() ? widget->windowTitle() : text;
    }
    return QString();
}

// The field a caption label names: "lbl_" + X captions t_X, p_X or cb_X.
QWidget* captioned_field(QWidget* window, const QLabel* label) {
    const QString stem = label->objectName().mid(4);
    for (QWidget* field : window->findChildren<QWidget*>()) {
        const QString name = field->objectName();
        for (const char* prefix : {"t_", "p_", "cb_"})
            if (name.compare(QLatin1String(prefix) + stem, Qt::CaseInsensitive) == 0) return field;
    }
    return nullptr;
}

LanguageTable shipped(const char* file) {
    LanguageTable texts;
    ScriptedDialogs dialogs;
    EXPECT_TRUE(load_language(texts, QStringLiteral(QV5_BUILD_BIN_DIR) + file, dialogs)) << file;
    return texts;
}

}  // namespace

TEST(Captions, EveryControlWithATextIdIsCaptionedInBothLanguagesAndNamesItsField) {
    const LanguageTable de = shipped("langDE.txt");
    const LanguageTable en = shipped("langEN.txt");
    LocaleGuard guard(LocaleGuard::english());
    Program program(Program::shipped_languages);
    ASSERT_TRUE(program.app->startup());
    MainWindow* window = program.app->window();
    QList<QObject*> controls = window->findChildren<QObject*>();
    controls << window << program.app->info_window()
             << program.app->info_window()->findChildren<QObject*>();

    int captioned = 0, buddies = 0;
    for (QObject* control : controls) {
        const QVariant id = control->property(kTextIdProperty);
        if (!id.isValid()) continue;
        const std::string name = control->objectName().toStdString();
        EXPECT_FALSE(de.lang_text(id.toInt()).isEmpty()) << name << " " << id.toInt();
        EXPECT_FALSE(en.lang_text(id.toInt()).isEmpty()) << name << " " << id.toInt();
        EXPECT_FALSE(caption_of(control).isEmpty()) << name;
        ++captioned;
        auto* label = qobject_cast<QLabel*>(control);
        if (!label || !control->objectName().startsWith(QLatin1String("lbl_"))) continue;
        if (QWidget* field = captioned_field(window, label)) {
            EXPECT_EQ(label->buddy(), field) << name;
            ++buddies;
        }
    }
    // The walk reaches every tab: menus, device, protocol, status and
    // developer controls, the information window.
    EXPECT_GE(captioned, 80);
    EXPECT_GE(buddies, 20);
}

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
