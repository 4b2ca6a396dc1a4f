// The grid both chart controls draw under their curves: the frame, the
// 0 dB line solid, a dotted line at each of the chart's dB levels and a
// solid line at each grid frequency (20 kHz, the right edge, excepted).
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
    std::function<double(double hz)> frequencyToX;
};

void DrawGrid(QPainter& painter, const QPen& solid, const GridGeometry& grid,
              std::span<const int> dottedLevels);

}  // namespace ui::chart
