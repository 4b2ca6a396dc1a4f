#include "dsp_math/compressor_curve.h"

#include <algorithm>

namespace dsp {
namespace {

double EffectiveRatio(const CompressorShape& shape) {
    return std::max(shape.ratio, 1.0);
}

double EffectiveKnee(const CompressorShape& shape) {
    return std::max(shape.kneeDb, 0.0);
}

}  // namespace

double CompressorOutputDb(double inputDb, const CompressorShape& shape) {
    const double over = inputDb - shape.thresholdDb;
    const double knee = EffectiveKnee(shape);
    const double reduction = 1.0 / EffectiveRatio(shape) - 1.0;  // 0 .. -1
    if (2.0 * over <= -knee) {
        return inputDb;
    }
    if (2.0 * over >= knee) {
        return shape.thresholdDb + over / EffectiveRatio(shape);
    }
    // Inside the knee (knee > 0 here): slope 1 at its lower edge, 1/ratio at
    // its upper edge.
    const double into = over + knee / 2.0;
    return inputDb + reduction * into * into / (2.0 * knee);
}

double CompressorSlope(double inputDb, const CompressorShape& shape) {
    const double over = inputDb - shape.thresholdDb;
    const double knee = EffectiveKnee(shape);
    const double reduction = 1.0 / EffectiveRatio(shape) - 1.0;
    if (2.0 * over <= -knee) {
        return 1.0;
    }
    if (2.0 * over >= knee) {
        return 1.0 / EffectiveRatio(shape);
    }
    return 1.0 + reduction * (over + knee / 2.0) / knee;
}

}  // namespace dsp
