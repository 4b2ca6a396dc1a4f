#include "virtual_device/input_noise.h"

#include <algorithm>
#include <cmath>

namespace virtual_device {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Floors between -78 and -58 dB: a quiet head unit to a noisy ground loop.
constexpr double kFloorLowestDb = -78.0;
constexpr double kFloorSpreadDb = 20.0;
// The slow wander: two swings of a few dB, periods of seconds.
constexpr double kWanderDb = 3.0;
constexpr double kWanderFineDb = 1.2;
// One slot in eight carries a burst of 10 to 30 dB.
constexpr double kBurstChance = 0.125;
constexpr double kBurstLowestDb = 10.0;
constexpr double kBurstSpreadDb = 20.0;

}  // namespace

uint32_t InputNoiseModel::Hash(uint32_t a, uint32_t b) const {
    uint32_t h = mSeed * 0x9E3779B1u ^ (a + 0x7F4A7C15u) * 0x85EBCA77u ^ b * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double InputNoiseModel::Unit(uint32_t a, uint32_t b) const {
    return Hash(a, b) / 4294967296.0;
}

float InputNoiseModel::FloorDb(int input) const {
    return static_cast<float>(kFloorLowestDb +
                              kFloorSpreadDb * Unit(static_cast<uint32_t>(input), 1));
}

float InputNoiseModel::WanderDb(int input, int64_t timeMs) const {
    const auto i = static_cast<uint32_t>(input);
    const double seconds = static_cast<double>(timeMs) / 1000.0;
    const double slowPeriod = 6.0 + 10.0 * Unit(i, 2);
    const double fastPeriod = 1.5 + 2.0 * Unit(i, 3);
    const double slow = std::sin(2 * kPi * (seconds / slowPeriod + Unit(i, 4)));
    const double fast = std::sin(2 * kPi * (seconds / fastPeriod + Unit(i, 5)));
    return static_cast<float>(kWanderDb * slow + kWanderFineDb * fast);
}

float InputNoiseModel::BurstDb(int input, int64_t timeMs) const {
    const int64_t slot = timeMs >= 0 ? timeMs / kBurstSlotMs : (timeMs + 1) / kBurstSlotMs - 1;
    const auto i = static_cast<uint32_t>(input);
    const auto s = static_cast<uint32_t>(slot);
    if (Unit(i * 7919u + 11u, s) >= kBurstChance) {
        return 0.0f;
    }
    // The burst rises at once and dies away over the slot.
    const double height = kBurstLowestDb + kBurstSpreadDb * Unit(i * 7919u + 13u, s);
    const double into = static_cast<double>(timeMs - slot * kBurstSlotMs) / kBurstSlotMs;
    return static_cast<float>(height * (1.0 - into));
}

float InputNoiseModel::LevelDb(int input, int64_t timeMs) const {
    const double level = FloorDb(input) + WanderDb(input, timeMs) + BurstDb(input, timeMs);
    const double tenths = std::round(std::clamp(level, -100.0, 0.0) * 10.0);
    return static_cast<float>(tenths / 10.0);
}

NoiseBytes EncodeNoiseLevel(float levelDb) {
    const long tenths = std::lround(std::clamp(static_cast<double>(levelDb), -100.0, 0.0) * 10.0);
    // -72.3 dB is 27 and 7: (27 - 100) + 0.7.
    const long whole = (tenths >= 0 ? tenths / 10 : (tenths - 9) / 10);
    return {static_cast<uint8_t>(whole + 100), static_cast<uint8_t>(tenths - whole * 10)};
}

}  // namespace virtual_device
