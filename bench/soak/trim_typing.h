// Typed trims: "edit_ch_volume_%d" committed with Enter, on the outputs
// taken in turn.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/soak/change_recorder.h"
#include "bench/soak/soak_rig.h"

namespace soak {

class TrimTyping {
public:
    TrimTyping(SoakRig& rig, ChangeRecorder& recorder, const std::vector<int>& channels)
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
