#pragma once

#include <QDateTime>
#include <QVector>
#include <QWidget>
#include <optional>

// One visit on the device's history chart.
struct HistoryPoint {
    QDateTime when;
    double hours = 0;  // operating hours
    double o2 = 0;
    std::optional<double> mwo2;
};

// Operating hours "12345:30" (hours, ":", minutes) as hours; 0 when unreadable.
double operating_hours(const QString& bstd);

// A small chart of a device's O2 concentration (blue) and mean O2 (green)
// across its visits, against the visit date or the operating hours.
class HistoryChart : public QWidget {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);

    void set_points(QVector<HistoryPoint> points);
    void set_hours_axis(bool hours);
    QSize sizeHint() const override { return {360, 160}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double x_of(const HistoryPoint& point) const;

    QVector<HistoryPoint> points_;
    bool hours_axis_ = false;
};
