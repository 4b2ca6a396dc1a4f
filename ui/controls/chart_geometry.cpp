#include "ui/controls/chart_geometry.h"

#include <QLineF>
#include <algorithm>
#include <cmath>

#include "app/model_cfg.h"

namespace ui::chart {
namespace {

// One cubic segment from p0 to p3, in steps a few pixels long.
void AppendCubic(QPointF p0, QPointF p1, QPointF p2, QPointF p3, std::vector<QPointF>& out) {
    const double span = QLineF(p0, p1).length() + QLineF(p1, p2).length() + QLineF(p2, p3).length();
    const int steps = std::clamp(static_cast<int>(span / 3.0) + 1, 1, 64);
    for (int k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const double u = 1.0 - t;
        const QPointF at =
            u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
        if (at != out.back()) {
            out.push_back(at);
        }
    }
}

}  // namespace

int MinHz() {
    const int low = app::CurrentModelCfg().mEQ_FREQ_MIN;
    return low > 0 ? low : 20;
}

double FrequencyToX(double hz, double left, double width) {
    const double low = std::log10(static_cast<double>(MinHz()));
    const double span = std::log10(static_cast<double>(kHighHz)) - low;
    return left + width * (std::log10(std::max(hz, 1.0)) - low) / span;
}

QPoint CurveSmoother::Next(QPointF point, double left) {
    QPointF stored;
    if (mFirst) {
        stored = point;
    } else if (point.x() >= left) {
        stored = (point + mPrevious) / 2.0;
    } else {
        stored = mPrevious;
    }
    mFirst = false;
    const QPoint rounded = stored.toPoint();
    mPrevious = rounded;
    return rounded;
}

void FlattenBezierChain(std::span<const QPoint> points, std::vector<QPointF>& out) {
    out.clear();
    const int passed = static_cast<int>(points.size());
    if (passed == 0) {
        return;
    }
    out.push_back(QPointF(points[0]));
    if (passed < 4) {
        for (int i = 1; i < passed; ++i) {
            out.push_back(QPointF(points[static_cast<size_t>(i)]));
        }
        return;
    }
    const int used = passed - (passed - 1) % 3;
    for (int i = 0; i + 3 < used; i += 3) {
        AppendCubic(QPointF(points[static_cast<size_t>(i)]),
                    QPointF(points[static_cast<size_t>(i + 1)]),
                    QPointF(points[static_cast<size_t>(i + 2)]),
                    QPointF(points[static_cast<size_t>(i + 3)]), out);
    }
}

void FlattenCardinalSpline(std::span<const QPoint> points, double tension,
                           std::vector<QPointF>& out) {
    out.clear();
    const int n = static_cast<int>(points.size());
    if (n == 0) {
        return;
    }
    auto at = [&points, n](int i) {
        return QPointF(points[static_cast<size_t>(std::clamp(i, 0, n - 1))]);
    };
    out.push_back(at(0));
    // Each segment's tangents point from the neighbour before to the one
    // after; the ends take themselves as their missing neighbour.
    const double k = tension / 3.0;
    for (int i = 0; i + 1 < n; ++i) {
        const QPointF p1 = at(i);
        const QPointF p2 = at(i + 1);
        AppendCubic(p1, p1 + (p2 - at(i - 1)) * k, p2 - (at(i + 2) - p1) * k, p2, out);
    }
}

}  // namespace ui::chart
