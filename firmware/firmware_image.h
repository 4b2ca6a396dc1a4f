// A firmware image held in memory: its header fields, the body the upgrade
// sends, and both checksums (the one computed over the bytes and the one the
// file states). Parsing only takes the file apart; whether the image may go
// to this device is decided by the checks in image_checks.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace firmware {

struct FirmwareImage {
    uint8_t FW_PART = 0;
    uint8_t FW_MODEL_ID = 0;
    std::array<uint8_t, 4> head{};  // goes unchanged into the start command
    std::vector<uint8_t> body;      // n = file size - 14 bytes
    uint32_t computedChecksum = 0;  // sum of every byte before the stored checksum
    uint32_t storedChecksum = 0;    // the file's last four bytes, big-endian

    bool checksumMatches() const { return computedChecksum == storedChecksum; }
};

// Takes a whole image file apart. No image for a file that is shorter than
// the header, trailer and checksum, or larger than any image may be.
std::optional<FirmwareImage> ParseImageBytes(std::span<const uint8_t> file);

}  // namespace firmware
