#pragma once

#include <QChar>
#include <QString>

// Captions of buttons, check boxes, menus and field labels mark their keyboard
// shortcut (Alt + letter) with "&" before the letter; "&&" stands for a plain
// "&". Wherever such a caption is printed or measured, the marks come off.

// The caption as it reads: marks removed, "&&" as "&".
QString without_mnemonic(const QString& caption);

// The marked letter, lower-case, or a null QChar when the caption has none.
QChar mnemonic_of(const QString& caption);
