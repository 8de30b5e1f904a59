#pragma once

#include <QVector>

#include "platform/print_target.h"

// A print target that records what is drawn. Its metrics are simple and exact:
// a character is size/10 units wide (1.5 times that in bold), a line is
// size/2 units high.
class RecordingTarget final : public PrintTarget {
public:
    struct Text {
        QString text;
        double x, y;
        PrintFont font;
    };
    struct Line {
        double x1, y1, x2, y2;
        int width;
    };

    double text_width(const QString& text) override;
    double text_height(const QString& text) override;
    bool draw_text(const QString& text) override;
    void draw_line(double x1, double y1, double x2, double y2, int width_px) override;

    // All texts drawn, joined with "|".
    QString joined() const;

    QVector<Text> texts;
    QVector<Line> lines;
    int refuse_after = -1;  // refuses every draw after this many (-1: never)
};
