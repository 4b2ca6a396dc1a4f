// Delay-slider drags: moves of "slider_ch_delay_%d" (in microseconds) while
// the button is held, then its release, which sends the delay once more; on
// the outputs taken in turn.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/soak/change_recorder.h"
#include "bench/soak/soak_rig.h"

namespace soak {

class DelayDrag {
public:
    DelayDrag(SoakRig& rig, ChangeRecorder& recorder, const std::vector<int>& channels)
        : mRig(rig), mRecorder(recorder), mChannels(channels) {}
    void Make();

private:
    SoakRig& mRig;
    ChangeRecorder& mRecorder;
    const std::vector<int>& mChannels;
    uint64_t mTurn = 0;
    int mDirection = 1;
};

}  // namespace soak
