#pragma once

#include <QString>

// `quorvel5 --help` and `quorvel5 --version`: answered on standard output in the
// program's language, without a window (so also without a display). The
// program ends after the answer; this returns only when neither was asked for.
void answer_help_or_version(int argc, char* argv[], const QString& version);
