// Mixer-slider drags: moves of a mixer point's "box_volume_%d_%d", the
// points taken in turn; its release at the last level changes nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/soak/change_recorder.h"
#include "bench/soak/soak_rig.h"
#include "bench/soak/soak_targets.h"

namespace soak {

class MixerDrag {
public:
    MixerDrag(SoakRig& rig, ChangeRecorder& recorder, const std::vector<MixerPoint>& points)
        : mRig(rig), mRecorder(recorder), mPoints(points) {}
    // Every point the drags move that is off, set to 60.
    void SwitchOn();
    void Make();

private:
    void Move(int row, int output, int level, const char* type);
    void Notify(int row, int output, const char* type);

    SoakRig& mRig;
    ChangeRecorder& mRecorder;
    const std::vector<MixerPoint>& mPoints;
    uint64_t mTurn = 0;
    int mDirection = -1;
};

}  // namespace soak
