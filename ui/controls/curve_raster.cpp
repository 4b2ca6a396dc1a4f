#include "ui/controls/curve_raster.h"

#include <algorithm>
#include <cmath>

namespace ui {

void CurveRaster::Begin(QSize size, double scale) {
    mScale = scale > 0 ? scale : 1.0;
    if (size.width() != mWidth || size.height() != mHeight || mImage.isNull()) {
        mWidth = std::max(0, size.width());
        mHeight = std::max(0, size.height());
        mImage =
            QImage(std::max(1, mWidth), std::max(1, mHeight), QImage::Format_ARGB32_Premultiplied);
        mCoverage.assign(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight), 0);
    }
    mImage.setDevicePixelRatio(mScale);
    mImage.fill(Qt::transparent);
}

void CurveRaster::Cover(int x, int y, double coverage) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight || coverage <= 0) {
        return;
    }
    const int value = coverage >= 1 ? 255 : static_cast<int>(coverage * 255 + 0.5);
    const size_t index =
        static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x);
    uint8_t& cell = mCoverage[index];
    if (cell == 0 && value > 0) {
        mTouched.push_back(static_cast<uint32_t>(index));
    }
    if (value > cell) {
        cell = static_cast<uint8_t>(value);
    }
}

// The pixels whose centres lie over the segment (columns for a shallow one,
// rows for a steep one), each covered by the part of the line's cross
// section that falls inside it; where segments overlap the larger coverage
// counts.
void CurveRaster::Segment(QPointF a, QPointF b, double half) {
    double dx = b.x() - a.x();
    double dy = b.y() - a.y();
    if (dx == 0 && dy == 0) {
        return;
    }
    const bool shallow = std::fabs(dx) >= std::fabs(dy);
    // Walk along the major axis: u is that axis, v the other one.
    double u0 = shallow ? a.x() : a.y();
    double v0 = shallow ? a.y() : a.x();
    double u1 = shallow ? b.x() : b.y();
    double v1 = shallow ? b.y() : b.x();
    if (u0 > u1) {
        std::swap(u0, u1);
        std::swap(v0, v1);
    }
    const double slope = (v1 - v0) / (u1 - u0);
    const double thickness = half * std::sqrt(1 + slope * slope);
    const int limitV = shallow ? mHeight : mWidth;
    if (std::max(v0, v1) + thickness < 0 || std::min(v0, v1) - thickness > limitV) {
        return;  // beside the layer
    }
    const int limitU = shallow ? mWidth : mHeight;
    // Half a pixel beyond each end, so that the next segment, shallow or
    // steep, overlaps this one rather than leaving a notch at the joint.
    const int first = std::max(0, static_cast<int>(std::ceil(u0 - 1.0)));
    const int last = std::min(limitU - 1, static_cast<int>(std::ceil(u1)) - 1);
    for (int u = first; u <= last; ++u) {
        const double centre = v0 + slope * (u + 0.5 - u0);
        const double low = centre - thickness;
        const double high = centre + thickness;
        for (int v = static_cast<int>(std::floor(low)); v <= static_cast<int>(std::floor(high));
             ++v) {
            const double covered = std::min(high, v + 1.0) - std::max(low, static_cast<double>(v));
            if (shallow) {
                Cover(u, v, covered);
            } else {
                Cover(v, u, covered);
            }
        }
    }
}

void CurveRaster::Composite(QRgb argb) {
    const uint32_t alpha = qAlpha(argb);
    const uint32_t red = qRed(argb) * alpha / 255;
    const uint32_t green = qGreen(argb) * alpha / 255;
    const uint32_t blue = qBlue(argb) * alpha / 255;
    auto* pixels = reinterpret_cast<QRgb*>(mImage.bits());
    const size_t stride = static_cast<size_t>(mImage.bytesPerLine()) / sizeof(QRgb);
    const QRgb solid = qPremultiply(argb);
    for (uint32_t index : mTouched) {
        const uint32_t c = mCoverage[index];
        mCoverage[index] = 0;
        const size_t y = index / static_cast<size_t>(mWidth);
        const size_t x = index % static_cast<size_t>(mWidth);
        QRgb& pixel = pixels[y * stride + x];
        if (c == 255 && alpha == 255) {
            pixel = solid;  // inside the line
            continue;
        }
        const uint32_t a = alpha * c / 255;
        const uint32_t keep = 255 - a;
        const QRgb under = pixel;
        pixel = qRgba(static_cast<int>(red * c / 255 + qRed(under) * keep / 255),
                      static_cast<int>(green * c / 255 + qGreen(under) * keep / 255),
                      static_cast<int>(blue * c / 255 + qBlue(under) * keep / 255),
                      static_cast<int>(a + qAlpha(under) * keep / 255));
    }
    mTouched.clear();
}

void CurveRaster::Stroke(const std::vector<QPointF>& line, double width, QRgb argb, bool dashed) {
    if (line.size() < 2 || mWidth == 0 || mHeight == 0) {
        return;
    }
    const double half = width * mScale / 2;
    const double dash = 4 * width * mScale;
    const double gap = 2 * width * mScale;
    bool on = true;
    double left = dash;  // of the current dash or gap
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        QPointF a = line[i] * mScale;
        const QPointF b = line[i + 1] * mScale;
        if (!dashed) {
            Segment(a, b, half);
            continue;
        }
        double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        while (length > 0) {
            const double step = std::min(left, length);
            const QPointF next = a + (b - a) * (step / length);
            if (on) {
                Segment(a, next, half);
            }
            a = next;
            length -= step;
            left -= step;
            if (left <= 0) {
                on = !on;
                left = on ? dash : gap;
            }
        }
    }
    Composite(argb);
}

}  // namespace ui
