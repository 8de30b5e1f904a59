#pragma once

#include <QString>
#include <QVector>

// Protocol files are Windows-1252. Names typed in other Latin scripts
// ("Yıldız", "Şahin", "Łukasz", "Dvořák") are brought into the code page as the
// technician types, so the box shows what the file and the page will hold.

// One character that the code page cannot hold: what became of it ("" when
// it was left out because no Latin letter is near).
struct CharFit {
    QString from;
    QString to;
};

// `text` with every character outside Windows-1252 replaced by its nearest
// letters (the letter without its accents: ř → r, Ş → S; ı → i, ł → l, đ → d)
// or, where there is none, left out. `fits` gets each change in order.
QString fit_cp1252(const QString& text, QVector<CharFit>* fits = nullptr);
