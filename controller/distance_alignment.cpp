#include "controller/distance_alignment.h"

#include "app/model_cfg.h"
#include "model/units.h"

namespace controller {

std::optional<DistanceAlignment> AlignByDistance(
    const std::vector<std::optional<double>>& distances, int distanceUnit) {
    DistanceAlignment alignment;
    for (size_t c = 0; c < distances.size(); ++c) {
        if (distances[c] &&
            (alignment.farthest < 0 || *distances[c] > *distances[alignment.farthest])) {
            alignment.farthest = static_cast<int>(c);
        }
    }
    if (alignment.farthest < 0) {
        return std::nullopt;
    }
    const double farthest = *distances[alignment.farthest];
    const float largest = app::CurrentModelCfg().mMAX_DELAY_MS;
    alignment.delaysMs.resize(distances.size());
    for (size_t c = 0; c < distances.size(); ++c) {
        if (!distances[c]) {
            continue;
        }
        float ms =
            model::delayOfDistance(distanceUnit, static_cast<float>(farthest - *distances[c]));
        if (ms > largest) {
            ms = largest;
            alignment.limited.push_back(static_cast<int>(c));
        }
        alignment.delaysMs[c] = ms;
    }
    return alignment;
}

}  // namespace controller
