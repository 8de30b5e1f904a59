#pragma once

#include <QFont>
#include <QPainter>
#include <QRegion>
#include <QString>

class QImage;

// The chart's font: "MSSansSerif" 8 pt where it is installed, else a narrow
// sans-serif of the same size, so tick labels and captions stay inside their
// margins.
QFont chart_font();

// Draws into the chart's persistent image in twips, the unit the chart's
// geometry is given in. Twips become pixels here and nowhere else: snapped to
// the image's device pixels, so lines stay sharp at any pixel ratio. Everything
// drawn is collected as damage for the next paint.
class ChartCanvas {
public:
    explicit ChartCanvas(QImage& image);

    // A filled box including both corners, like a line drawn as a box.
    void fill_box(int x1, int y1, int x2, int y2, int colour);
    // A one-pixel line in the given colour.
    void line(double x1, double y1, double x2, double y2, int colour);
    // Text whose cell has its top-left corner at (x, y).
    void print(double x, double y, const QString& text);
    // Text turned by `angle` degrees counter-clockwise about its cell's
    // top-left corner at (x, y): 90 reads upwards.
    void print_rotated(double x, double y, const QString& text, double angle);

    double text_width(const QString& text) const;  // twips
    double text_height() const;                    // twips

    // Logical pixels drawn since the canvas was made.
    const QRegion& damage() const { return damage_; }

private:
    double px(double twips) const;
    void add_damage(const QRectF& rect);

    QPainter painter_;
    qreal dpr_;
    QRegion damage_;
};
