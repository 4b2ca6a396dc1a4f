// The model's outputs as the jobs address them: the count the model record
// gives, the range that covers all of them, and the byte a command takes.
#pragma once

#include <cstdint>

#include "app/model_cfg.h"
#include "device/channel_range.h"

namespace jobs {

inline int ModelOutputs() {
    return app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
}

inline uint8_t Byte(int value) {
    return static_cast<uint8_t>(value);
}

inline device::ChannelRange AllOutputs(int scene, int source = 0) {
    return {Byte(scene), Byte(source), 0, Byte(ModelOutputs() - 1)};
}

}  // namespace jobs
