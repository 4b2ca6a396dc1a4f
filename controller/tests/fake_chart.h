// The EQ chart for controller tests: keeps what the controller gives it, and
// lets a test play the user's drag by changing its copy before it notifies.
#pragma once

#include <cmath>
#include <span>
#include <vector>

#include "controller/eq_chart.h"

namespace test_support {

class FakeChart final : public controller::EqChart {
public:
    void setCurEqBands(std::span<const model::EqBand> bands, int selected) override {
        mBands.assign(bands.begin(), bands.end());
        mSelected = selected;
        ++mBandFeeds;
    }
    void setCurEqHpLp(int hpHz, int lpHz) override {
        mHp = hpHz;
        mLp = lpHz;
    }
    void setEqCurves(std::span<const controller::CurveRow> frequency,
                     std::span<const controller::CurveRow> magnitude,
                     std::span<const controller::CurveRow> phase, int current,
                     std::span<const int32_t> showFlags) override {
        mFrequency.assign(frequency.begin(), frequency.end());
        mMagnitude.assign(magnitude.begin(), magnitude.end());
        mPhaseRows = phase.size();
        mCurrent = current;
        mShow.assign(showFlags.begin(), showFlags.end());
    }
    void setDragAllDirection(bool peq) override { mPeq = peq; }
    void setShowPhase(bool show) override { mShowPhase = show; }
    int CurrentControlIndex() const override { return mSelected; }
    model::EqBand Band(int index) const override {
        return index >= 0 && index < static_cast<int>(mBands.size()) ? mBands[index]
                                                                     : model::EqBand{};
    }
    int HpFreq() const override { return mHp; }
    int LpFreq() const override { return mLp; }

    // The magnitude shown for an output at the grid point nearest to hz.
    double ShownDbAt(int channel, double hz) const {
        const auto& grid = mFrequency.at(static_cast<size_t>(channel));
        size_t best = 0;
        for (size_t i = 0; i < grid.size(); ++i) {
            if (std::abs(std::log(grid[i] / hz)) < std::abs(std::log(grid[best] / hz))) {
                best = i;
            }
        }
        return mMagnitude.at(static_cast<size_t>(channel))[best];
    }

    std::vector<model::EqBand> mBands;
    int mSelected = -1;
    int mHp = -1;
    int mLp = -1;
    std::vector<controller::CurveRow> mFrequency;
    std::vector<controller::CurveRow> mMagnitude;
    size_t mPhaseRows = 0;
    int mCurrent = -1;
    std::vector<int32_t> mShow;
    bool mPeq = false;
    bool mShowPhase = false;
    int mBandFeeds = 0;
};

}  // namespace test_support
