// Painting the calibration chart: the grid, then the speaker layer, the EQ
// layer and the target layer, each curve anti-aliased in a layer of its own
// laid over the grid.
#include <QPaintDevice>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "ui/controls/chart_geometry.h"
#include "ui/controls/chart_grid.h"
#include "ui/controls/ui_equalizer_ac.h"
#include "ui/controls/ui_equalizer_ac_parts.h"

namespace ui {

using namespace chart;

namespace {

constexpr std::array<int, 6> kGridLevels = {-15, -10, -5, 5, 10, 15};
// The smooth curve of the speaker and target layers.
constexpr double kSplineTension = 0.5;
// Values beyond this are drawn at it: the curve leaves the chart anyway and
// the pixel maths stays finite.
constexpr double kDrawnDbLimit = 1000.0;

QColor Argb(uint32_t argb) {
    return QColor::fromRgba(argb);
}

// Every point but the last.
std::span<const QPoint> AllButLast(const std::vector<QPoint>& points) {
    return std::span<const QPoint>(points.data(), points.empty() ? 0 : points.size() - 1);
}

}  // namespace

// ---- coordinates ----

double UIEqualizerAc::ZeroY() const {
    return mTop + mHeight * kTopDb / (kTopDb - kBottomDb);
}

double UIEqualizerAc::FrequencyToX(double hz) const {
    return chart::FrequencyToX(hz, mLeft, mWidth);
}

double UIEqualizerAc::GainToY(double db) const {
    const double zero = ZeroY();
    if (db > 0) {
        return zero - (zero - mTop) * db / kTopDb;
    }
    if (db < 0) {
        return zero + (mBottom - zero) * -db / -kBottomDb;
    }
    return zero;
}

// ---- painting ----

void UIEqualizerAc::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter);
}

void UIEqualizerAc::resizeEvent(QResizeEvent* event) {
    TakeRectangle();
    QWidget::resizeEvent(event);
}

void UIEqualizerAc::TakeRectangle() {
    mLeft = 0;
    mTop = 0;
    mRight = width();
    mBottom = height();
    mWidth = mRight - mLeft;
    mHeight = mBottom - mTop;
}

void UIEqualizerAc::DrawGrid(QPainter& painter) {
    const chart::GridGeometry grid{QRect(mLeft, mTop, mWidth, mHeight), static_cast<int>(ZeroY()),
                                   [this](double db) { return GainToY(db); },
                                   [this](double hz) { return FrequencyToX(hz); }};
    chart::DrawGrid(painter, QPen(Argb(kLineColor), 1), grid, kGridLevels);
}

void UIEqualizerAc::MapCurve(std::span<const double> hz, std::span<const double> db,
                             bool smoothed) {
    mStroke.clear();
    CurveSmoother smoother;
    const double lowest = MinHz();
    for (size_t k = hz.size(); k-- > 0;) {
        const double f = hz[k];
        if (!(f >= lowest && f <= kHighHz) || std::isnan(db[k])) {
            continue;
        }
        const QPointF point(FrequencyToX(f),
                            GainToY(std::clamp(db[k], -kDrawnDbLimit, kDrawnDbLimit)));
        mStroke.push_back(smoothed ? smoother.Next(point, mLeft) : point.toPoint());
    }
}

void UIEqualizerAc::DrawSpeakerLayer() {
    const auto& layer = mLayers->speaker;
    for (size_t i = 0; i < static_cast<size_t>(layer.count); ++i) {
        if (!layer.visible[i]) {
            continue;
        }
        MapCurve(layer.frequency[i], layer.value[i], false);
        FlattenCardinalSpline(mStroke, kSplineTension, mPolyline);
        mRaster.Stroke(mPolyline, kPenWidth, kSpeakerPalette[i], false);
    }
}

void UIEqualizerAc::DrawEqLayer() {
    const auto& layer = mLayers->eq;
    for (size_t i = 0; i < static_cast<size_t>(layer.count); ++i) {
        if (!layer.visible[i]) {
            continue;
        }
        MapCurve(layer.frequency[i], layer.value[i], true);
        FlattenBezierChain(AllButLast(mStroke), mPolyline);
        mRaster.Stroke(mPolyline, kPenWidth, kEqPalette[i], true);
    }
}

void UIEqualizerAc::DrawTargetLayer() {
    const auto& layer = mLayers->target;
    for (size_t i = 0; i < static_cast<size_t>(layer.count); ++i) {
        if (!layer.visible[i]) {
            continue;
        }
        MapCurve(layer.frequency[i], layer.value[i], true);
        FlattenCardinalSpline(AllButLast(mStroke), kSplineTension, mPolyline);
        mRaster.Stroke(mPolyline, kPenWidth, kTargetColor, false);
    }
}

void UIEqualizerAc::Paint(QPainter& painter) {
    TakeRectangle();
    painter.fillRect(QRect(mLeft, mTop, mWidth, mHeight), Argb(mBackground));
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawGrid(painter);

    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    mRaster.Begin(QSize(static_cast<int>(std::ceil(mWidth * ratio)),
                        static_cast<int>(std::ceil(mHeight * ratio))),
                  ratio);
    DrawSpeakerLayer();
    DrawEqLayer();
    DrawTargetLayer();
    painter.drawImage(QPointF(mLeft, mTop), mRaster.Image());
}

}  // namespace ui
