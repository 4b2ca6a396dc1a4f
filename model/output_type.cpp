#include "model/output_type.h"

#include <array>

#include "app/model_cfg.h"

namespace model {

namespace {

constexpr std::array<const char*, kMaxOutputType + 1> kKeys = {
    "output_item_empty",
    "output_menu_front_left_high_freq",
    "output_menu_front_left_mid_freq",
    "output_menu_front_left_low_freq",
    "output_menu_front_left_mid_high_freq",
    "output_menu_front_left_mid_low_freq",
    "output_menu_front_left_all_freq",
    "output_menu_front_right_high_freq",
    "output_menu_front_right_mid_freq",
    "output_menu_front_right_low_freq",
    "output_menu_front_right_mid_high_freq",
    "output_menu_front_right_mid_low_freq",
    "output_menu_front_right_all_freq",
    "output_menu_rear_left_high_freq",
    "output_menu_rear_left_low_freq",
    "output_menu_rear_left_all_freq",
    "output_menu_rear_right_high_freq",
    "output_menu_rear_right_low_freq",
    "output_menu_rear_right_all_freq",
    "output_menu_center_high_freq",
    "output_menu_center_low_freq",
    "output_menu_center_all_freq",
    "output_menu_subwoof_left",
    "output_menu_subwoof_right",
    "output_menu_subwoof_low",
    nullptr,
    nullptr,
    "output_menu_rear_left_mid_freq",
    "output_menu_rear_right_mid_freq",
    "output_menu_front_center_all_freq",
    "output_menu_rear_center_all_freq",
};

}  // namespace

const char* outputTypeKey(int t) {
    if (t < 0 || t > kMaxOutputType) {
        return nullptr;
    }
    if (t >= 27 && !app::CurrentModelCfg().mUSE_KESTO_OUTPUT_TYPE) {
        return nullptr;
    }
    return kKeys[t];
}

}  // namespace model
