#include "support/recording_target.h"

#include <QStringList>

double RecordingTarget::text_width(const QString& text) {
    return text.size() * font.size / 10 * (font.bold ? 1.5 : 1.0);
}

double RecordingTarget::text_height(const QString&) {
    return font.size / 2;
}

bool RecordingTarget::draw_text(const QString& text) {
    if (refuse_after >= 0 && texts.size() >= refuse_after) return false;
    texts.append({text, current_x, current_y, font});
    current_x += text_width(text);
    return true;
}

void RecordingTarget::draw_line(double x1, double y1, double x2, double y2, int width_px) {
    lines.append({x1, y1, x2, y2, width_px});
}

QString RecordingTarget::joined() const {
    QStringList all;
    for (const Text& t : texts) all.append(t.text);
    return all.join(QLatin1Char('|'));
}
