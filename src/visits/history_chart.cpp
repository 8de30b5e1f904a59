#include "visits/history_chart.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointGap = 9;  // px between points that would coincide
constexpr double kHitRadius = 8;
constexpr int kMaxXTicks = 6;

// Months between dated ticks, so that at most kMaxXTicks fit; 0 for days.
int month_step(double span_days) {
    for (int months : {1, 2, 3, 6, 12, 24, 60})
        if (span_days / (months * 30.4) <= kMaxXTicks) return months;
    return 120;
}

}  // namespace

double nice_step(double span, int max_ticks) {
    if (!(span > 0) || max_ticks < 1) return 1;
    const double raw = span / max_ticks;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= raw) return factor * power;
    return 10 * power;
}

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("history_chart"));
    setMinimumHeight(130);
}

void HistoryChart::set_points(QVector<HistoryPoint> points) {
    points_ = std::move(points);
    update();
}

void HistoryChart::set_hours_axis(bool hours) {
    hours_axis_ = hours;
    update();
}

void HistoryChart::set_selected(int visit) {
    selected_ = visit;
    update();
}

double HistoryChart::x_of(const HistoryPoint& point) const {
    return hours_axis_ ? point.hours : double(point.when.toSecsSinceEpoch());
}

double HistoryChart::Layout::y_at(double value) const {
    return area.bottom() - (value - y_min) / (y_max - y_min) * area.height();
}

double HistoryChart::Layout::x_at(double value) const {
    return area.left() + (value - x_min) / (x_max - x_min) * area.width();
}

HistoryChart::Layout HistoryChart::layout() const {
    Layout l;
    l.area = QRectF(rect()).adjusted(48, 8, -24, -22);
    l.sorted = points_;
    std::stable_sort(
        l.sorted.begin(), l.sorted.end(),
        [this](const HistoryPoint& a, const HistoryPoint& b) { return x_of(a) < x_of(b); });
    if (l.sorted.isEmpty()) return l;
    double low = 100, high = 0;
    for (const HistoryPoint& p : l.sorted) {
        low = std::min({low, p.o2, p.mwo2.value_or(p.o2)});
        high = std::max({high, p.o2, p.mwo2.value_or(p.o2)});
    }
    // Whole percent at the finest: tenths would only show the sensor's noise.
    l.y_step = std::max(1.0, nice_step(high - low, 4));
    l.y_min = std::floor(low / l.y_step) * l.y_step;
    l.y_max = std::ceil(high / l.y_step) * l.y_step;
    if (l.y_max <= l.y_min) l.y_max = l.y_min + l.y_step;
    // Room at the ends, so the first and last points are not on the frame.
    const double first = x_of(l.sorted.first());
    const double last = x_of(l.sorted.last());
    const double pad = std::max((last - first) * 0.04, hours_axis_ ? 1.0 : 43200.0);
    l.x_min = first - pad;
    l.x_max = last + pad;
    // Points that would fall on one spot go side by side, first from the
    // left and then, where that ran past the frame, back from the right.
    for (const HistoryPoint& p : l.sorted) {
        const double x = l.x_at(x_of(p));
        l.px.append(l.px.isEmpty() ? x : std::max(x, l.px.last() + kPointGap));
    }
    for (int i = int(l.px.size()) - 1; i >= 0; --i) {
        const double limit = i + 1 < l.px.size() ? l.px[i + 1] - kPointGap : l.area.right() - 2;
        l.px[i] = std::max(l.area.left() + 2, std::min(l.px[i], limit));
    }
    return l;
}

std::optional<QPointF> HistoryChart::point_of(int visit) const {
    const Layout l = layout();
    for (int i = 0; i < l.sorted.size(); ++i)
        if (l.sorted[i].visit == visit) return QPointF(l.px[i], l.y_at(l.sorted[i].o2));
    return std::nullopt;
}

