// The response curves the EQ chart shows, computed from the working profile
// (crossover and EQ bands of each output) when they may have changed, and
// what the chart is given of the current output.
#include <algorithm>
#include <chrono>
#include <span>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "dsp_math/channel_response.h"

namespace controller {
namespace {

int OutputCount() {
    return app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
}

int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 since)
        .count();
}

}  // namespace

void EqualizerManager::ComputeCurve(int channel) {
    if (IsOutput(channel)) {
        dsp::channelResponse(mProfile, channel, mProfile.channels[channel].bypass);
    }
}

void EqualizerManager::UpdateEqualizer(int band) {
    const auto start = std::chrono::steady_clock::now();
    const int c = mProfile.currOutChannel;
    ComputeCurve(c);
    const int partner = LinkPartner(c);
    if (partner >= 0) {
        ComputeCurve(partner);
    }
    for (int member : LinkGroupMembers(c, true)) {
        ComputeCurve(member);
    }
    app::Log("UpdateEqualizer 0 cost time %d ms\n", static_cast<int>(ElapsedMs(start)));
    FeedChart(band);
    app::Log("UpdateEqualizer 1 cost time %d ms\n", static_cast<int>(ElapsedMs(start)));
}

void EqualizerManager::UpdateCurveOf(int channel) {
    ComputeCurve(channel);
    EqChart* chart = mUi != nullptr ? mUi->Chart() : nullptr;
    FeedChart(chart != nullptr ? chart->CurrentControlIndex() : -1);
}

// The chart gets the current output's bands (flat when disabled or
// bypassed), its crossover and every output's curves; "comb_eq_type" shows
// the selected band's type.
void EqualizerManager::FeedChart(int band) {
    const int c = mProfile.currOutChannel;
    const model::EqBand* stored = mProfile.eqArray(c);
    const int count = std::min(mProfile.bandCount(c), model::kBandsPerChannel);
    Ctl& typeCombo = mControls("comb_eq_type");
    const bool bandShown = stored != nullptr && band >= 0 && band < count;
    typeCombo.SetEnabled(bandShown);
    if (bandShown) {
        for (int i = 0; i < typeCombo.ItemCount(); ++i) {
            if (typeCombo.ItemUserData(i) == std::to_string(stored[band].type)) {
                typeCombo.SelectItem(i, false);
            }
        }
    }
    EqChart* chart = mUi != nullptr ? mUi->Chart() : nullptr;
    if (chart == nullptr || stored == nullptr) {
        return;
    }
    std::array<model::EqBand, model::kBandsPerChannel> shown{};
    for (int b = 0; b < count; ++b) {
        shown[static_cast<size_t>(b)] = stored[b];
        if (!stored[b].enable || mProfile.channels[c].bypass) {
            shown[static_cast<size_t>(b)].eqGain = 0.0f;
        }
    }
    chart->setCurEqBands(std::span<const model::EqBand>(shown.data(), static_cast<size_t>(count)),
                         band);
    const model::Crossover& x = mProfile.channels[c].crossover;
    chart->setCurEqHpLp(x.hp.fs, x.lp.fs);
    const size_t outputs = static_cast<size_t>(OutputCount());
    chart->setEqCurves(std::span<const CurveRow>(mProfile.curveFreq.data(), outputs),
                       std::span<const CurveRow>(mProfile.curveMagnitude.data(), outputs),
                       std::span<const CurveRow>(mProfile.curvePhase.data(), outputs), c,
                       std::span<const int32_t>(mProfile.showOutChEqualizer.data(), outputs));
}

}  // namespace controller
