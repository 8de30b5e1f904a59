#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

// Top-left corner that puts a window of `outer` size in the middle of `screen`.
// With `clamp_at_zero` a window larger than the screen starts at its top-left
// corner instead of hanging off it to the left or above.
QPoint centred_position(const QSize& screen, const QSize& outer, bool clamp_at_zero);

// Outer size of a top-level window (frame included, as far as the window
// system has told us about it yet), and setting it.
QSize outer_size(const QWidget* window);
void set_outer_size(QWidget* window, const QSize& outer);

// Gives the window an outer size of width_px × height_px and centres it on its
// screen without clamping: the small windows that use it always fit.
void center_form(QWidget* window, int width_px, int height_px);
