// How many changes the soak makes, in its burst and paced, and how often it
// samples.
#pragma once

namespace soak {

inline constexpr int kChanges = 100000;
inline constexpr int kSampleEvery = 10000;
inline constexpr int kBurstChanges = 5000;
inline constexpr int kUsbBurstChanges = 1000;

}  // namespace soak
