// The calibration chart's curve store, shared by its source files only.
#pragma once

#include <array>

#include "controller/calibration_chart.h"
#include "model/profile.h"
#include "ui/controls/ui_equalizer_ac.h"

namespace ui {

inline constexpr int kAcCurves = controller::kCalibrationCurves;

// One layer: up to 16 curves of Points points, each shown or hidden.
template <size_t Points>
struct AcLayer {
    std::array<std::array<double, Points>, kAcCurves> frequency{};
    std::array<std::array<double, Points>, kAcCurves> value{};
    std::array<bool, kAcCurves> visible{};
    int count = 0;
};

struct UIEqualizerAc::Layers {
    AcLayer<controller::kSpeakerPoints> speaker;
    AcLayer<model::kCurvePoints> eq;
    AcLayer<model::kCurvePoints> target;
};

}  // namespace ui
