#pragma once

class QWidget;
struct LanguageTable;

// Captions every control of the window that carries a text id (the dynamic
// property "textId"), menu entries included, and sets their font size where the
// table gives one. A tab widget's text holds its tab captions separated by "/".
// The window's own caption follows its own "textId", if it has one.
void apply_language(QWidget* window, const LanguageTable& texts);
