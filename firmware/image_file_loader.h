// Loading an image file for one upgrade target, with the checks that decide
// whether it may be sent. The file is read whole (it is at most 1 MiB) and
// nothing of a refused file is kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "firmware/firmware_image.h"
#include "firmware/image_checks.h"

namespace firmware {

// What the parsers return.
enum ImageFileResult : int {
    UPG_FILE_VALID = 0,
    UPG_FILE_UNREADABLE = 1,  // the file cannot be opened
    UPG_FILE_INVALID = 2,
    UPG_CONNECT_FAIL = 3,  // no device to update
};

// The part of the amplifier an image updates.
enum class UpgradeTarget : uint8_t {
    UPG_DEVICE_FLASH = 1,
    UPG_DEVICE_MCU = 2,
    UPG_DEVICE_MCU_BL = 3,
};

struct LoadedImage {
    int result = UPG_FILE_INVALID;
    std::optional<FirmwareImage> image;  // only with UPG_FILE_VALID
};

// Loads a microcontroller or bootloader image and checks it.
LoadedImage CopyFileToBuffer(const std::filesystem::path& path, const ImageRules& rules);

// The entries for each target; without a connected device nothing is read.
LoadedImage MCUUpgParsingFile(const std::filesystem::path& path, const ImageRules& rules,
                              bool connected);
LoadedImage MCUUpgBLParsingFile(const std::filesystem::path& path, const ImageRules& rules,
                                bool connected);
LoadedImage FlashUpgParsingFile(const std::filesystem::path& path, const ImageRules& rules,
                                bool connected);

}  // namespace firmware
