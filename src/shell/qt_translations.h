#pragma once

#include <QString>

class QTranslator;

// Qt's own texts (the Cancel of an input box, the buttons of the file dialogs)
// in the program's language: loads Qt's shipped translation for the language
// code ("DE" loads qtbase_de) into `translator` and installs it. English needs
// none. False when there is no translation to install; Qt then stays English.
bool load_qt_translations(QTranslator& translator, const QString& code);
