// Stand-ins for the amplifier maker's firmware images: the same layout, the
// sizes of the images the program carries and valid checksums, with a body
// of reproducible pseudo-random bytes. The virtual amplifier and the tests
// use them; a real amplifier must never receive one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "firmware/image_file_loader.h"
#include "firmware/image_layout.h"

namespace firmware {

inline constexpr uint8_t kTestImageModel = 94;
inline constexpr size_t kMcuImageFileSize = 89517;
inline constexpr size_t kFlashImageFileSize = 105538;
// No bootloader image is carried; the stand-in is a plausible small one.
inline constexpr size_t kBootloaderImageFileSize = 16398;

struct TestImageSpec {
    uint8_t part = 1;
    uint8_t model = kTestImageModel;
    size_t fileSize = kImageOverhead;
    uint32_t seed = 1;  // varies head, body and trailer
};

// The whole file; sizes below 14 bytes are raised to 14.
std::vector<uint8_t> MakeTestImage(const TestImageSpec& spec);

// The stand-in for a target at its full size, for model 94.
std::vector<uint8_t> MakeTestImageFor(UpgradeTarget target);

}  // namespace firmware
