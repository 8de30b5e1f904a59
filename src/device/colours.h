#pragma once

#include <QColor>
#include <QString>

// Colours as the device tab keeps them: integers with red in the low byte,
// green in the second and blue in the third.
constexpr int kWhite = 16777215;
constexpr int kRed = 255;
constexpr int kGreen = 65280;
constexpr int kYellow = 65535;

inline QColor colour_from_int(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Spoken by screen readers for the coloured labels.
inline QString colour_name(int value) {
    switch (value) {
        case kWhite:
            return QStringLiteral("white");
        case kRed:
            return QStringLiteral("red");
        case kGreen:
            return QStringLiteral("green");
        case kYellow:
            return QStringLiteral("yellow");
        default:
            return colour_from_int(value).name();
    }
}
