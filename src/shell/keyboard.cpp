#include "shell/keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

namespace {

// Ctrl+Tab and Ctrl+PgDown go to the next tab, Ctrl+Shift+Tab and Ctrl+PgUp
// to the previous one, from any control on them. Qt's tab widget knows only
// Ctrl+Tab, and a selection list takes even that as typed text.
class TabSwitchKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & Qt::ControlModifier)) return false;
        int step = 0;
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown) step = 1;
        if (key->key() == Qt::Key_Backtab || key->key() == Qt::Key_PageUp) step = -1;
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier)) step = -1;
        if (step == 0) return false;
        for (QObject* up = watched; up; up = up->parent()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(up)) return switch_tab(tabs, step);
        }
        return false;
    }

private:
    // The next tab that can be chosen, round the end.
    static bool switch_tab(QTabWidget* tabs, int step) {
        for (int i = 1; i < tabs->count(); ++i) {
            const int index = (tabs->currentIndex() + i * step + tabs->count()) % tabs->count();
            if (tabs->isTabEnabled(index)) {
                tabs->setCurrentIndex(index);
                break;
            }
        }
        return true;
    }
};

}  // namespace

void make_keyboard_reachable(QWidget* window) {
    const QString name = QStringLiteral("tab_switch_keys");
    QObject* tab_keys = window->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    if (!tab_keys) {
        tab_keys = new TabSwitchKeys(window);
        tab_keys->setObjectName(name);
        // Qt hands the focus to the new page itself when none of its controls
        // could take it at the switch (the protocol form enables only then):
        // the keys go to its first control instead.
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
            QObject::connect(tabs, &QTabWidget::currentChanged, tab_keys, [tabs] {
                QWidget* page = tabs->currentWidget();
                if (QApplication::focusWidget() != page) return;
                for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
                    if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) &&
                        w->isVisible() && w->isEnabled())
                        return w->setFocus(Qt::TabFocusReason);
                }
            });
        }
    }
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->focusPolicy() & Qt::TabFocus) control->installEventFilter(tab_keys);
    }
    // An auto-default button clicks on Enter also outside a dialog, and shows
    // while it has the focus that Enter will click it.
    for (QPushButton* button : window->findChildren<QPushButton*>()) button->setAutoDefault(true);
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (box->isReadOnly() && box->focusPolicy() != Qt::NoFocus)
            box->setFocusPolicy(Qt::ClickFocus);
    }
    for (QPlainTextEdit* box : window->findChildren<QPlainTextEdit*>())
        box->setTabChangesFocus(true);
    for (QTextEdit* box : window->findChildren<QTextEdit*>()) box->setTabChangesFocus(true);
}
