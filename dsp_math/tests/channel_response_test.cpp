// A channel's curves in the profile caches agree with the plain sum of each
// section's response (crossover sections and bands evaluated one by one).
#include <gtest/gtest.h>

#include <algorithm>
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

// ---- the curves against values worked out another way ----
//
// Every section the device builds is the bilinear transform of an analog
// prototype, pre-warped at its own corner: at a frequency f the section
// responds as its prototype does at W = tan(pi f / 48000) / tan(pi fc / 48000).
// That gives closed forms for the Butterworth and Linkwitz-Riley crossovers
// and for the bands, independent of the coefficients and of the evaluator.

namespace closed_form {

double warped(double f, double fc) {
    return std::tan(std::numbers::pi * f / 48000.0) / std::tan(std::numbers::pi * fc / 48000.0);
}

// Butterworth of order n: |H|^2 = 1 / (1 + W^2n) for a low-pass.
double butterworthDb(bool lowPass, int n, double fc, double f) {
    const double w = warped(f, fc);
    return -10.0 * std::log10(1.0 + std::pow(lowPass ? w : 1.0 / w, 2 * n));
}

// Linkwitz-Riley of order n is a Butterworth of order n / 2 squared.
double linkwitzRileyDb(bool lowPass, int n, double fc, double f) {
    return 2.0 * butterworthDb(lowPass, n / 2, fc, f);
}

// The peaking band's prototype (s^2 + s A / t + 1) / (s^2 + s / t + 1), with
// numerator and denominator swapped for a cut; t puts the lower band edge at
// w0 (sqrt(4q^2 + 1) - 1) / 2q.
double peakingDb(double f0, double gainDb, double q, double f) {
    const double w0 = 2.0 * std::numbers::pi * f0 / 48000.0;
    const double w1 = w0 * (std::sqrt(4.0 * q * q + 1.0) - 1.0) / (2.0 * q);
    const double t = std::sin(w1) * std::sin(w0) / (2.0 * (std::cos(w1) - std::cos(w0)));
    const double a = std::pow(10.0, std::abs(gainDb) / 20.0);
    const double w = warped(f, f0);
    const double real = (1.0 - w * w) * (1.0 - w * w);
    const double wide = real + (a * w / t) * (a * w / t);
    const double narrow = real + (w / t) * (w / t);
    return 10.0 * std::log10(gainDb >= 0 ? wide / narrow : narrow / wide);
}

// The all-pass band's prototype (s^2 - s / q + 1) / (s^2 + s / q + 1).
double allpassPhase(double f0, double q, double f) {
    const double w = warped(f, f0);
    return -2.0 * std::atan2(w / q, 1.0 - w * w);
}

}  // namespace closed_form

std::vector<double> chartGrid() {
    std::vector<double> grid(512);
    dsp::makeLogGrid(48000, grid);
    return grid;
}

// A profile whose channel 0 has only the crossover sections given.
std::unique_ptr<model::Profile> crossoverOnly(model::FilterSection hp, model::FilterSection lp) {
    auto p = std::make_unique<model::Profile>();
    p->channels[0].crossover.hp = hp;
    p->channels[0].crossover.lp = lp;
    for (int i = 0; i < p->channels[0].eqSize; ++i) {
        p->eqArray(0)[i].eqGain = 0.0f;
        p->eqArray(0)[i].type = 0;
    }
    return p;
}

TEST(ChannelResponseClosedForm, ButterworthAndLinkwitzRileyCrossovers) {
    const std::vector<double> grid = chartGrid();
    // {fs, type, slope, bypass}: a Butterworth high-pass of order 3 at 120 Hz
    // and a Linkwitz-Riley low-pass of order 4 at 2500 Hz.
    auto p = crossoverOnly({120, 1, 3, 0}, {2500, 2, 4, 0});
    dsp::channelResponse(*p, 0, false);
    int checked = 0;
    for (int k = 0; k < 511; ++k) {
        const double hp = closed_form::butterworthDb(false, 3, 120, grid[k]);
        const double lp = closed_form::linkwitzRileyDb(true, 4, 2500, grid[k]);
        if (hp < -60 || lp < -60) {
            continue;  // below the floor of single sections
        }
        SCOPED_TRACE(testing::Message() << grid[k] << " Hz");
        ASSERT_NEAR(p->hpMagnitude[k], hp, 1e-6);
        ASSERT_NEAR(p->lpMagnitude[k], lp, 1e-6);
        ASSERT_NEAR(p->curveMagnitude[0][k], hp + lp, 2e-6);
        ++checked;
    }
    EXPECT_GT(checked, 200);

    // The other orders of both families, one high-pass and one low-pass each.
    for (int order = 1; order <= 8; ++order) {
        SCOPED_TRACE(testing::Message() << "order " << order);
        auto q = crossoverOnly({300, 1, order, 0}, {3000, 2, order, 0});
        dsp::channelResponse(*q, 0, false);
        const int lrOrder = order % 2 == 0 ? order : order + 1;
        for (int k : {279, 314, 349, 384, 419}) {  // about 250 Hz to 4 kHz
            EXPECT_NEAR(q->hpMagnitude[k], closed_form::butterworthDb(false, order, 300, grid[k]),
                        1e-6);
            // The eighth-order damping table carries six decimals.
            EXPECT_NEAR(q->lpMagnitude[k],
                        closed_form::linkwitzRileyDb(true, lrOrder, 3000, grid[k]), 1e-5);
        }
    }
}

