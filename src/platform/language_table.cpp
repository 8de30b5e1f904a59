#include "platform/language_table.h"

LanguageTable::LanguageTable() {
    clear();
}

void LanguageTable::clear() {
    texts.assign(max_id + 1, QString());
    sizes.assign(max_id + 1, 0);
}

QString LanguageTable::lang_text(int id) const {
    return id >= 0 && id <= max_id ? texts[size_t(id)] : QString();
}

int LanguageTable::lang_size(int id) const {
    return id >= 0 && id <= max_id ? sizes[size_t(id)] : 0;
}
