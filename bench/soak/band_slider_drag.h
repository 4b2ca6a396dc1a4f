// EQ band-slider drags: moves of a band's "eq_slider_%d" (tenths of a dB) on
// the current output, the bands taken in turn; its release at the last value
// changes nothing.
#pragma once

#include <cstdint>

#include "bench/soak/change_recorder.h"
#include "bench/soak/soak_rig.h"

namespace soak {

class BandSliderDrag {
public:
    BandSliderDrag(SoakRig& rig, ChangeRecorder& recorder) : mRig(rig), mRecorder(recorder) {}
    void Make();

private:
    SoakRig& mRig;
    ChangeRecorder& mRecorder;
    uint64_t mTurn = 0;
    int mDirection = 1;
};

}  // namespace soak