TEST(ChannelResponseClosedForm, BesselCrossovers) {
    // Bessel low-pass of order 5 and high-pass of order 3 at 1000 Hz, at the
    // grid points nearest 250, 500, 1000, 2000 and 4000 Hz, worked out from
    // the Bessel polynomial with the python3 script described in
    // crossover_design_test.cpp, evaluated at the grid's own frequencies.
    const struct {
        int k;
        double lowPassDb;
        double highPassDb;
    } points[] = {
        {279, -0.491870, -36.466639}, {314, -2.015051, -19.432287}, {349, -9.231086, -6.310212},
        {384, -32.228414, -1.414981}, {419, -61.974117, -0.327376},
    };
    auto p = crossoverOnly({1000, 3, 3, 0}, {1000, 3, 5, 0});
    dsp::channelResponse(*p, 0, false);
    for (const auto& point : points) {
        EXPECT_NEAR(p->lpMagnitude[point.k], point.lowPassDb, 3e-4) << point.k;
        EXPECT_NEAR(p->hpMagnitude[point.k], point.highPassDb, 3e-4) << point.k;
    }
}

TEST(ChannelResponseClosedForm, PeakingBandsBoostAndCut) {
    const std::vector<double> grid = chartGrid();
    auto p = crossoverOnly({20, 1, 0, 1}, {20000, 1, 0, 1});
    p->eqArray(0)[3] = {9.0f, 1.4f, 250, true, 0};
    p->eqArray(0)[12] = {-6.5f, 4.0f, 6300, true, 0};
    dsp::channelResponse(*p, 0, false);
    for (int k = 0; k < 511; ++k) {
        const double expected = closed_form::peakingDb(250, 9.0, 1.4, grid[k]) +
                                closed_form::peakingDb(6300, -6.5, 4.0, grid[k]);
        ASSERT_NEAR(p->curveMagnitude[0][k], expected, 1e-6) << grid[k] << " Hz";
    }
}

TEST(ChannelResponseClosedForm, AllpassBandTurnsOnlyThePhase) {
    const std::vector<double> grid = chartGrid();
    auto p = crossoverOnly({20, 1, 0, 1}, {20000, 1, 0, 1});
    p->eqArray(0)[5] = {6.0f, 2.0f, 1500, true, 1};  // an all-pass band ignores its gain
    dsp::channelResponse(*p, 0, false);
    for (int k = 0; k < 511; ++k) {
        SCOPED_TRACE(testing::Message() << grid[k] << " Hz");
        ASSERT_NEAR(p->curveMagnitude[0][k], 0.0, 1e-9);
        // Chart units: 12 per half turn.
        ASSERT_LT(angleGap(p->curvePhase[0][k] * std::numbers::pi / 12,
                           closed_form::allpassPhase(1500, 2.0, grid[k])),
                  1e-7);
    }
}

// A slope of 0 switches a crossover section off: its curve is flat, whether
// the slope was chosen or came with the default profile.
TEST(ChannelResponse, SlopeZeroSwitchesTheSectionOff) {
    auto p = std::make_unique<model::Profile>();
    p->setHpFreq(0, 500);
    p->setHpSlope(0, 4);
    p->setHpSlope(0, 0);
    p->setLpFreq(0, 1000);
    p->setLpSlope(0, 0);
    dsp::channelResponse(*p, 0, false);
    for (int k = 0; k < 512; ++k) {
        ASSERT_EQ(p->hpMagnitude[k], 0.0) << k;
        ASSERT_EQ(p->lpMagnitude[k], 0.0) << k;
    }

    auto defaults = std::make_unique<model::Profile>();
    int offSections = 0;
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE(c);
        dsp::channelResponse(*defaults, c, false);
        const model::Crossover& x = defaults->channels[c].crossover;
        if (x.hp.slope == 0) {
            ++offSections;
            EXPECT_EQ(*std::max_element(defaults->hpMagnitude.begin(), defaults->hpMagnitude.end()),
                      0.0);
            EXPECT_EQ(*std::min_element(defaults->hpMagnitude.begin(), defaults->hpMagnitude.end()),
                      0.0);
        }
        if (x.lp.slope == 0) {
            ++offSections;
            EXPECT_EQ(*std::max_element(defaults->lpMagnitude.begin(), defaults->lpMagnitude.end()),
                      0.0);
            EXPECT_EQ(*std::min_element(defaults->lpMagnitude.begin(), defaults->lpMagnitude.end()),
                      0.0);
        }
    }
    EXPECT_GT(offSections, 0) << "the default profile has sections switched off";
}

}  // namespace
