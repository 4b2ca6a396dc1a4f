// The EQ chart as the controller sees it. The chart is given the current
// output's bands and crossover and every output's response curves; it keeps
// its own copy of them, changes that copy while the user drags, tells the
// window by its notifications ("equalizer_eq", "equalizer_hp", ... and their
// "_release" forms) and is read back by the controller after each one.
// Implemented by the chart control of the main window; tests give their own.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/profile.h"

namespace controller {

using CurveRow = std::array<double, model::kCurvePoints>;

class EqChart {
public:
    virtual ~EqChart() = default;

    // The current output's bands (at most 31) and the selected band, -1 for
    // none; lays the band points out anew.
    virtual void setCurEqBands(std::span<const model::EqBand> bands, int selected) = 0;
    // The crossover handles; a frequency outside the chart's range hides its
    // handle.
    virtual void setCurEqHpLp(int hpHz, int lpHz) = 0;
    // Every output's response (one row per output, at most 32): frequency
    // grid, magnitude in dB and phase scaled to the dB axis; the current
    // output's curve is drawn on top, the others where showFlags[c] != 0.
    virtual void setEqCurves(std::span<const CurveRow> frequency,
                             std::span<const CurveRow> magnitude, std::span<const CurveRow> phase,
                             int current, std::span<const int32_t> showFlags) = 0;
    // PEQ mode (true): points move in frequency and gain and the selected
    // band shows its Q handles. GEQ mode (false): gain only.
    virtual void setDragAllDirection(bool peq) = 0;
    virtual void setShowPhase(bool show) = 0;

    // What the controller reads after a notification.
    virtual int CurrentControlIndex() const = 0;
    virtual model::EqBand Band(int index) const = 0;
    virtual int HpFreq() const = 0;
    virtual int LpFreq() const = 0;
};

}  // namespace controller