void HistoryChart::draw_axes(QPainter& painter, const Layout& l) const {
    const QLocale locale;
    painter.setPen(Qt::black);
    for (double y = l.y_min; y <= l.y_max + l.y_step / 2; y += l.y_step) {
        const double at = l.y_at(y);
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(l.area.left(), at), QPointF(l.area.right(), at));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, at - 7, l.area.left() - 4, 14),
                         Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(y, 'f', 0) + QStringLiteral(" %"));
    }
    const auto x_tick = [&](double value, const QString& label) {
        const double at = l.x_at(value);
        if (at < l.area.left() || at > l.area.right()) return;
        painter.drawLine(QPointF(at, l.area.bottom()), QPointF(at, l.area.bottom() + 3));
        // Labels at the ends stay whole inside the chart.
        const double left = std::clamp(at - 40, 0.0, width() - 80.0);
        painter.drawText(QRectF(left, l.area.bottom() + 3, 80, 16), Qt::AlignHCenter, label);
    };
    if (hours_axis_) {
        const double step = nice_step(l.x_max - l.x_min, kMaxXTicks);
        for (double x = std::ceil(l.x_min / step) * step; x <= l.x_max; x += step)
            x_tick(x, locale.toString(x, 'f', 0) + QStringLiteral(" h"));
        return;
    }
    // Visits of one day: their date under them, not a midnight beside them.
    if (x_of(l.sorted.last()) - x_of(l.sorted.first()) < 86400) {
        x_tick(x_of(l.sorted.first()),
               locale.toString(l.sorted.first().when.date(), QLocale::ShortFormat));
        return;
    }
    const QDate first = QDateTime::fromSecsSinceEpoch(qint64(l.x_min)).date();
    const QDate last = QDateTime::fromSecsSinceEpoch(qint64(l.x_max)).date();
    const qint64 span = first.daysTo(last);
    const auto stamp = [](const QDate& d) {
        return double(QDateTime(d, QTime(0, 0)).toSecsSinceEpoch());
    };
    if (span <= 2 * kMaxXTicks) {
        const int days = std::max<qint64>(1, (span + kMaxXTicks - 1) / kMaxXTicks);
        for (QDate d = first.addDays(1); d <= last; d = d.addDays(days))
            x_tick(stamp(d), locale.toString(d, QLocale::ShortFormat));
        return;
    }
    const int months = month_step(double(span));
    QDate d(first.year(), 1, 1);
    while (d <= first) d = d.addMonths(months);
    for (; d <= last; d = d.addMonths(months))
        x_tick(stamp(d), months >= 12 ? QString::number(d.year())
                                      : locale.toString(d, QStringLiteral("MMM yyyy")));
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const Layout l = layout();
    if (!l.sorted.isEmpty()) draw_axes(painter, l);
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(l.area);
    if (l.sorted.isEmpty()) return;

    painter.setRenderHint(QPainter::Antialiasing);
    const auto draw_series = [&](const QColor& colour, auto value) {
        QPainterPath path;
        bool started = false;
        for (int i = 0; i < l.sorted.size(); ++i) {
            const std::optional<double> y = value(l.sorted[i]);
            if (!y) continue;
            const QPointF point(l.px[i], l.y_at(*y));
            started ? path.lineTo(point) : path.moveTo(point);
            started = true;
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(point, 3, 3);
            if (l.sorted[i].visit == selected_) {
                painter.setPen(QPen(Qt::black, 1.5));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(point, 6, 6);
            }
        }
        painter.setPen(QPen(colour, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    };
    for (int i = 0; i < l.sorted.size(); ++i) {
        if (l.sorted[i].visit != selected_) continue;
        painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
        painter.drawLine(QPointF(l.px[i], l.area.top()), QPointF(l.px[i], l.area.bottom()));
    }
    draw_series(Qt::blue, [](const HistoryPoint& p) { return std::optional<double>(p.o2); });
    draw_series(Qt::darkGreen, [](const HistoryPoint& p) { return p.mwo2; });
}

void HistoryChart::mousePressEvent(QMouseEvent* event) {
    const Layout l = layout();
    int best = -1;
    double best_distance = kHitRadius;
    for (int i = 0; i < l.sorted.size(); ++i) {
        for (const std::optional<double> y :
             {std::optional<double>(l.sorted[i].o2), l.sorted[i].mwo2}) {
            if (!y) continue;
            const double distance =
                QLineF(event->position(), QPointF(l.px[i], l.y_at(*y))).length();
            if (distance <= best_distance) {
                best_distance = distance;
                best = l.sorted[i].visit;
            }
        }
    }
    if (best >= 0) emit point_clicked(best);
    QWidget::mousePressEvent(event);
}
