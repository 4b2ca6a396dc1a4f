#include "controller/compressor_parameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace controller::compressor {
namespace {

// The fallback ranges are the layout's own: threshold -100 .. +100 dB, ratio
// 1 .. 100, attack 0 .. 5 s, release 0.1 .. 60 s, knee 0 .. 24 dB.
constexpr std::array<ParameterSpec, 5> kSpecs = {{
    {Parameter::kThreshold, "%.1fdB", 10, 1, false, "dB", -1000, 1000},
    {Parameter::kRatio, "%.1f", 10, 1, false, "", 10, 1000},
    {Parameter::kAttack, "%dms", 1, 10, true, "ms", 0, 5000},
    {Parameter::kRelease, "%dms", 1, 100, true, "ms", 100, 60000},
    {Parameter::kSoftKnee, "%.1fdB", 10, 1, false, "dB", 0, 240},
}};

}  // namespace

const ParameterSpec& SpecOf(Parameter parameter) {
    return kSpecs[static_cast<size_t>(parameter)];
}

Positions RangeOf(const toolkit::ControlHandle& slider, const ParameterSpec& spec) {
    if (slider.Maximum() <= slider.Minimum()) {
        return {spec.lowest, spec.highest};
    }
    return {slider.Minimum(), slider.Maximum()};
}

std::string EditText(const ParameterSpec& spec, double value) {
    char text[32];
    if (spec.whole) {
        std::snprintf(text, sizeof text, spec.editFormat, static_cast<int>(value));
    } else {
        std::snprintf(text, sizeof text, spec.editFormat, value);
    }
    return text;
}

int PositionOf(const ParameterSpec& spec, double value) {
    return static_cast<int>(std::lround(value * spec.scale));
}

double ValueAt(const ParameterSpec& spec, int position) {
    return static_cast<double>(position) / spec.scale;
}

double Limited(const ParameterSpec& spec, const Positions& range, double typed) {
    const double v = std::clamp(typed, ValueAt(spec, range.lowest), ValueAt(spec, range.highest));
    if (spec.whole) {
        return std::trunc(v);
    }
    return ValueAt(spec, PositionOf(spec, v));
}

int Stepped(int position, bool up, int step, bool dropRemainder, const Positions& range) {
    int p = position;
    if (up && p < range.highest) {
        p += step;
    } else if (!up && p > range.lowest) {
        p -= step;
    }
    if (dropRemainder && step > 1) {
        p -= p % step;
    }
    return std::clamp(p, range.lowest, range.highest);
}

double ValueOf(const model::Profile& profile, int channel, Parameter parameter) {
    const auto c = static_cast<size_t>(channel);
    switch (parameter) {
        case Parameter::kThreshold:
            return profile.compressorNoise[c];
        case Parameter::kRatio:
            return profile.compressorRatio[c];
        case Parameter::kAttack:
            return profile.compressorAttack[c];
        case Parameter::kRelease:
            return profile.compressorRelease[c];
        case Parameter::kSoftKnee:
            return profile.compressorSoftKnee[c];
    }
    return 0.0;
}

void Store(model::Profile& profile, int channel, Parameter parameter, double value) {
    const auto c = static_cast<size_t>(channel);
    switch (parameter) {
        case Parameter::kThreshold:
            profile.compressorNoise[c] = static_cast<float>(value);
            break;
        case Parameter::kRatio:
            profile.compressorRatio[c] = static_cast<float>(value);
            break;
        case Parameter::kAttack:
            profile.compressorAttack[c] = static_cast<int32_t>(value);
            break;
        case Parameter::kRelease:
            profile.compressorRelease[c] = static_cast<int32_t>(value);
            break;
        case Parameter::kSoftKnee:
            profile.compressorSoftKnee[c] = static_cast<float>(value);
            break;
    }
}

}  // namespace controller::compressor
