#include "dsp_math/channel_response.h"

#include <algorithm>
#include <array>
#include <memory>
#include <numbers>

#include "dsp_math/band_design.h"
#include "dsp_math/cascade_accumulator.h"
#include "dsp_math/crossover_design.h"
#include "dsp_math/log_grid.h"
#include "dsp_math/phase_wrap.h"

namespace dsp {

namespace {

static_assert(model::kCurvePoints == kGridPoints);

using Curve = std::array<double, kGridPoints>;

void sectionResponse(CascadeAccumulator& cascade, const model::FilterSection& section, bool lowPass,
                     Curve& magDb, Curve& phase) {
    if (section.bypass != 0) {
        magDb.fill(0.0);
        phase.fill(0.0);
        return;
    }
    cascade.clear();
    for (const CrossoverSection& s :
         designCrossover(lowPass, section.fs, section.slope, section.type)) {
        if (s.kind != SectionKind::Absent) {
            cascade.add(s.coeffs);
        }
    }
    cascade.result(magDb, phase);
}

void bandsResponse(CascadeAccumulator& cascade, const model::Profile& profile, int channel,
                   bool flatBands, Curve& magDb, Curve& phase) {
    cascade.clear();
    const model::EqBand* bands = profile.eqArray(channel);
    const int count = bands != nullptr
                          ? std::clamp(profile.channels[channel].eqSize, 0, model::kBandsPerChannel)
                          : 0;
    for (int i = 0; i < count; ++i) {
        const model::EqBand& band = bands[i];
        const double gain = (flatBands || !band.enable) ? 0.0 : band.eqGain;
        // A peaking band of 0 dB is exactly flat; only all-pass bands turn
        // the phase without gain.
        if (gain == 0.0 && band.type != kBandTypeAllpass) {
            continue;
        }
        cascade.add(designBand(kSampleRate, band.freq, gain, band.eqFactor, band.type));
    }
    cascade.result(magDb, phase);
}

}  // namespace

void channelResponse(model::Profile& profile, int channel, bool flatBands) {
    if (channel < 0 || channel >= model::kOutputSlots) {
        return;
    }
    // About 40 KB of scratch: kept off the stack of the UI thread.
    struct Scratch {
        Curve grid, bandsDb, bandsPhase;
    };
    auto scratch = std::make_unique<Scratch>();
    makeLogGrid(kSampleRate, scratch->grid);
    auto cascade = std::make_unique<CascadeAccumulator>(scratch->grid);
    const model::Crossover& x = profile.channels[channel].crossover;
    sectionResponse(*cascade, x.hp, false, profile.hpMagnitude, profile.hpPhase);
    sectionResponse(*cascade, x.lp, true, profile.lpMagnitude, profile.lpPhase);
    bandsResponse(*cascade, profile, channel, flatBands, scratch->bandsDb, scratch->bandsPhase);
    // The phase is drawn on the dB axis: +-pi lands on the +-12 dB marks.
    constexpr double kPhaseToChart = 12.0 / std::numbers::pi;
    for (int k = 0; k < kGridPoints; ++k) {
        profile.curveFreq[channel][k] = scratch->grid[k];
        profile.curveMagnitude[channel][k] =
            profile.hpMagnitude[k] + profile.lpMagnitude[k] + scratch->bandsDb[k];
        const double phase = profile.hpPhase[k] + profile.lpPhase[k] + scratch->bandsPhase[k];
        profile.curvePhase[channel][k] = wrapPhase(phase) * kPhaseToChart;
    }
}

}  // namespace dsp
