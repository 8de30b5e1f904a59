#pragma once

#include <QObject>
#include <QString>

// The dynamic property that carries a control's text id; applying a language
// finds the captions by it.
inline constexpr const char* kTextIdProperty = "textId";

// Gives a control its design name as objectName and, when its caption comes
// from the language files (ids start at 1), its text id.
template <typename T>
T* name_control(T* control, const char* name, int text_id = 0) {
    control->setObjectName(QLatin1String(name));
    if (text_id > 0) control->setProperty(kTextIdProperty, text_id);
    return control;
}
