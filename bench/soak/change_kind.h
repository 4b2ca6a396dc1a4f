// The kinds of timed change the soak makes, as its figures name them.
#pragma once

namespace soak {

enum Kind { kTrim, kDelay, kBandSlider, kChartRelease, kMixerLevel, kKinds };
inline constexpr const char* kKindNames[kKinds] = {"typed trim", "delay slider", "EQ band slider",
                                                   "EQ chart drag", "mixer slider"};

}  // namespace soak
