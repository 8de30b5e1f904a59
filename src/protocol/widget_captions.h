#pragma once

#include <QString>

class QWidget;

// The caption a control of `root` shows now, found by its object name: a
// label's or button's text, a group box's title, as it reads (without its
// shortcut mark); "" when there is none.
QString widget_caption(const QWidget* root, const QString& control_name);
