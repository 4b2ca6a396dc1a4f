// The amplifier's centre/surround upmix settings: eleven switches, nine
// levels and four selections, kept by the controller and sent whole as one
// 52-byte block whenever one of them changes.
#pragma once

#include <array>
#include <cstdint>

namespace model {

struct CsAutoSettings {
    static constexpr int kSwitches = 11;
    static constexpr int kLevels = 9;
    static constexpr int kBytes = 52;

    uint8_t scene = 0;
    std::array<uint8_t, kSwitches> autoEnable{};
    std::array<float, kLevels> autoLevel{};
    uint8_t mode = 0;
    uint8_t front = 0;
    uint8_t surround = 0;
    uint8_t subwoofer = 0;

    // Every switch on, every level 1.0, mode 0 and the three others 5.
    void Restore();
    // The block as the amplifier takes it: the scene, the switches, the
    // levels as little-endian IEEE singles, then the four selections.
    std::array<uint8_t, kBytes> Bytes() const;
};

}  // namespace model
