#pragma once

#include <QRect>
#include <QSize>

// Where the stretching controls of the device and status tabs go for a page of
// a given size. Everything is in page coordinates; sizes never go below 0 when
// the page is smaller than the margins.

// The chart keeps its top-left corner; its right and bottom margins equal its
// left one.
QRect chart_geometry(const QSize& page, const QRect& chart);

struct SysstatGeometry {
    QRect text;  // sysstatout
    QRect read;  // cmd_sysstatread
    QRect save;  // cmd_sysstatsave
};

// The status text box fills the page with the margin it has above it (its top
// edge) left free on its left and right, between it and the buttons and below
// the buttons. The buttons keep their left edges and sizes.
SysstatGeometry sysstat_geometry(const QSize& page, const SysstatGeometry& current);
