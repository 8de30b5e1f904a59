#pragma once

#include <QString>
#include <array>
#include <vector>

// The program's texts by number, loaded once from the language file and read
// by every layer. An id the file does not define has the empty text and size 0
// (0 keeps a control's design font size).
struct LanguageTable {
    static constexpr int max_id = 20000;

    LanguageTable();
    void clear();

    QString lang_text(int id) const;
    int lang_size(int id) const;

    std::vector<QString> texts;
    std::vector<quint8> sizes;
};

// The two texts that exist before any language file is read.
inline const char* const kConfigLoadFailed = "unable to load configuration";
inline const char* const kLanguageLoadFailed = "Language File could not be loaded.";
