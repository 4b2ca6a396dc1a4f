// What the soak changes: the outputs each kind of change takes in turn and
// the mixer points the mixer drags move.
#pragma once

#include <utility>
#include <vector>

#include "model/profile.h"

namespace soak {

using MixerPoint = std::pair<int, int>;  // mixer row, output

struct SoakTargets {
    std::vector<int> trimChannels;
    std::vector<int> delayChannels;
    std::vector<int> eqChannels;
    std::vector<MixerPoint> mixerPoints;
};

// The first `outputs` outputs of `p` that each kind of change may take;
// false, and why on stderr, when a kind is left without one.
bool PickOutputs(const model::Profile& p, int outputs, SoakTargets& targets);

}  // namespace soak
