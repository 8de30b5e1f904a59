#pragma once

#include <QString>
#include <array>

struct LanguageTable;

// Chart colours as integers with red in the low byte, green in the second and
// blue in the third.
constexpr int kChartBlue = 0xFF0000;
constexpr int kChartRed = 0x0000FF;
constexpr int kChartPurple = 0xC000C0;
constexpr int kChartDarkGreen = 0x008000;
constexpr int kChartAxisGrey = 0x808080;
constexpr int kChartWhite = 0xFFFFFF;
constexpr int kChartShade1 = 0xF0F0F0;  // phase 1
constexpr int kChartShade2 = 0xE0E0E0;  // phase 2
// A curve drawn without erasing or shading: it shares the strip of the curve
// drawn before it in the same rectangle.
constexpr int kNoBackground = -1;

// One panel of the chart: a rectangle with axes, scales and a pen. Lengths are
// in twips, the picture box's unit.
struct ChartPanel {
    qint32 left = 0;
    qint32 top = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint32 margin_left = 0;    // tick labels and the vertical caption
    qint32 margin_bottom = 0;  // ticks, tick labels and the horizontal caption
    QString y_caption;
    QString x_caption;
    qint32 x_divisions = 1;
    qint32 y_divisions = 1;
    double x_min = 0;
    double x_max = 1;
    double y_min = 0;
    double y_max = 1;
    qint32 margin_top = 0;
    qint32 margin_right = 0;
    // Derived by panel_init.
    qint32 plot_left = 0;
    qint32 plot_right = 0;
    qint32 plot_top = 0;
    qint32 plot_bottom = 0;
    double x_scale = 0;  // twips per data unit
    double y_scale = 0;
    qint32 colour = 0;
    // The pen: the previous point, x relative to x_offset, the start of the
    // current sweep.
    double last_x = 0;
    double last_y = 0;
    bool first_point = true;
    double x_offset = 0;
};

// The panels of one view by their index: 1 to 4 in the full view, only 3 (the
// pressure panel keeps its index) in the pressure-only view.
struct ChartPanels {
    int first = 1;
    int last = 0;
    std::array<ChartPanel, 5> at{};

    bool has(int index) const { return index >= first && index <= last; }
    ChartPanel& operator[](int index) { return at[size_t(index)]; }
    const ChartPanel& operator[](int index) const { return at[size_t(index)]; }
};

// Derives the plot rectangle and the scales from the given values and puts the
// pen back to the start.
void panel_init(ChartPanel& panel);

// The panels for a picture box of W × H twips: all curves (nur_druck 0) or the
// pressure curve alone (nur_druck 1).
ChartPanels chart_layout(int width, int height, int nur_druck, const LanguageTable& texts);

// Screen position of a data point, to the nearest whole twip.
int screen_x(const ChartPanel& panel, double px);
int screen_y(const ChartPanel& panel, double py);

// The curves' values taken from the device data.
double amplitude_percent(double amplitude);
int phase_shade(int phase);
