// One channel's curve update (two 8th-order crossovers and 31 enabled bands
// over 512 points) and all ten channels, as a band drag recomputes them; and
// the same work done the plain way, every section evaluated on its own with
// its own logarithm and angle per point, for comparison.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <numbers>

#include "dsp_math/band_design.h"
#include "dsp_math/channel_response.h"
#include "dsp_math/crossover_design.h"
#include "dsp_math/log_grid.h"
#include "dsp_math/phase_wrap.h"
#include "model/profile.h"

namespace {

constexpr int kChannels = 10;

std::unique_ptr<model::Profile> busyProfile() {
    auto p = std::make_unique<model::Profile>();
    for (int c = 0; c < kChannels; ++c) {
        model::Channel& ch = p->channels[c];
        ch.eqSize = model::kBandsPerChannel;
        ch.bypass = false;
        ch.crossover.hp = {40 + c, 2, 8, 0};
        ch.crossover.lp = {8000 + 100 * c, 2, 8, 0};
        for (int i = 0; i < model::kBandsPerChannel; ++i) {
            p->eqBands[c][i] = {static_cast<float>((i % 13) - 6) + 0.5f, 0.7f + 0.25f * (i % 8),
                                25 + 640 * i, true, 0};
        }
    }
    return p;
}

// The straightforward evaluation: crossoverResponse and bandResponse per
// section, summed, as the curves were first computed.
void plainChannelResponse(model::Profile& p, int c) {
    using Curve = std::array<double, dsp::kGridPoints>;
    Curve grid, db, phase;
    dsp::makeLogGrid(dsp::kSampleRate, grid);
    const model::Crossover& x = p.channels[c].crossover;
    dsp::crossoverResponse(false, x.hp.fs, x.hp.slope, x.hp.type, grid, p.hpMagnitude, p.hpPhase);
    dsp::crossoverResponse(true, x.lp.fs, x.lp.slope, x.lp.type, grid, p.lpMagnitude, p.lpPhase);
    for (int k = 0; k < dsp::kGridPoints; ++k) {
        p.curveFreq[c][k] = grid[k];
        p.curveMagnitude[c][k] = p.hpMagnitude[k] + p.lpMagnitude[k];
        p.curvePhase[c][k] = p.hpPhase[k] + p.lpPhase[k];
    }
    for (int i = 0; i < p.channels[c].eqSize; ++i) {
        const model::EqBand& b = p.eqBands[c][i];
        dsp::bandResponse(dsp::kSampleRate, b.freq, b.eqGain, b.eqFactor, grid, b.type, db, phase);
        for (int k = 0; k < dsp::kGridPoints; ++k) {
            p.curveMagnitude[c][k] += db[k];
            p.curvePhase[c][k] += phase[k];
        }
    }
    for (double& v : p.curvePhase[c]) {
        v = dsp::wrapPhase(v) * 12.0 / std::numbers::pi;
    }
}

void BM_OneChannel(benchmark::State& state) {
    auto p = busyProfile();
    for (auto _ : state) {
        dsp::channelResponse(*p, 3, false);
        benchmark::DoNotOptimize(p->curveMagnitude[3][100]);
    }
}
BENCHMARK(BM_OneChannel)->Unit(benchmark::kMicrosecond);

void BM_TenChannels(benchmark::State& state) {
    auto p = busyProfile();
    for (auto _ : state) {
        for (int c = 0; c < kChannels; ++c) {
            dsp::channelResponse(*p, c, false);
        }
        benchmark::DoNotOptimize(p->curveMagnitude[9][100]);
    }
}
BENCHMARK(BM_TenChannels)->Unit(benchmark::kMicrosecond);

void BM_OneChannelPlain(benchmark::State& state) {
    auto p = busyProfile();
    for (auto _ : state) {
        plainChannelResponse(*p, 3);
        benchmark::DoNotOptimize(p->curveMagnitude[3][100]);
    }
}
BENCHMARK(BM_OneChannelPlain)->Unit(benchmark::kMicrosecond);

void BM_TenChannelsPlain(benchmark::State& state) {
    auto p = busyProfile();
    for (auto _ : state) {
        for (int c = 0; c < kChannels; ++c) {
            plainChannelResponse(*p, c);
        }
        benchmark::DoNotOptimize(p->curveMagnitude[9][100]);
    }
}
BENCHMARK(BM_TenChannelsPlain)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
