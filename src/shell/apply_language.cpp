#include "shell/apply_language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <utility>
#include <vector>

#include "platform/control_name.h"
#include "platform/language_table.h"

namespace {

// The text id a control carries, or -1 for none.
int text_id(const QObject* object) {
    const QVariant tag = object->property(kTextIdProperty);
    if (!tag.isValid()) return -1;
    bool ok = false;
    const int id = tag.toInt(&ok);
    return ok ? id : -1;
}

void set_caption(QWidget* control, const QString& text) {
    if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
        const QStringList pieces = text.split(u'/');
        for (int i = 0; i < pieces.size() && i < tabs->count(); ++i) tabs->setTabText(i, pieces[i]);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(text);
    }
}

// A size belongs to the control that carries the id alone: the captions of a
// tab control's tabs, the title of a group box. Qt would hand a font down to
// every control inside, so those keep what they had. Menus have no font of
// their own to size.
void set_font_size(QWidget* control, int points) {
    if (qobject_cast<QMenu*>(control)) return;
    if (auto* tabs = qobject_cast<QTabWidget*>(control)) control = tabs->tabBar();
    std::vector<std::pair<QWidget*, QFont>> inside;
    for (QWidget* child : control->findChildren<QWidget*>())
        inside.emplace_back(child, child->font());
    QFont font = control->font();
    font.setPointSize(points);
    control->setFont(font);
    for (auto& [child, kept] : inside) {
        if (child->font() == kept) continue;
        kept.setResolveMask(QFont::AllPropertiesResolved);
        child->setFont(kept);
    }
}

}  // namespace

void apply_language(QWidget* window, const LanguageTable& texts) {
    for (QObject* object : window->findChildren<QObject*>()) {
        const int id = text_id(object);
        if (id < 0) continue;
        if (auto* action = qobject_cast<QAction*>(object)) {
            // Menu entries have no font of their own to size.
            action->setText(texts.lang_text(id));
        } else if (auto* control = qobject_cast<QWidget*>(object)) {
            set_caption(control, texts.lang_text(id));
            if (texts.lang_size(id) != 0) set_font_size(control, texts.lang_size(id));
        }
    }
    const int window_id = text_id(window);
    if (window_id >= 0) window->setWindowTitle(texts.lang_text(window_id));
}
