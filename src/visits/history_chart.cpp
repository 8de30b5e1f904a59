#include "visits/history_chart.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

double operating_hours(const QString& bstd) {
    bool hours_ok = false;
    bool minutes_ok = false;
    const double hours = bstd.section(u':', 0, 0).toDouble(&hours_ok);
    const double minutes = bstd.section(u':', 1, 1).toDouble(&minutes_ok);
    if (!hours_ok) return 0;
    return hours + (minutes_ok ? minutes / 60.0 : 0);
}

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("history_chart"));
    setMinimumHeight(120);
}

void HistoryChart::set_points(QVector<HistoryPoint> points) {
    points_ = std::move(points);
    update();
}

void HistoryChart::set_hours_axis(bool hours) {
    hours_axis_ = hours;
    update();
}

double HistoryChart::x_of(const HistoryPoint& point) const {
    return hours_axis_ ? point.hours : double(point.when.toSecsSinceEpoch());
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRectF area = QRectF(rect()).adjusted(36, 8, -8, -20);
    painter.setPen(Qt::gray);
    painter.drawRect(area);
    if (points_.isEmpty()) return;

    QVector<HistoryPoint> sorted = points_;
    std::sort(sorted.begin(), sorted.end(),
              [this](const HistoryPoint& a, const HistoryPoint& b) { return x_of(a) < x_of(b); });
    double x_min = x_of(sorted.first());
    double x_max = x_of(sorted.last());
    if (x_max <= x_min) x_max = x_min + 1;
    double y_min = 100;
    double y_max = 0;
    for (const HistoryPoint& p : sorted) {
        y_min = std::min({y_min, p.o2, p.mwo2.value_or(p.o2)});
        y_max = std::max({y_max, p.o2, p.mwo2.value_or(p.o2)});
    }
    y_min = std::floor(y_min - 1);
    y_max = std::ceil(y_max + 1);
    const auto at = [&](double x, double y) {
        const double fx = sorted.size() == 1 ? 0.5 : (x - x_min) / (x_max - x_min);
        return QPointF(area.left() + fx * area.width(),
                       area.bottom() - (y - y_min) / (y_max - y_min) * area.height());
    };

    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, area.top() - 6, 32, 14), Qt::AlignRight,
                     QLocale().toString(y_max, 'f', 0));
    painter.drawText(QRectF(0, area.bottom() - 8, 32, 14), Qt::AlignRight,
                     QLocale().toString(y_min, 'f', 0));
    const auto x_label = [this](const HistoryPoint& p) {
        return hours_axis_ ? QLocale().toString(p.hours, 'f', 0)
                           : QLocale().toString(p.when.date(), QLocale::ShortFormat);
    };
    painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), 16), Qt::AlignLeft,
                     x_label(sorted.first()));
    painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), 16), Qt::AlignRight,
                     x_label(sorted.last()));

    painter.setRenderHint(QPainter::Antialiasing);
    const auto draw_series = [&](const QColor& colour, auto value) {
        QPainterPath path;
        bool started = false;
        for (const HistoryPoint& p : sorted) {
            const std::optional<double> y = value(p);
            if (!y) continue;
            const QPointF point = at(x_of(p), *y);
            started ? path.lineTo(point) : path.moveTo(point);
            started = true;
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(point, 2.5, 2.5);
        }
        painter.setPen(QPen(colour, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    };
    draw_series(Qt::blue, [](const HistoryPoint& p) { return std::optional<double>(p.o2); });
    draw_series(Qt::darkGreen, [](const HistoryPoint& p) { return p.mwo2; });
}
