// Delays set from the distances the installer measured: many outputs at once,
// each with a value of its own.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/distance_settings.h"
#include "controller/equalizer_manager.h"
#include "model/units.h"

namespace controller {
namespace {

int OutputCount() {
    return app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
}

}  // namespace

void EqualizerManager::SetDelaysFromDistances(const std::vector<std::optional<float>>& delaysMs) {
    auto given = [&](int c) -> std::optional<float> {
        return c >= 0 && static_cast<size_t>(c) < delaysMs.size() ? delaysMs[c] : std::nullopt;
    };
    const int unit = DelayUnit();
    for (int c = 0; c < OutputCount(); ++c) {
        std::optional<float> ms = given(c);
        // The two halves of a bridged pair drive one speaker: they share the
        // lower output's delay, or the upper's when only it has one.
        const bool bridged =
            mProfile.bridgeOutputs[static_cast<size_t>(c / 2)] != 0 && IsOutput(c ^ 1);
        if (bridged && (c % 2) == 1 && given(c - 1)) {
            ms = given(c - 1);
        } else if (bridged && !ms) {
            ms = given(c ^ 1);
        }
        if (!ms) {
            continue;
        }
        // Not through ApplyDelay: its link propagation would move the
        // partners' own distance delays by this one's change.
        mProfile.channels[c].delay = model::quantizeDelay(unit, *ms);
        app::Log("distance delay %d ms_value = %d\n", c,
                 static_cast<int>(std::lround(mProfile.channels[c].delay * 1000.0f)));
        ShowDelay(c);
        SendDelay(c);
    }
    ShowSpeakerPositions();
}

std::string EqualizerManager::DistancesSection() const {
    return DistancesSectionOf(mDeviceLink->IsConnected() ? mSelectedName : std::string());
}

}  // namespace controller
