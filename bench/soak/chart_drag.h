// EQ chart drags: a band's point dragged on the chart in frequency and gain,
// on the current output, the bands taken in turn. The moves are held back by
// the chart's 500 ms limit and send nothing; the release at the last point
// sends the band.
#pragma once

#include <array>
#include <cstdint>

#include "bench/soak/change_recorder.h"
#include "bench/soak/soak_rig.h"
#include "model/profile.h"

namespace soak {

class ChartDrag {
public:
    ChartDrag(SoakRig& rig, ChangeRecorder& recorder) : mRig(rig), mRecorder(recorder) {}
    // The drags keep each band near where the tune has it on `channel`.
    void KeepNear(int channel);
    // One drag whose first move may send; waited for, untimed.
    void Prime();
    void Make();

private:
    SoakRig& mRig;
    ChangeRecorder& mRecorder;
    std::array<int, model::kBandsPerChannel> mHomeHz{};
    uint64_t mTurn = 0;
    int mFreqDirection = 1;
    int mGainDirection = -1;
};

}  // namespace soak
