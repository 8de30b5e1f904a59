#pragma once

#include <QImage>
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
    QImage image_;
};
