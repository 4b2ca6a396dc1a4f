// A channel's curves in the profile caches agree with the plain sum of each
// section's response (crossover sections and bands evaluated one by one).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "dsp_math/band_design.h"
#include "dsp_math/channel_response.h"
#include "dsp_math/crossover_design.h"
#include "dsp_math/log_grid.h"
#include "dsp_math/phase_wrap.h"
#include "model/profile.h"

namespace {

struct Curves {
    std::vector<double> grid, hpDb, hpPhase, lpDb, lpPhase, totalDb, totalPhase;
};

// The channel's curves computed the plain way: every section on its own.
Curves plainChannelResponse(const model::Profile& p, int c, bool flatBands) {
    Curves r;
    r.grid.resize(512);
    dsp::makeLogGrid(48000, r.grid);
    for (auto* v : {&r.hpDb, &r.hpPhase, &r.lpDb, &r.lpPhase}) {
        v->assign(512, 0.0);
    }
    const model::Crossover& x = p.channels[c].crossover;
    if (!x.hp.bypass) {
        dsp::crossoverResponse(false, x.hp.fs, x.hp.slope, x.hp.type, r.grid, r.hpDb, r.hpPhase);
    }
    if (!x.lp.bypass) {
        dsp::crossoverResponse(true, x.lp.fs, x.lp.slope, x.lp.type, r.grid, r.lpDb, r.lpPhase);
    }
    r.totalDb.resize(512);
    r.totalPhase.resize(512);
    for (int k = 0; k < 512; ++k) {
        r.totalDb[k] = r.hpDb[k] + r.lpDb[k];
        r.totalPhase[k] = r.hpPhase[k] + r.lpPhase[k];
    }
    std::vector<double> db(512), phase(512);
    for (int i = 0; i < p.channels[c].eqSize; ++i) {
        const model::EqBand& b = p.eqArray(c)[i];
        const double gain = (flatBands || !b.enable) ? 0.0 : b.eqGain;
        dsp::bandResponse(48000, b.freq, gain, b.eqFactor, r.grid, b.type, db, phase);
        for (int k = 0; k < 512; ++k) {
            r.totalDb[k] += db[k];
            r.totalPhase[k] += phase[k];
        }
    }
    for (double& v : r.totalPhase) {
        v = dsp::wrapPhase(v) * 12.0 / std::numbers::pi;
    }
    return r;
}

// Phases that differ by whole turns are the same angle.
double angleGap(double a, double b) {
    return std::abs(dsp::wrapPhase(a - b));
}

void expectSameCurves(const model::Profile& p, int c, bool flatBands) {
    const Curves plain = plainChannelResponse(p, c, flatBands);
    for (int k = 0; k < 511; ++k) {
        SCOPED_TRACE(testing::Message() << "point " << k << " (" << plain.grid[k] << " Hz)");
        ASSERT_EQ(p.curveFreq[c][k], plain.grid[k]);
        // Deep stop bands are ill-conditioned in any evaluation order: allow
        // a relative error there.
        const auto tolerance = [](double db) { return 1e-7 + 1e-8 * std::abs(db); };
        ASSERT_NEAR(p.hpMagnitude[k], plain.hpDb[k], tolerance(plain.hpDb[k]));
        ASSERT_NEAR(p.lpMagnitude[k], plain.lpDb[k], tolerance(plain.lpDb[k]));
        ASSERT_NEAR(p.curveMagnitude[c][k], plain.totalDb[k], tolerance(plain.totalDb[k]));
        // The crossover phases are sums of section angles, unwrapped.
        ASSERT_NEAR(p.hpPhase[k], plain.hpPhase[k], 1e-7);
        ASSERT_NEAR(p.lpPhase[k], plain.lpPhase[k], 1e-7);
        // Chart units: 12 per half turn.
        ASSERT_LT(angleGap(p.curvePhase[c][k] * std::numbers::pi / 12,
                           plain.totalPhase[k] * std::numbers::pi / 12),
                  1e-7);
    }
}

std::unique_ptr<model::Profile> busyProfile() {
    auto p = std::make_unique<model::Profile>();
    for (int c = 0; c < 10; ++c) {
        p->channels[c].bypass = false;
        for (int i = 0; i < p->channels[c].eqSize; ++i) {
            model::EqBand& b = p->eqArray(c)[i];
            b.eqGain = static_cast<float>(((i * 7 + c) % 25) - 12);
            b.eqFactor = 0.5f + 0.4f * static_cast<float>((i + c) % 22);
            b.type = (i % 9 == 4) ? 1 : 0;
            b.enable = i % 5 != 3;
        }
    }
    p->channels[1].crossover.hp = {60, 2, 8, 0};
    p->channels[1].crossover.lp = {3000, 2, 8, 0};
    p->channels[2].crossover.hp = {300, 3, 5, 0};
    p->channels[2].crossover.lp = {12000, 1, 3, 0};
    return p;
}

TEST(ChannelResponse, MatchesThePlainSumForEveryChannel) {
    auto p = busyProfile();
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE(c);
        dsp::channelResponse(*p, c, false);
        expectSameCurves(*p, c, false);
    }
}

