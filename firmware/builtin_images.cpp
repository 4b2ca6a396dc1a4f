#include "firmware/builtin_images.h"

#include "firmware/builtin_images_data.h"

namespace firmware {

std::span<const uint8_t> BuiltInImage(UpgradeTarget target) {
    using namespace builtin_data;
    switch (target) {
        case UpgradeTarget::UPG_DEVICE_MCU:
            return {kBuiltInMcuImage, kBuiltInMcuImageSize};
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return {kBuiltInBootloaderImage, kBuiltInBootloaderImageSize};
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return {kBuiltInFlashImage, kBuiltInFlashImageSize};
}

bool BuiltInImagesAreReal() {
    return TQ_FIRMWARE_REAL_IMAGES != 0;
}

}  // namespace firmware
