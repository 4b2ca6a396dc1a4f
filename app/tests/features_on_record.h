// A model record like this one's with the features this model switches off
// switched on: compressors of both types with their on/off switch, the
// karaoke effects and the centre/surround upmix.
#pragma once

#include "app/model_cfg.h"

namespace test_support {

inline app::ModelCfg FeaturesOnRecord() {
    app::ModelCfg record = app::CurrentModelCfg();
    record.mENABLE_COMPRESSOR = true;
    record.mENABLE_COMPRESSOR2 = true;
    record.mENABLE_COMPRESSOR_ON = true;
    record.mENABLE_KTV = true;
    record.mENABLE_CS_AUTO = true;
    return record;
}

}  // namespace test_support
