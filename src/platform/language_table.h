#pragma once

#include <QString>
#include <unordered_map>

// The program's texts by number, loaded once from the language file and read
// by every layer. An id the file does not define has the empty text and size 0
// (0 keeps a control's design font size).
struct LanguageTable {
    static constexpr int max_id = 20000;

    void clear();

    QString lang_text(int id) const;
    int lang_size(int id) const;

    // By id, only the ids the file defines: a table of every possible id costs
    // the start-up its memory.
    std::unordered_map<size_t, QString> texts;
    std::unordered_map<size_t, quint8> sizes;
};

// The two texts that exist before any language file is read.
inline const char* const kConfigLoadFailed = "unable to load configuration";
inline const char* const kLanguageLoadFailed = "Language File could not be loaded.";
