#include "device/chart_drawing.h"

#include <QLocale>
#include <QtGlobal>
#include <cmath>

#include "device/chart_canvas.h"
#include "device/chart_panel.h"

namespace {

constexpr int kTickLength = 90;
constexpr int kLabelGap = 180;    // between a y label's end and the axis
constexpr int kEraseAhead = 30;   // white strip ahead of the pen
constexpr int kShadeBehind = 15;  // the shade starts one pixel after the last point

// A plain number: no fixed decimals and no thousands separator ("2000").
QString plain_number(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

void draw_axes(ChartCanvas& canvas, const ChartPanel& p) {
    canvas.line(p.plot_left, p.plot_top, p.plot_left, p.plot_bottom, kChartAxisGrey);
    canvas.line(p.plot_left, p.plot_bottom, p.plot_right, p.plot_bottom, kChartAxisGrey);
}

}  // namespace

QString y_label(const ChartPanel& p, int i) {
    return plain_number(p.y_min + (p.y_max - p.y_min) / p.y_divisions * (p.y_divisions - i));
}

QString x_label(const ChartPanel& p, int i) {
    return plain_number(p.x_min + (p.x_max - p.x_min) / p.x_divisions * i);
}

void panel_draw_frame(ChartCanvas& canvas, const ChartPanel& p) {
    canvas.fill_box(p.plot_left, p.plot_top, p.plot_right, p.plot_bottom, kChartWhite);
    draw_axes(canvas, p);

    const double half_line = canvas.text_height() / 2;
    if (p.margin_left >= 1) {
        for (int i = 0; i <= p.y_divisions; ++i) {
            const double y = p.plot_top + double(p.plot_bottom - p.plot_top) / p.y_divisions * i;
            canvas.line(p.plot_left - kTickLength, y, p.plot_left, y, kChartAxisGrey);
            if (p.margin_left > kTickLength) {
                const QString label = y_label(p, i);
                canvas.print(p.plot_left - kLabelGap - canvas.text_width(label), y - half_line,
                             label);
            }
        }
        canvas.print_rotated(p.left, p.top + (p.height + canvas.text_width(p.y_caption)) / 2,
                             p.y_caption, 90);
    }
    if (p.margin_bottom >= 1) {
        for (int i = 0; i <= p.x_divisions; ++i) {
            const double x = p.plot_left + double(p.plot_right - p.plot_left) / p.x_divisions * i;
            canvas.line(x, p.plot_bottom, x, p.plot_bottom + kTickLength, kChartAxisGrey);
            if (p.margin_bottom > kTickLength) {
                const QString label = x_label(p, i);
                canvas.print(x - canvas.text_width(label) / 2, p.plot_bottom + kTickLength, label);
            }
        }
        canvas.print((p.plot_left + p.plot_right - canvas.text_width(p.x_caption)) / 2,
                     p.top + p.height - canvas.text_height(), p.x_caption);
    }
}

void panel_add_point(ChartCanvas& canvas, ChartPanel& p, double x, double y, int background) {
    double dx = x - p.x_offset;
    if (dx > p.x_max) {
        // The pen has run past the right edge: finish the sweep at the value
        // where the curve crosses the edge and go on from the left.
        const double sweep = p.x_max - p.x_min;
        p.x_offset += sweep;
        const double slope = dx == p.last_x ? 0 : (y - p.last_y) / (dx - p.last_x);
        const double y_edge = p.last_y + (p.x_max - p.last_x) * slope;
        panel_segment(canvas, p, screen_x(p, p.last_x), screen_y(p, p.last_y), screen_x(p, p.x_max),
                      screen_y(p, y_edge), background);
        p.last_x = p.x_min;
        p.last_y = y_edge;
        // A gap of more than a whole sweep (the device restarted its counter)
        // must still land inside the plot.
        if (x - p.x_offset > p.x_max)
            p.x_offset += std::ceil((x - p.x_offset - p.x_max) / sweep) * sweep;
        dx = x - p.x_offset;
    }
    if (p.first_point)
        p.first_point = false;
    else
        panel_segment(canvas, p, screen_x(p, p.last_x), screen_y(p, p.last_y), screen_x(p, dx),
                      screen_y(p, y), background);
    p.last_x = dx;
    p.last_y = y;
    draw_axes(canvas, p);
}

void panel_segment(ChartCanvas& canvas, const ChartPanel& p, int sx1, int sy1, int sx2, int sy2,
                   int background) {
    sy1 = qBound(p.plot_top, sy1, p.plot_bottom);
    sy2 = qBound(p.plot_top, sy2, p.plot_bottom);
    if (background != kNoBackground) {
        canvas.fill_box(sx2, p.plot_top, qMin(p.plot_right, sx2 + kEraseAhead), p.plot_bottom,
                        kChartWhite);
        canvas.fill_box(qMin(p.plot_right, sx1 + kShadeBehind), p.plot_top, sx2, p.plot_bottom,
                        background);
    }
    canvas.line(sx1, sy1, sx2, sy2, p.colour);
}