TEST(ChannelResponse, FlatBandsLeaveTheCrossoverAndAllpassPhase) {
    auto p = busyProfile();
    dsp::channelResponse(*p, 1, true);
    expectSameCurves(*p, 1, true);
    for (int k = 0; k < 511; ++k) {
        EXPECT_NEAR(p->curveMagnitude[1][k], p->hpMagnitude[k] + p->lpMagnitude[k], 1e-9);
    }
}

TEST(ChannelResponse, BypassedSectionsAreZeroAndCurvesStayPerChannel) {
    auto p = std::make_unique<model::Profile>();
    p->channels[0].crossover.hp.bypass = 1;
    p->channels[0].crossover.lp.bypass = 1;
    p->eqArray(0)[10] = {6.0f, 1.0f, 1000, true, 0};
    dsp::channelResponse(*p, 0, false);
    for (int k = 0; k < 512; ++k) {
        EXPECT_EQ(p->hpMagnitude[k], 0.0);
        EXPECT_EQ(p->lpPhase[k], 0.0);
        EXPECT_EQ(p->curveMagnitude[3][k], 0.0);  // other channels untouched
    }
    // The band alone: 6 dB at its centre, nearly flat far away.
    std::vector<double> grid(512);
    dsp::makeLogGrid(48000, grid);
    int nearest = 0;
    for (int k = 0; k < 512; ++k) {
        nearest = std::abs(grid[k] - 1000) < std::abs(grid[nearest] - 1000) ? k : nearest;
    }
    EXPECT_NEAR(p->curveMagnitude[0][nearest], 6.0, 0.05);
    EXPECT_NEAR(p->curveMagnitude[0][0], 0.0, 0.01);
    dsp::channelResponse(*p, 40, false);  // outside the curve rows: ignored
}

TEST(ChannelResponse, ExtremeValuesFromFilesStayFinite) {
    auto p = std::make_unique<model::Profile>();
    for (int i = 0; i < 21; ++i) {
        p->eqArray(0)[i] = {i % 2 ? 300.0f : -300.0f, i % 3 ? 0.0f : 9.0f, i * 1000 - 3000, true,
                            0};
    }
    p->channels[0].crossover.hp = {-50, 0, 99, 0};
    p->channels[0].crossover.lp = {1000000, 2, -4, 0};
    p->channels[0].bypass = false;
    dsp::channelResponse(*p, 0, false);
    for (int k = 0; k < 512; ++k) {
        EXPECT_TRUE(std::isfinite(p->curveMagnitude[0][k])) << k;
        EXPECT_TRUE(std::isfinite(p->curvePhase[0][k])) << k;
        EXPECT_LE(std::abs(p->curvePhase[0][k]), 12.0);
    }
}

}  // namespace
