// The EQ chart: copies what it is given, as the real one does, and lets the
// soak move a band's point before the chart notifies.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "controller/eq_chart.h"
#include "model/profile.h"

namespace soak {

class DragChart final : public controller::EqChart {
public:
    void setCurEqBands(std::span<const model::EqBand> bands, int selected) override;
    void setCurEqHpLp(int hpHz, int lpHz) override {
        mHp = hpHz;
        mLp = lpHz;
    }
    void setEqCurves(std::span<const controller::CurveRow> frequency,
                     std::span<const controller::CurveRow> magnitude,
                     std::span<const controller::CurveRow> phase, int,
                     std::span<const int32_t>) override;
    void setDragAllDirection(bool) override {}
    void setShowPhase(bool) override {}
    int CurrentControlIndex() const override { return mSelected; }
    model::EqBand Band(int index) const override;
    int HpFreq() const override { return mHp; }
    int LpFreq() const override { return mLp; }

    // The user's pointer moved the band's point here.
    void MovePoint(int index, int hz, float gainDb);

private:
    using Rows = std::array<controller::CurveRow, model::kOutputSlots>;
    static void CopyRows(std::span<const controller::CurveRow> from, Rows& to);

    std::array<model::EqBand, model::kBandsPerChannel> mBands{};
    size_t mCount = 0;
    std::array<Rows, 3> mRows{};
    int mSelected = -1;
    int mHp = 20;
    int mLp = 20000;
};

}  // namespace soak
