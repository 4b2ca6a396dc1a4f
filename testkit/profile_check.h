// One check that the virtual amplifier holds a profile: every output's trim,
// delay, type, mute, phase, bypass, crossover and bands, and the mixer.
#pragma once

#include "model/profile.h"
#include "virtual_device/amplifier_state.h"

namespace testkit {

// Scenes keep the mixer rows of each source's own inputs; the working state
// also has the two cross-source rows and the sources they take.
enum class Held { kScene, kWorkingState };

// Fails (without stopping the test) at every value that differs.
void ExpectOutputsHeld(const virtual_device::AmplifierState& amp, const model::Profile& p);
void ExpectMixerHeld(const virtual_device::AmplifierState& amp, const model::Profile& p,
                     Held which);
// The first `rows` mixer rows of one source.
void ExpectSourceMixHeld(const virtual_device::AmplifierState& amp, const model::Profile& p,
                         int source, int rows);
inline void ExpectAmplifierHolds(const virtual_device::AmplifierState& amp, const model::Profile& p,
                                 Held which) {
    ExpectOutputsHeld(amp, p);
    ExpectMixerHeld(amp, p, which);
}

}  // namespace testkit
