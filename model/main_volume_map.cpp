#include "model/main_volume_map.h"

#include <algorithm>
#include <cmath>

#include "app/model_cfg.h"

namespace model {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

// dB per decade of slider positions.
constexpr double kDbPerDecade = 41.25;

// The device's top level is the model's; its map's offset to the slider is
// taken from six dB below it.
constexpr int kTopOffsetDb = 6;

double InverseMap(int deviceDb) {
    const app::ModelCfg& cfg = Cfg();
    if (!cfg.mVOLUME_MAP) {
        return deviceDb - cfg.mMAIN_VOLUME_VALUE_DIFF_TO_UI;
    }
    return cfg.mMAIN_VOLUME_MAX - kTopOffsetDb +
           std::pow(10.0, (deviceDb - cfg.mMAIN_VOLUME_MIN) / kDbPerDecade);
}

}  // namespace

double MainVolumeDbOf(int slider) {
    const app::ModelCfg& cfg = Cfg();
    if (!cfg.mVOLUME_MAP) {
        return slider + cfg.mMAIN_VOLUME_VALUE_DIFF_TO_UI;
    }
    if (slider <= cfg.mMAIN_VOLUME_SLIDER_MIN) {
        return cfg.mMAIN_VOLUME_MIN;
    }
    if (slider >= cfg.mMAIN_VOLUME_SLIDER_MAX) {
        return cfg.mMAIN_VOLUME_MAX;
    }
    return cfg.mMAIN_VOLUME_MIN + kDbPerDecade * std::log10(static_cast<double>(slider));
}

float MainVolumeAttenuationOf(int slider) {
    return static_cast<float>(Cfg().mMAIN_VOLUME_MAX - MainVolumeDbOf(slider));
}

int MainVolumeDeviceDbOf(int slider) {
    // The command carries the integer part of the attenuation.
    return Cfg().mMAIN_VOLUME_MAX - static_cast<int>(MainVolumeAttenuationOf(slider));
}

int MainVolumeSliderOf(int deviceDb, int currentSlider) {
    const app::ModelCfg& cfg = Cfg();
    const int lowest = cfg.mMAIN_VOLUME_SLIDER_MIN;
    const int highest = cfg.mMAIN_VOLUME_SLIDER_MAX;
    if (currentSlider >= lowest && currentSlider <= highest &&
        MainVolumeDeviceDbOf(currentSlider) == deviceDb) {
        return currentSlider;
    }
    const double inverse = InverseMap(deviceDb);
    int best = lowest - 1;
    for (int position = lowest; position <= highest; ++position) {
        if (MainVolumeDeviceDbOf(position) != deviceDb) {
            continue;
        }
        if (best < lowest || std::abs(position - inverse) < std::abs(best - inverse)) {
            best = position;
        }
    }
    if (best >= lowest) {
        return best;
    }
    return std::clamp(static_cast<int>(inverse), lowest, highest);
}

}  // namespace model
