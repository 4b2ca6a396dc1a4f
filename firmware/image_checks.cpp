#include "firmware/image_checks.h"

#include "app/log.h"
#include "firmware/image_layout.h"

namespace firmware {

bool McuImageAcceptable(const FirmwareImage& image, const ImageRules& rules) {
    if (rules.noCheckID) {
        app::Log("noCheckID=true, FW_PART=0x%x\n", image.FW_PART);
        return image.FW_PART == FW_PART_MCU && image.checksumMatches();
    }
    app::Log("noCheckID=false, FW_PART=0x%x, FW_MODEL_ID=0x%x, pc_model_id=0x%x\n", image.FW_PART,
             image.FW_MODEL_ID, rules.pc_model_id);
    return image.FW_PART == FW_PART_MCU && image.FW_MODEL_ID == rules.pc_model_id &&
           image.checksumMatches();
}

bool FlashImageAcceptable(const FirmwareImage& image, const ImageRules& rules) {
    const bool modelFits = rules.noCheckID || image.FW_MODEL_ID == rules.pc_model_id;
    return modelFits && image.checksumMatches();
}

}  // namespace firmware
