// The chart's coordinate maps (frequency to x on a log scale, gain to y on
// the +12/-18 dB scale) and its layout: the band points and their number
// boxes, the selected band's value label and Q handles, and the crossover
// handles.
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "toolkit/unit_texts.h"
#include "ui/controls/ui_equalizer.h"
#include "ui/controls/ui_equalizer_parts.h"

namespace ui {

using namespace eqchart;

namespace {

QString BandText(int index) {
    return QString::number(index + 1);
}

// Where a box of width `full` sits along one axis for a point at `at`:
// centred on the point (`half` to each side), or against the chart's edge
// [low, high] when the point is within `half` of it.
struct Span {
    int from = 0;
    int to = 0;
};
Span SpanAt(int at, int low, int high, int half, int full) {
    if (at < low + half) {
        return {low, low + full};
    }
    if (at > high - half) {
        return {high - full, high};
    }
    return {at - half, at + half};
}

}  // namespace

// ---- coordinates ----

double UIEqualizer::FrequencyToX(double hz) const {
    return chart::FrequencyToX(hz, mLeft, mWidth);
}

int UIEqualizer::XToFrequency(double x) const {
    if (mWidth <= 0) {
        return MinHz();
    }
    const double low = std::log10(static_cast<double>(MinHz()));
    const double span = std::log10(static_cast<double>(kHighHz)) - low;
    return static_cast<int>(std::lround(std::pow(10.0, low + (x - mLeft) * span / mWidth)));
}

double UIEqualizer::GainToY(double db) const {
    if (db > 0) {
        return mZeroY - std::round((mZeroY - mTop) * db) / kTopDb;
    }
    if (db < 0) {
        return mZeroY - std::round((mBottom - mZeroY) * db) / -kBottomDb;
    }
    return mZeroY;
}

double UIEqualizer::YToGain(double y) const {
    if (y < mZeroY && mZeroY > mTop) {
        return kTopDb * (mZeroY - y) / (mZeroY - mTop);
    }
    if (y > mZeroY && mBottom > mZeroY) {
        return kBottomDb * (y - mZeroY) / (mBottom - mZeroY);
    }
    return 0.0;
}

QPoint UIEqualizer::ClampToChart(QPoint p) const {
    return QPoint(std::clamp(p.x(), mLeft, std::max(mLeft, mRight)),
                  std::clamp(p.y(), mTop, std::max(mTop, mBottom)));
}

QPoint UIEqualizer::PointOf(const model::EqBand& band) const {
    const double hz = std::clamp(static_cast<double>(band.freq), static_cast<double>(MinHz()),
                                 static_cast<double>(kHighHz));
    const double db = std::isfinite(band.eqGain) ? std::clamp(static_cast<double>(band.eqGain),
                                                              double{kBottomDb}, double{kTopDb})
                                                 : 0.0;
    return QPoint(static_cast<int>(FrequencyToX(hz)), static_cast<int>(GainToY(db)));
}

// ---- layout ----

UIEqualizer::Box UIEqualizer::MarkerBoxAt(QPoint point) const {
    const int h = scaled(8);
    const int d = scaled(16);
    const Span across = SpanAt(point.x(), mLeft, mRight, h, d);
    const Span down = SpanAt(point.y(), mTop, mBottom, h, d);
    return Box{across.from, down.from, across.to, down.to};
}

void UIEqualizer::FullLayout() {
    mLeft = 0;
    mTop = 0;
    mRight = width();
    mBottom = height();
    mWidth = mRight - mLeft;
    mHeight = mBottom - mTop;
    mZeroY = static_cast<float>(mTop + (mHeight * kTopDb) / (kTopDb - kBottomDb));
    mLayoutValid = mHeight != 0 && mWidth != 0 && mZeroY != 0;
    for (int i = 0; i < mBandCount; ++i) {
        const bool dragged = mCapture == Capture::INDEX_CAPTURED && i == mCurrentControlIndex;
        // The point being dragged stays under the pointer whatever the
        // refresh rounded its values to.
        mPoints[i] = dragged ? mDragPoint : PointOf(mBands[i]);
        mMarkerBoxes[i] = MarkerBoxAt(mPoints[i]);
        mMarkerTexts[i] = BandText(i);
    }
    LayoutLabel();
    LayoutCrossover();
}

void UIEqualizer::LayoutLabel() {
    mLabelText.clear();
    mLabelBox = Box{};
    mQHandles = {};
    if (!SelectedValid()) {
        return;
    }
    const model::EqBand& band = mBands[static_cast<size_t>(mCurrentControlIndex)];
    const QPoint point = mPoints[static_cast<size_t>(mCurrentControlIndex)];
    const int x = point.x();
    const int y = point.y();
    char text[96];
    int half;
    int full;
    if (mDragAllDirection) {
        char q[32];
        std::snprintf(q, sizeof q, "%0.2f", static_cast<double>(band.eqFactor));
        std::snprintf(text, sizeof text, "%d Hz %s Q %.1f dB", band.freq, q,
                      static_cast<double>(band.eqGain));
        half = scaled(75);
        full = scaled(150);
    } else {
        std::snprintf(text, sizeof text, "%.1f dB", static_cast<double>(band.eqGain));
        half = scaled(25);
        full = scaled(50);
    }
    mLabelText = QString::fromStdString(toolkit::LocalUnits(text));
    const Span across = SpanAt(x, mLeft, mRight, half, full);
    mLabelBox.left = across.from;
    mLabelBox.right = across.to;
    // The label goes below the point as a rule, the Q handles between the
    // two; near the chart's bottom both go above the point, and at the very
    // top or bottom they keep to the edge.
    enum class Slot { kTop, kAbove, kBelow, kBottom };
    Slot slot = Slot::kBottom;
    if (y < mTop + scaled(14)) {
        slot = Slot::kTop;
    } else if (y > mBottom - scaled(29) && y < mBottom - scaled(10)) {
        slot = Slot::kAbove;
    } else if (y < mBottom - scaled(10)) {
        slot = Slot::kBelow;
    }
    // The vertical extent in the slot: nearPx to farPx (at 100 %) away from
    // the point, or innerPx to outerPx in from the chart's edge.
    auto inSlot = [&](int nearPx, int farPx, int innerPx, int outerPx) -> Span {
        switch (slot) {
            case Slot::kTop:
                return {mTop + scaled(innerPx), mTop + scaled(outerPx)};
            case Slot::kAbove:
                return {y - scaled(farPx), y - scaled(nearPx)};
            case Slot::kBelow:
                return {y + scaled(nearPx), y + scaled(farPx)};
            case Slot::kBottom:
                break;
        }
        return {mBottom - scaled(outerPx), mBottom - scaled(innerPx)};
    };
    const Span labelDown = inSlot(14, 29, 22, 37);
    mLabelBox.top = labelDown.from;
    mLabelBox.bottom = labelDown.to;
    if (!mDragAllDirection) {
        return;
    }
    // The handles sit 81/Q pixels (at 100 %) to each side of the point, so
    // grabbing one where it is drawn gives the same Q back.
    const double q = std::clamp(static_cast<double>(band.eqFactor), 0.5, 9.0);
    const int d = static_cast<int>(std::lround(81.0 / q));
    const int g = Scale() * d / 100;
    const int f = scaled(4);
    const Span down = inSlot(4, 12, 12, 20);
    mQHandles[0] = Box{x - g - f, down.from, x - g + f, down.to};
    mQHandles[1] = Box{x + g - f, down.from, x + g + f, down.to};
}

void UIEqualizer::LayoutCrossover() {
    const int s = Scale();
    const bool fullNames = Cfg().mUSE_FULL_PASS_FILTER_NAME;
    const int h = fullNames ? s * 21 / 100 : s * 7 / 100;
    const int full = fullNames ? s * 42 / 100 : s * 14 / 100;
    auto boxAt = [&](int hz, double topDb, int height) {
        Box box;
        if (hz < MinHz() || hz > kHighHz) {
            return box;
        }
        const double x = FrequencyToX(hz);
        const int a = static_cast<int>(x - h);
        const int rightEdge = a < mLeft ? mLeft + full : static_cast<int>(x + h);
        if (rightEdge > mRight) {
            box.left = mRight - full;
            box.right = mRight;
        } else {
            box.left = std::max(a, mLeft);
            box.right = rightEdge;
        }
        box.top = static_cast<int>(GainToY(topDb));
        box.bottom = box.top + height;
        return box;
    };
    mHpBox = boxAt(mHpFreq, -8.0, scaled(10));
    mLpBox = boxAt(mLpFreq, fullNames ? -8.0 : -11.0, scaled(10) + 2);
}

void UIEqualizer::resizeEvent(QResizeEvent* event) {
    mLayoutValid = false;  // the band points follow at the next paint
    QWidget::resizeEvent(event);
}

}  // namespace ui
