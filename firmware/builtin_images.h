// The firmware images the program carries: the microcontroller and DSP flash
// images, and the bootloader image. A build made with the maker's images
// carries those; any other build carries the stand-ins, which only the
// virtual amplifier takes.
#pragma once

#include <cstdint>
#include <span>

#include "firmware/image_file_loader.h"

namespace firmware {

// The whole image file for the target.
std::span<const uint8_t> BuiltInImage(UpgradeTarget target);

// True when the build carries the maker's images, false for the stand-ins.
bool BuiltInImagesAreReal();

}  // namespace firmware
