// The target curves of the automatic calibration: the response the
// amplifier corrects each channel towards, chosen by the EQ mode of the run
// (mode m, preset m): 0 the reference, 1 a warm curve with a falling treble,
// then the listening modes pop, rock, jazz, classical, vocal, bass, treble
// and flat. Each preset is 31 peaking bands on the 31-band frequencies; a
// channel with fewer bands takes the first bands of the preset, so the curve
// the window draws for it is the one its own bands can make.
#pragma once

#include <array>

#include "model/profile_records.h"

namespace model {

inline constexpr int kTargetPresetBands = 31;
inline constexpr int kTargetPresetCount = 10;

using TargetPreset = std::array<EqBand, kTargetPresetBands>;

// Preset p (0 to 9); any other p gives the first preset.
const TargetPreset& calibrationTargetPreset(int p);

}  // namespace model
