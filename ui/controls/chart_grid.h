// The grid the chart controls draw under their curves: the frame, the 0 dB
// line solid, a dotted line at each of the chart's dB levels and a solid
// line at each grid frequency (20 kHz, the right edge, excepted), or, for a
// chart whose horizontal axis is a level, at each of the levels given.
#pragma once

#include <QPainter>
#include <QPen>
#include <QRect>
#include <functional>
#include <span>

namespace ui::chart {

struct GridGeometry {
    QRect frame;  // the chart's rectangle
    int zeroY = 0;
    std::function<double(double db)> gainToY;
    // x of a value of the horizontal axis.
    std::function<double(double value)> horizontalToX;
    // The solid vertical lines' values; the frequency grid when empty. Lines
    // on the frame's left or right edge are left to the frame.
    std::span<const int> verticals = {};
};

void DrawGrid(QPainter& painter, const QPen& solid, const GridGeometry& grid,
              std::span<const int> dottedLevels);

}  // namespace ui::chart
