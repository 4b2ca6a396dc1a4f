// Time alignment from measured distances: every speaker's sound should reach
// the listener at the same moment. The farthest speaker plays at once; each
// nearer one waits as long as sound takes over the difference, at the
// model's own ratio of distance to delay, so that the delays shown in
// centimetres or inches equal the differences.
#pragma once

#include <optional>
#include <vector>

namespace controller {

struct DistanceAlignment {
    // The delay in milliseconds of each output; none where no distance was
    // given (that output keeps the delay it has).
    std::vector<std::optional<float>> delaysMs;
    // The outputs whose delay had to be cut to the model's largest delay.
    std::vector<int> limited;
    int farthest = -1;
};

// The delays of the outputs from their distances in centimetres
// (model::kDelayUnitCm) or inches (model::kDelayUnitInch), one entry per
// output. None when not a single output has a distance.
std::optional<DistanceAlignment> AlignByDistance(
    const std::vector<std::optional<double>>& distances, int distanceUnit);

}  // namespace controller
