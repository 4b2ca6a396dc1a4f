#include "model/cs_auto_settings.h"

#include <cstring>

namespace model {
namespace {

constexpr float kDefaultLevel = 1.0f;
constexpr uint8_t kDefaultSelection = 5;

}  // namespace

void CsAutoSettings::Restore() {
    autoEnable.fill(1);
    autoLevel.fill(kDefaultLevel);
    mode = 0;
    front = surround = subwoofer = kDefaultSelection;
}

std::array<uint8_t, CsAutoSettings::kBytes> CsAutoSettings::Bytes() const {
    std::array<uint8_t, kBytes> block{};
    size_t at = 0;
    block[at++] = scene;
    for (uint8_t on : autoEnable) {
        block[at++] = on;
    }
    for (float level : autoLevel) {
        uint32_t bits = 0;
        std::memcpy(&bits, &level, sizeof bits);
        for (int shift = 0; shift < 32; shift += 8) {
            block[at++] = static_cast<uint8_t>(bits >> shift);
        }
    }
    for (uint8_t selection : {mode, front, surround, subwoofer}) {
        block[at++] = selection;
    }
    return block;
}

}  // namespace model
