#include "firmware/firmware_image.h"

#include <algorithm>

#include "firmware/image_layout.h"

namespace firmware {

std::optional<FirmwareImage> ParseImageBytes(std::span<const uint8_t> file) {
    if (file.size() < kImageOverhead || file.size() > kMaxImageFileSize) {
        return std::nullopt;
    }
    const size_t checksumOffset = file.size() - kChecksumSize;
    const size_t bodySize = file.size() - kImageOverhead;
    FirmwareImage image;
    image.FW_PART = file[kPartOffset];
    image.FW_MODEL_ID = file[kModelOffset];
    std::copy_n(file.begin() + kHeadOffset, kHeadSize, image.head.begin());
    const auto body = file.subspan(kBodyOffset, bodySize);
    image.body.assign(body.begin(), body.end());
    image.computedChecksum = ImageByteSum(file.first(checksumOffset));
    image.storedChecksum = ReadBigEndian32(file.subspan(checksumOffset).first<kChecksumSize>());
    return image;
}

}  // namespace firmware
