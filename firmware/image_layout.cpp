#include "firmware/image_layout.h"

namespace firmware {

uint32_t ImageByteSum(std::span<const uint8_t> bytes) {
    uint32_t sum = 0;
    for (uint8_t byte : bytes) {
        sum += byte;
    }
    return sum;
}

uint32_t ReadBigEndian32(std::span<const uint8_t, 4> bytes) {
    return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | static_cast<uint32_t>(bytes[3]);
}

void WriteBigEndian32(uint32_t value, std::span<uint8_t, 4> bytes) {
    bytes[0] = static_cast<uint8_t>(value >> 24);
    bytes[1] = static_cast<uint8_t>(value >> 16);
    bytes[2] = static_cast<uint8_t>(value >> 8);
    bytes[3] = static_cast<uint8_t>(value);
}

}  // namespace firmware
