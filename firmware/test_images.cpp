#include "firmware/test_images.h"

#include <algorithm>

#include "firmware/image_layout.h"

namespace firmware {

std::vector<uint8_t> MakeTestImage(const TestImageSpec& spec) {
    std::vector<uint8_t> file(std::max(spec.fileSize, kImageOverhead));
    file[kPartOffset] = spec.part;
    file[kModelOffset] = spec.model;
    const size_t trailerOffset = file.size() - kTrailerSize - kChecksumSize;
    const size_t checksumOffset = file.size() - kChecksumSize;
    const size_t markerBytes = std::min(kStandInMarker.size(), trailerOffset - kBodyOffset);
    std::copy_n(kStandInMarker.begin(), markerBytes, file.begin() + kBodyOffset);
    // A small linear congruential generator: the same seed gives the same image.
    uint32_t state = spec.seed * 2654435761u + 1;
    for (size_t i = kBodyOffset + markerBytes; i < checksumOffset; ++i) {
        state = state * 1664525u + 1013904223u;
        file[i] = static_cast<uint8_t>(state >> 24);
    }
    const std::span<const uint8_t> body =
        std::span<const uint8_t>(file).subspan(kBodyOffset, trailerOffset - kBodyOffset);
    const uint16_t bodySum = StandInBodySum(body);
    file[kHeadOffset] = spec.versionMajor;
    file[kHeadOffset + 1] = spec.versionMinor;
    file[kHeadOffset + 2] = static_cast<uint8_t>(bodySum >> 8);
    file[kHeadOffset + 3] = static_cast<uint8_t>(bodySum);
    const uint32_t sum = ImageByteSum(std::span<const uint8_t>(file).first(checksumOffset));
    WriteBigEndian32(sum, std::span<uint8_t>(file).subspan(checksumOffset).first<kChecksumSize>());
    return file;
}

std::vector<uint8_t> MakeTestImageFor(UpgradeTarget target) {
    switch (target) {
        case UpgradeTarget::UPG_DEVICE_MCU:
            return MakeTestImage({FW_PART_MCU, kTestImageModel, kMcuImageFileSize, 1,
                                  kStandInMcuMajor, kStandInMcuMinor});
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return MakeTestImage({FW_PART_MCU, kTestImageModel, kBootloaderImageFileSize, 3,
                                  kStandInBootloaderMajor, kStandInBootloaderMinor});
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return MakeTestImage({FW_PART_FLASH, kTestImageModel, kFlashImageFileSize, 2,
                          kStandInFlashMajor, kStandInFlashMinor});
}

bool IsStandInImage(std::span<const uint8_t> body) {
    return body.size() >= kStandInMarker.size() &&
           std::equal(
               kStandInMarker.begin(), kStandInMarker.end(), body.begin(),
               [](char marker, uint8_t byte) { return static_cast<uint8_t>(marker) == byte; });
}

StandInHead DecodeStandInHead(std::array<uint8_t, 4> head) {
    return {head[0], head[1], static_cast<uint16_t>(head[2] << 8 | head[3])};
}

uint16_t StandInBodySum(std::span<const uint8_t> body) {
    return static_cast<uint16_t>(ImageByteSum(body));
}

}  // namespace firmware
