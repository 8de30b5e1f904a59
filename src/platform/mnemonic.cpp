#include "platform/mnemonic.h"

QString without_mnemonic(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // A mark gives way to the character it marks; a lone "&" at the end stays.
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
        plain.append(caption[i]);
    }
    return plain;
}

QChar mnemonic_of(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') return caption[i + 1].toLower();
        ++i;  // "&&" is a plain "&"
    }
    return {};
}
