// The calibration window's chart as the window's logic sees it: three layers
// of up to 16 curves each (the measured speaker response, the calibration
// EQ, the target), each curve shown or hidden by its own flag. The chart
// keeps copies of what it is given and draws nothing else; it takes no
// input. Implemented by the chart control of the calibration window; tests
// give their own.
#pragma once

#include <array>
#include <span>

#include "controller/eq_chart.h"

namespace controller {

inline constexpr int kSpeakerPoints = 121;
inline constexpr int kCalibrationCurves = 16;

using SpeakerRow = std::array<double, kSpeakerPoints>;

class CalibrationChart {
public:
    virtual ~CalibrationChart() = default;

    // Each: count <= 0 does nothing; otherwise the first min(count, 16)
    // curves are stored with their visible flags (the spans hold at least
    // that many rows and flags), every other curve of the layer is cleared
    // and the chart is redrawn.
    virtual void setSpeakerCurves(std::span<const SpeakerRow> frequency,
                                  std::span<const SpeakerRow> value, int count,
                                  std::span<const bool> visible) = 0;
    virtual void setEqLayerCurves(std::span<const CurveRow> frequency,
                                  std::span<const CurveRow> value, int count,
                                  std::span<const bool> visible) = 0;
    virtual void setTargetCurves(std::span<const CurveRow> frequency,
                                 std::span<const CurveRow> value, int count,
                                 std::span<const bool> visible) = 0;
};

}  // namespace controller
