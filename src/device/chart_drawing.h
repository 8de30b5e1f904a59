#pragma once

#include <QString>

class ChartCanvas;
struct ChartPanel;

// The tick labels, as plain numbers in the current locale: tick i of the y axis
// counts from the top, tick i of the time axis from the left.
QString y_label(const ChartPanel& panel, int i);
QString x_label(const ChartPanel& panel, int i);

// Draws one panel's empty plot: white plot area, grey axes, ticks, tick labels
// and captions.
void panel_draw_frame(ChartCanvas& canvas, const ChartPanel& panel);

// Adds the point (x, y) in data units to the panel's curve, wrapping to the
// left edge when x has run past the right one. `background` is the phase shade
// behind the new segment, or kNoBackground.
void panel_add_point(ChartCanvas& canvas, ChartPanel& panel, double x, double y, int background);

// One segment in twips: the white strip ahead of the pen erases the previous
// sweep, the shade strip behind it shows the phase, then the line.
void panel_segment(ChartCanvas& canvas, const ChartPanel& panel, int sx1, int sy1, int sx2, int sy2,
                   int background);
