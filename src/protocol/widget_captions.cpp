#include "protocol/widget_captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

QString widget_caption(const QWidget* root, const QString& control_name) {
    if (!root) return {};
    const QWidget* control = root->findChild<QWidget*>(control_name);
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    return {};
}
