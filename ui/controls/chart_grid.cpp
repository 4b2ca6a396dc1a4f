#include "ui/controls/chart_grid.h"

#include "ui/controls/chart_geometry.h"

namespace ui::chart {

void DrawGrid(QPainter& painter, const QPen& solid, const GridGeometry& grid,
              std::span<const int> dottedLevels) {
    const QRect& frame = grid.frame;
    painter.setPen(solid);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(frame.left(), frame.top(), frame.width() - 1, frame.height() - 1));
    painter.drawLine(frame.left(), grid.zeroY, frame.left() + frame.width(), grid.zeroY);
    QPen dotted = solid;
    dotted.setStyle(Qt::DotLine);
    painter.setPen(dotted);
    const int right = frame.left() + frame.width();
    const int bottom = frame.top() + frame.height();
    for (int level : dottedLevels) {
        const int y = static_cast<int>(grid.gainToY(level));
        painter.drawLine(frame.left(), y, right, y);
    }
    painter.setPen(solid);
    if (grid.verticals.empty()) {
        for (int hz : kGridFrequencies) {
            if (hz == kHighHz) {
                continue;  // the chart's right edge
            }
            const int x = static_cast<int>(grid.horizontalToX(hz));
            painter.drawLine(x, frame.top(), x, bottom);
        }
        return;
    }
    for (int value : grid.verticals) {
        const int x = static_cast<int>(grid.horizontalToX(value));
        if (x <= frame.left() || x >= right - 1) {
            continue;
        }
        painter.drawLine(x, frame.top(), x, bottom);
    }
}

}  // namespace ui::chart
