#include "firmware/test_images.h"

#include <algorithm>

#include "firmware/image_layout.h"

namespace firmware {

std::vector<uint8_t> MakeTestImage(const TestImageSpec& spec) {
    std::vector<uint8_t> file(std::max(spec.fileSize, kImageOverhead));
    file[kPartOffset] = spec.part;
    file[kModelOffset] = spec.model;
    // A small linear congruential generator: the same seed gives the same image.
    uint32_t state = spec.seed * 2654435761u + 1;
    const size_t checksumOffset = file.size() - kChecksumSize;
    for (size_t i = kHeadOffset; i < checksumOffset; ++i) {
        state = state * 1664525u + 1013904223u;
        file[i] = static_cast<uint8_t>(state >> 24);
    }
    const uint32_t sum = ImageByteSum(std::span<const uint8_t>(file).first(checksumOffset));
    WriteBigEndian32(sum, std::span<uint8_t>(file).subspan(checksumOffset).first<kChecksumSize>());
    return file;
}

std::vector<uint8_t> MakeTestImageFor(UpgradeTarget target) {
    switch (target) {
        case UpgradeTarget::UPG_DEVICE_MCU:
            return MakeTestImage({FW_PART_MCU, kTestImageModel, kMcuImageFileSize, 1});
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return MakeTestImage({FW_PART_MCU, kTestImageModel, kBootloaderImageFileSize, 3});
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return MakeTestImage({FW_PART_FLASH, kTestImageModel, kFlashImageFileSize, 2});
}

}  // namespace firmware
