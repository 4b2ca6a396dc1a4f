// The noise the amplifier measures on its inputs, as a car's wiring gives it:
// every input sits on a floor of its own that wanders slowly (alternator
// whine, fans, the engine's speed) and now and then jumps for a moment (a
// door, the indicator relay, a phone). The levels are a pure function of the
// seed, the input and the time, so a test that sets the clock knows what the
// amplifier will report.
#pragma once

#include <cstdint>

namespace virtual_device {

// The quietest level the amplifier reports: an input with nothing on it.
inline constexpr float kSilentInputDb = -100.0f;

class InputNoiseModel {
public:
    explicit InputNoiseModel(uint32_t seed = 1) : mSeed(seed) {}

    // The level of this input at this time, in dB, rounded to tenths and
    // within -100..0.
    float LevelDb(int input, int64_t timeMs) const;

    // The parts of it, for those who want to know why a level is what it is.
    float FloorDb(int input) const;
    float WanderDb(int input, int64_t timeMs) const;
    float BurstDb(int input, int64_t timeMs) const;

    // A burst lasts this long at most; the chance of one starting is taken
    // once per slot of this length.
    static constexpr int64_t kBurstSlotMs = 400;

private:
    uint32_t Hash(uint32_t a, uint32_t b) const;
    double Unit(uint32_t a, uint32_t b) const;  // 0 <= u < 1

    uint32_t mSeed;
};

// The two bytes the amplifier sends for a level: the whole dB below zero
// plus 100, then the tenths above that.
struct NoiseBytes {
    uint8_t whole = 0;
    uint8_t tenths = 0;
};
NoiseBytes EncodeNoiseLevel(float levelDb);

}  // namespace virtual_device
