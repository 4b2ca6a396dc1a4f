// What the source files of the EQ chart share: the record of the response
// curves the controller last gave, the text style bits of the skin's text
// attributes and the model settings the chart consults. Included by the
// chart's own source files only.
#pragma once

#include <array>

#include "app/model_cfg.h"
#include "controller/eq_chart.h"
#include "ui/controls/ui_equalizer.h"

namespace ui {

struct UIEqualizer::Curves {
    std::array<controller::CurveRow, kMaxCurves> frequency{};
    std::array<controller::CurveRow, kMaxCurves> magnitude{};
    std::array<controller::CurveRow, kMaxCurves> phase{};
    // log10 of every frequency, taken once per grid: the outputs share one.
    std::array<controller::CurveRow, kMaxCurves> logHz{};
    std::array<bool, kMaxCurves> show{};
    int count = 0;
    int current = 0;
};

namespace eqchart {

// Text style bits as the skin's text attributes describe them.
inline constexpr int kStyleCenter = 0x1;
inline constexpr int kStyleRight = 0x2;
inline constexpr int kStyleVCenter = 0x4;
inline constexpr int kStyleBottom = 0x8;
inline constexpr int kStyleWordBreak = 0x10;
inline constexpr int kStyleSingleLine = 0x20;
inline constexpr int kStyleNoPrefix = 0x800;
inline constexpr int kStyleEditControl = 0x2000;
inline constexpr int kStyleEndEllipsis = 0x8000;

inline const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

// The chart's lowest frequency, its left edge.
inline int MinHz() {
    return Cfg().mEQ_FREQ_MIN > 0 ? Cfg().mEQ_FREQ_MIN : 20;
}

}  // namespace eqchart
}  // namespace ui
