#include "shell/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool load_qt_translations(QTranslator& translator, const QString& code) {
    QCoreApplication::removeTranslator(&translator);
    const QString language = code.toLower();
    if (language.isEmpty() || language == QLatin1String("en")) return false;
    if (!translator.load(QStringLiteral("qtbase_") + language,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
