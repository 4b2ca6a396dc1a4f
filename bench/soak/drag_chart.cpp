#include "bench/soak/drag_chart.h"

#include <algorithm>

namespace soak {

void DragChart::setCurEqBands(std::span<const model::EqBand> bands, int selected) {
    mCount = std::min(bands.size(), mBands.size());
    std::copy_n(bands.begin(), mCount, mBands.begin());
    mSelected = selected;
}

void DragChart::setEqCurves(std::span<const controller::CurveRow> frequency,
                            std::span<const controller::CurveRow> magnitude,
                            std::span<const controller::CurveRow> phase, int,
                            std::span<const int32_t>) {
    CopyRows(frequency, mRows[0]);
    CopyRows(magnitude, mRows[1]);
    CopyRows(phase, mRows[2]);
}

model::EqBand DragChart::Band(int index) const {
    return index >= 0 && static_cast<size_t>(index) < mCount ? mBands[static_cast<size_t>(index)]
                                                             : model::EqBand{};
}

void DragChart::MovePoint(int index, int hz, float gainDb) {
    model::EqBand& band = mBands[static_cast<size_t>(index)];
    band.freq = hz;
    band.eqGain = gainDb;
    mSelected = index;
}

void DragChart::CopyRows(std::span<const controller::CurveRow> from, Rows& to) {
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
}

}  // namespace soak
