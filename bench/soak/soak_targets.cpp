#include "bench/soak/soak_targets.h"

#include <cstddef>
#include <cstdio>

#include "bench/soak/drag_steps.h"

namespace soak {

namespace {

// Whether a change on output c stays on it: no link and no bridge.
bool Alone(const model::Profile& p, int c) {
    const size_t i = static_cast<size_t>(c);
    return (p.linkMode == 0 || p.linkOutputs[i] < 0 || p.linkOutputs[i] == c) &&
           p.bridgeOutputs[static_cast<size_t>(c / 2)] == 0 && p.linkGroup[i] == 0 &&
           p.delayLinkGroup[i] == 0;
}

}  // namespace

bool PickOutputs(const model::Profile& p, int outputs, SoakTargets& targets) {
    for (int c = 0; c < outputs; ++c) {
        if (!Alone(p, c)) {
            continue;
        }
        targets.delayChannels.push_back(c);
        const int type = p.outputs[static_cast<size_t>(c)];
        if (p.channels[c].mute == 0 && type != 22 && type != 23) {
            targets.trimChannels.push_back(c);
        }
        // EQ on an output whose EQ is on: a bypassed one is zeroed by the
        // first edit, band by band.
        if (!p.channels[c].bypass && p.bandCount(c) > kEqBands.back()) {
            targets.eqChannels.push_back(c);
        }
    }
    if (targets.delayChannels.empty() || targets.trimChannels.empty() ||
        targets.eqChannels.empty()) {
        std::fprintf(stderr, "the tune leaves no output free of links for every kind\n");
        return false;
    }
    return true;
}

}  // namespace soak
