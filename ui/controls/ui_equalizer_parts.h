// What the source files of the EQ chart share: the record of the response
// curves the controller last gave, the text attributes and geometry common
// to the chart controls, and the model settings the chart consults.
// Included by the chart's own source files only.
#pragma once

#include <array>

#include "app/model_cfg.h"
#include "controller/eq_chart.h"
#include "ui/controls/chart_attributes.h"
#include "ui/controls/chart_geometry.h"
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

using namespace chart;

inline const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

}  // namespace eqchart
}  // namespace ui
