// The response curves the EQ chart shows: computed from the working profile
// (crossover and EQ bands of each output) whenever they may have changed.
#include <algorithm>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "dsp_math/channel_response.h"

namespace controller {
namespace {

// The chart spans the audible range; the grid runs from about 1 Hz.
constexpr double kLowestShownHz = 10.0;

}  // namespace

void EqualizerManager::UpdateEqualizer(int channel) {
    const int outputs = app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
    for (int c = 0; c < outputs; ++c) {
        if (channel < 0 || c == channel) {
            dsp::channelResponse(mProfile, c, mProfile.channels[c].bypass);
        }
    }
    if (mUi != nullptr) {
        mUi->ShowResponse(ResponseForChart());
    }
}

ResponseCurves EqualizerManager::ResponseForChart() const {
    ResponseCurves chart;
    const int current = mProfile.currOutChannel;
    const auto& grid = mProfile.curveFreq[static_cast<size_t>(std::max(current, 0))];
    size_t first = 0;
    while (first < grid.size() && grid[first] < kLowestShownHz) {
        ++first;
    }
    chart.frequencies.assign(grid.begin() + static_cast<long>(first), grid.end());
    const int outputs = app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
    for (int c = 0; c < outputs; ++c) {
        const bool shown = mProfile.showOutChEqualizer[static_cast<size_t>(c)] != 0;
        if (!shown && c != current) {
            continue;
        }
        ResponseCurve curve;
        curve.channel = c;
        curve.current = c == current;
        const auto& magnitude = mProfile.curveMagnitude[static_cast<size_t>(c)];
        curve.magnitudeDb.assign(magnitude.begin() + static_cast<long>(first), magnitude.end());
        chart.curves.push_back(std::move(curve));
    }
    const model::EqBand* bands = mProfile.eqArray(current);
    chart.bypassed = current >= 0 && mProfile.channels[current].bypass;
    for (int b = 0; bands != nullptr && b < mProfile.bandCount(current); ++b) {
        chart.points.push_back({b, static_cast<double>(bands[b].freq),
                                chart.bypassed ? 0.0 : bands[b].eqGain, bands[b].enable});
    }
    return chart;
}

}  // namespace controller
