#pragma once

#include <QRect>

// The window's design unit is the twip: 15 to a device-independent pixel. Qt
// scales pixels for HiDPI screens itself.
constexpr int twips(int value) {
    return value / 15;
}
constexpr int to_twips(int pixels) {
    return pixels * 15;
}

inline QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

// Controls on a tab are designed relative to the whole tab control, its row of
// tab captions included; a Qt tab page starts below that row.
constexpr int kTabCaptionRowTwips = 360;

inline QRect page_rect(int left, int top, int width, int height) {
    return twips_rect(left, top - kTabCaptionRowTwips, width, height);
}
