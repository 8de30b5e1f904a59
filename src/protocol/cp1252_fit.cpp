#include "protocol/cp1252_fit.h"

#include "platform/cp1252.h"

namespace {

// Letters whose nearest Latin letter is no decomposition away.
constexpr struct {
    char32_t letter;
    char latin;
} kOwnNearest[] = {{U'ı', 'i'}, {U'ł', 'l'}, {U'Ł', 'L'}, {U'đ', 'd'}, {U'Đ', 'D'},
                   {U'ħ', 'h'}, {U'Ħ', 'H'}, {U'ŧ', 't'}, {U'Ŧ', 'T'}};

QString own_nearest(char32_t c) {
    for (const auto& own : kOwnNearest)
        if (own.letter == c) return QString(QLatin1Char(own.latin));
    return QString();
}

bool holds_all(const QString& text) {
    for (const QChar c : text)
        if (!cp1252_holds(c)) return false;
    return true;
}

// The base letters of a character (compatibility decomposition, accents
// dropped), or "" when they are not in the code page either.
QString nearest(const QString& character) {
    const QString own = own_nearest(character.toUcs4().value(0));
    if (!own.isEmpty()) return own;
    QString base;
    for (const QChar c : character.normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing) base += c;
    return holds_all(base) ? base : QString();
}

}  // namespace

QString fit_cp1252(const QString& text, QVector<CharFit>* fits) {
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (cp1252_holds(text[i])) {
            out += text[i];
            continue;
        }
        // A character beyond the first plane is two units: one character.
        const int units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, units);
        i += units - 1;
        const QString to = nearest(character);
        out += to;
        if (fits) fits->append({character, to});
    }
    return out;
}
