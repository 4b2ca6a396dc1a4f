// What the chart controls share of their geometry: the logarithmic
// frequency axis from the model's lowest frequency to 20 kHz with its grid
// lines, the smoothing of a response curve walked from its highest
// frequency down, and the curves' shapes (a chain of cubic Bezier segments,
// a cardinal spline) flattened to short lines for drawing.
#pragma once

#include <QPoint>
#include <QPointF>
#include <array>
#include <span>
#include <vector>

namespace ui::chart {

inline constexpr int kHighHz = 20000;
// The vertical grid lines; the last, 20 kHz, is the chart's right edge and
// never drawn.
inline constexpr std::array<int, 28> kGridFrequencies = {
    20,  30,  40,  50,   60,   70,   80,   90,   100,  200,  300,  400,  500,   600,
    700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000};

// The chart's lowest frequency, its left edge (the model's EQ minimum).
int MinHz();

// x of a frequency on the axis that runs from MinHz() at left to 20 kHz at
// left + width.
double FrequencyToX(double hz, double left, double width);

// The smoothing of a curve walked from its highest frequency down: the
// first point is kept, every later one is the mean of itself and the point
// stored before it, and a point left of the chart repeats that one. Only
// the stored copy is rounded to whole pixels.
class CurveSmoother {
public:
    QPoint Next(QPointF point, double left);

private:
    bool mFirst = true;
    QPointF mPrevious;
};

// A chain of cubic Bezier segments through the points (3k + 1 of them are
// used; fewer than four are joined by straight lines), as short lines.
void FlattenBezierChain(std::span<const QPoint> points, std::vector<QPointF>& out);
// A cardinal spline through every point with the given tension (0.5 is the
// usual smooth curve), as short lines.
void FlattenCardinalSpline(std::span<const QPoint> points, double tension,
                           std::vector<QPointF>& out);

}  // namespace ui::chart
