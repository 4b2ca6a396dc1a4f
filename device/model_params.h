// The model parameters that the encoders and decoders depend on, copied from
// the model record once by the controller (SetModelParams).
#pragma once

#include <cstdint>

#include "app/model_cfg.h"

namespace device {

struct ModelParams {
    uint8_t pcModelId = 0;     // the firmware model id, for the image checks
    int outputChannels = 0;    // O: output channels of the model
    int mixerInputs = 0;       // N: inputs of the mixer, cross-source inputs included
    bool floatTrim = false;    // trims carry hundredths
    bool eqPrecision = false;  // EQ Q carries thousandths instead of a tenths digit
    bool reserved = false;
};

inline ModelParams ModelParamsOf(const app::ModelCfg& cfg) {
    ModelParams params;
    params.pcModelId = static_cast<uint8_t>(cfg.mFw_Model_ID);
    params.outputChannels = cfg.mOUT_CHANNEL_NUMBER;
    params.mixerInputs = cfg.mMAX_INPUT_CHANNEL_NUMBER + cfg.mSPLIT_CROSS_SOURCE_MIX_CH;
    params.floatTrim = cfg.mSUPPORT_FLOAT_TRIM;
    params.eqPrecision = cfg.mEQ_FACTOR_PRECISION == 3;
    return params;
}

}  // namespace device
