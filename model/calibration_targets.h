// The target curves of the automatic calibration: the response the
// amplifier corrects each channel towards, chosen by the EQ mode of the run
// (mode 0 the first preset, mode 1 the second). Each preset is 31 peaking
// bands on the 31-band frequencies; a channel with fewer bands takes the
// first bands of the preset, so the curve the window draws for it is the one
// its own bands can make.
#pragma once

#include <array>

#include "model/profile_records.h"

namespace model {

inline constexpr int kTargetPresetBands = 31;
inline constexpr int kTargetPresetCount = 2;

using TargetPreset = std::array<EqBand, kTargetPresetBands>;

// Preset p (0 or 1); any other p gives the first preset.
const TargetPreset& calibrationTargetPreset(int p);

}  // namespace model
