#include "platform/language_table.h"

void LanguageTable::clear() {
    texts.clear();
    sizes.clear();
}

QString LanguageTable::lang_text(int id) const {
    const auto found = texts.find(size_t(id));
    return found == texts.end() ? QString() : found->second;
}

int LanguageTable::lang_size(int id) const {
    const auto found = sizes.find(size_t(id));
    return found == sizes.end() ? 0 : found->second;
}
