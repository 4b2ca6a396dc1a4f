// Anti-aliased wide polylines drawn straight into an image layer, for the EQ
// chart's curves. Each line is covered column by column (row by row where it
// is steep) with its exact thickness across the pixel, so a 2 px curve of a
// few hundred segments costs a few thousand pixel updates, where the general
// path stroker spends tens of times longer on the joins between the short
// segments. A line is composited over what the layer holds as a whole, so
// its own overlapping segments never darken it.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QSize>
#include <cstdint>
#include <vector>

namespace ui {

class CurveRaster {
public:
    // Clears the layer to transparent, sized in device pixels; scale maps
    // the lines' coordinates to them.
    void Begin(QSize size, double scale);
    // One line of the given width (in the lines' coordinates) and colour;
    // dashed as the painter's dash line: dashes four widths long, gaps two.
    void Stroke(const std::vector<QPointF>& line, double width, QRgb argb, bool dashed);
    // The layer, carrying the scale as its device pixel ratio.
    const QImage& Image() const { return mImage; }

private:
    void Segment(QPointF a, QPointF b, double half);
    void Cover(int x, int y, double coverage);
    void Composite(QRgb argb);

    QImage mImage;
    int mWidth = 0;
    int mHeight = 0;
    double mScale = 1.0;
    std::vector<uint8_t> mCoverage;  // of the line being drawn, 0..255
    std::vector<uint32_t> mTouched;  // cells the line covers
    std::vector<QPointF> mDash;
};

}  // namespace ui
