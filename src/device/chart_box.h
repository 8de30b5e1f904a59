#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QWidget>

// The chart's picture box. It keeps what the chart draws in a persistent image
// at the screen's pixel ratio and copies only the damaged part of it on a
// paint, so covering, minimising or another tab never loses the picture.
class ChartBox : public QWidget {
    Q_OBJECT
public:
    explicit ChartBox(QWidget* parent = nullptr);

    // A fresh image of the box's current size and pixel ratio, all `fill`.
    void clear_image(const QColor& fill);
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // Schedules the paint of what has just been drawn, in logical pixels.
    void damage(const QRegion& region) { update(region); }

    // Which curve is which: lines of text, each after a stroke in its
    // curve's colour, in a box whose top-right corner is `corner` (logical
    // pixels). Painted over the picture, never into it, so the sweeping pen
    // neither erases it nor is hidden by it in the picture itself.
    struct LegendLine {
        QColor colour;
        QString text;
    };
    void set_legend(const QList<LegendLine>& lines, QPoint corner);
    // The legend's box in logical pixels; empty without one.
    QRect legend_rect() const;

    // The box's size in twips.
    int width_twips() const;
    int height_twips() const;

signals:
    void double_clicked();
    // The box moved to a screen with another pixel ratio: the chart must be
    // set up again for sharp lines.
    void pixel_ratio_changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void paint_legend(QPainter& painter) const;

    QImage image_;
    QList<LegendLine> legend_;
    QPoint legend_corner_;
};
