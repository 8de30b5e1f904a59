#include "device/chart_panel.h"

#include <QtGlobal>

#include "platform/language_table.h"

namespace {

// Time axis of every panel: the last 60 seconds in 5-second steps.
constexpr double kSweepSeconds = 60;
constexpr int kTimeDivisions = 12;
constexpr int kMarginLeft = 750;
constexpr int kMarginRight = 150;
constexpr int kChartTop = 60;
constexpr int kRowGap = 120;
constexpr int kTimeMarginBottom = 510;  // the row with time labels and caption
constexpr int kPlainMarginBottom = 90;  // ticks only

ChartPanel time_panel(int width, int top, int height, int margin_bottom) {
    ChartPanel p;
    p.left = 0;
    p.top = top;
    p.width = width;
    p.height = height;
    p.margin_left = kMarginLeft;
    p.margin_right = kMarginRight;
    p.margin_top = 0;
    p.margin_bottom = margin_bottom;
    p.x_min = 0;
    p.x_max = kSweepSeconds;
    p.x_divisions = kTimeDivisions;
    return p;
}

void set_y(ChartPanel& p, double y_min, double y_max, int divisions, int colour,
           const QString& y_caption, const QString& x_caption) {
    p.y_min = y_min;
    p.y_max = y_max;
    p.y_divisions = divisions;
    p.colour = colour;
    p.y_caption = y_caption;
    p.x_caption = x_caption;
    panel_init(p);
}

}  // namespace

void panel_init(ChartPanel& p) {
    p.plot_left = p.left + p.margin_left;
    p.plot_right = p.left + p.width - p.margin_right;
    p.plot_top = p.top + p.margin_top;
    p.plot_bottom = p.top + p.height - p.margin_bottom;
    p.x_scale = (p.plot_right - p.plot_left) / (p.x_max - p.x_min);
    p.y_scale = (p.plot_bottom - p.plot_top) / (p.y_max - p.y_min);
    p.last_x = 0;
    p.last_y = 0;
    p.x_offset = 0;
    p.first_point = true;
}

ChartPanels chart_layout(int width, int height, int nur_druck, const LanguageTable& texts) {
    ChartPanels panels;
    if (nur_druck == 1) {
        panels.first = panels.last = 3;
        panels[3] = time_panel(width, kChartTop, height - 2 * kChartTop, kTimeMarginBottom);
        set_y(panels[3], 0, 2000, 4, kChartDarkGreen, texts.lang_text(3700), texts.lang_text(3701));
        return panels;
    }
    // Three rows that fill the height exactly; the middle one carries two
    // curves on one scale.
    const int h = qRound((height - 810) / 3.0);
    const int middle = kChartTop + h + kRowGap;
    const int bottom = middle + h + kRowGap;
    panels.first = 1;
    panels.last = 4;
    panels[1] = time_panel(width, kChartTop, h, kPlainMarginBottom);
    set_y(panels[1], 60, 100, 4, kChartBlue, texts.lang_text(3400), QString());
    panels[2] = time_panel(width, middle, h, kPlainMarginBottom);
    set_y(panels[2], 0, 100, 5, kChartRed, texts.lang_text(3500), QString());
    panels[3] = time_panel(width, bottom, h + kTimeMarginBottom, kTimeMarginBottom);
    set_y(panels[3], 0, 2000, 4, kChartDarkGreen, texts.lang_text(3600), texts.lang_text(3601));
    panels[4] = time_panel(width, middle, h, kPlainMarginBottom);
    set_y(panels[4], 0, 100, 5, kChartPurple, texts.lang_text(3500), QString());
    return panels;
}

int screen_x(const ChartPanel& p, double px) {
    return qRound(p.plot_left + px * p.x_scale);
}

int screen_y(const ChartPanel& p, double py) {
    return qRound(p.plot_bottom - (py - p.y_min) * p.y_scale);
}

double amplitude_percent(double amplitude) {
    return (amplitude - 400) / 600 * 100;
}

int phase_shade(int phase) {
    if (phase == 1) return kChartShade1;
    if (phase == 2) return kChartShade2;
    return kChartWhite;
}
