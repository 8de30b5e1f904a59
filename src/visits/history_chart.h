#pragma once

#include <QDateTime>
#include <QVector>
#include <QWidget>
#include <optional>

#include "visits/device_book.h"

// One visit on the device's history chart.
struct HistoryPoint {
    QDateTime when;
    double hours = 0;  // operating hours
    double o2 = 0;
    std::optional<double> mwo2;
    int visit = -1;  // the visit's row in the window's list
};

// A small chart of a device's O2 concentration (blue) and mean O2 (green)
// across its visits, against the visit date or the operating hours. The O2
// axis is in % with ticks every 1, 2 or 5 %, the time axis dated (or in "h").
// Visits that would fall on one spot (the same day, equal hours) are drawn
// side by side. The chosen visit is ringed; a click on a point chooses its
// visit.
class HistoryChart : public QWidget {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);

    void set_points(QVector<HistoryPoint> points);
    void set_hours_axis(bool hours);
    void set_selected(int visit);
    QSize sizeHint() const override { return {360, 170}; }
    // Where a visit's O2 point is drawn (for the tests); null when not shown.
    std::optional<QPointF> point_of(int visit) const;

signals:
    void point_clicked(int visit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Layout {
        QRectF area;
        double y_min = 0, y_max = 1, y_step = 1;
        QVector<HistoryPoint> sorted;
        QVector<double> px;  // screen x of each sorted point
        double x_min = 0, x_max = 1;
        double y_at(double value) const;
        double x_at(double value) const;
    };
    Layout layout() const;
    double x_of(const HistoryPoint& point) const;
    void draw_axes(QPainter& painter, const Layout& l) const;

    QVector<HistoryPoint> points_;
    bool hours_axis_ = false;
    int selected_ = -1;
};

// A step of 1, 2 or 5 times a power of ten that cuts `span` into at most
// `max_ticks` pieces.
double nice_step(double span, int max_ticks);
