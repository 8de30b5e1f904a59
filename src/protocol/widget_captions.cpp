#include "protocol/widget_captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "platform/mnemonic.h"

QString widget_caption(const QWidget* root, const QString& control_name) {
    if (!root) return {};
    const QWidget* control = root->findChild<QWidget*>(control_name);
    // The keyboard marks belong to the screen, not to the printed page.
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return without_mnemonic(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return without_mnemonic(button->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(control))
        return without_mnemonic(group->title());
    return {};
}
