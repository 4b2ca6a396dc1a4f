// Input sources: index 0..9 (optical, coaxial, Bluetooth, AUX, low level,
// high level, DMP, UDP, SCP, A2B) and the code 81 + index the device uses.
#pragma once

namespace model {

inline constexpr int kSourceCodeBase = 81;
inline constexpr int kLowLevelSource = 4;

// A reported code outside 81..90 selects the low-level input.
inline int sourceFromCode(int code) {
    int index = code - kSourceCodeBase;
    return (index >= 0 && index <= 9) ? index : kLowLevelSource;
}

inline int codeFromSource(int index) {
    return kSourceCodeBase + index;
}

}  // namespace model
