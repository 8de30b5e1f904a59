#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTranslator>
#include <cstring>

#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "platform/paths.h"
#include "shell/language.h"
#include "shell/qt_translations.h"

namespace {

bool asks_for_help_or_version(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char* ask : {"-h", "--help", "-help", "--help-all", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], ask) == 0) return true;
    return false;
}

}  // namespace

void answer_help_or_version(int argc, char* argv[], const QString& version) {
    // Only a request for help pays for this: a normal start goes straight on.
    if (!asks_for_help_or_version(argc, argv)) return;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel5"));
    QCoreApplication::setApplicationVersion(version);
    const AppPaths paths = app_paths(with_trailing_slash(QCoreApplication::applicationDirPath()));
    const QString code = language_code(paths.data_dir);
    LanguageTable texts;
    NullDialogs quiet;  // without its language file the help is Qt's part alone
    load_language(texts, language_path(paths.data_dir, code), quiet);
    QTranslator qt_texts;
    load_qt_translations(qt_texts, code);

    QCommandLineParser parser;
    parser.setApplicationDescription(texts.lang_text(6400));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption shown_version = parser.addVersionOption();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("--help-all"))) parser.process(arguments);
    parser.parse(arguments);  // Qt's own options pass unremarked
    if (parser.isSet(shown_version) && !parser.isSet(help)) parser.showVersion();
    parser.showHelp(0);  // ends the program, as showVersion does
}
