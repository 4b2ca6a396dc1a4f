// The grid, the evaluator and the EQ band designs against a direct complex
// evaluation and the worked values of the design.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp_math/band_design.h"
#include "dsp_math/log_grid.h"
#include "dsp_math/phase_wrap.h"
#include "dsp_math/section_response.h"
#include "reference_response.h"

namespace {

using dsp_test::db;
using dsp_test::responseAt;

std::vector<double> grid() {
    std::vector<double> g(512);
    dsp::makeLogGrid(48000.0, g);
    return g;
}

TEST(LogGrid, WorkedPoints) {
    const std::vector<double> g = grid();
    EXPECT_NEAR(g[0], 1.0199, 1e-4);
    EXPECT_NEAR(g[1], 1.0403, 1e-4);
    EXPECT_NEAR(g[255], 156.46, 0.01);
    EXPECT_NEAR(g[509], 23530.9, 0.1);
    EXPECT_NEAR(g[510], 24000.0, 1e-9);
    EXPECT_DOUBLE_EQ(g[511], 48000.0);
    for (int k = 1; k < 511; ++k) {
        EXPECT_NEAR(g[k] / g[k - 1], g[1] / g[0], 1e-9) << k;  // evenly spaced on a log scale
    }
}

// evalSections over the grid agrees with the direct formula at every point.
void expectMatchesReference(const dsp::Biquad& s) {
    const std::vector<double> g = grid();
    std::vector<double> mag(512), phase(512);
    dsp::evalSections(s.b, s.a, 2, 1, g, mag, phase);
    for (int k = 0; k < 511; ++k) {
        const std::complex<double> h = responseAt(s, g[k]);
        if (std::norm(h) <= 1e-8) {
            EXPECT_EQ(mag[k], -400.0);
            continue;
        }
        ASSERT_NEAR(mag[k], db(h), 1e-9) << "at " << g[k] << " Hz";
        ASSERT_NEAR(dsp::wrapPhase(phase[k] - std::arg(h)), 0.0, 1e-9) << "at " << g[k] << " Hz";
    }
}

TEST(PeakingBand, WorkedValues) {
    const dsp::Biquad boost = dsp::designPeaking(48000, 1000, 6.0, 1.0);
    EXPECT_NEAR(db(responseAt(boost, 1000)), 6.00, 0.005);
    EXPECT_NEAR(db(responseAt(boost, 618)), 3.96, 0.01);
    EXPECT_NEAR(db(responseAt(boost, 1618)), 3.96, 0.01);
    const dsp::Biquad cut = dsp::designPeaking(48000, 1000, -6.0, 1.0);
    EXPECT_NEAR(db(responseAt(cut, 1000)), -6.00, 0.005);
    expectMatchesReference(boost);
    expectMatchesReference(cut);
}

TEST(PeakingBand, PeaksAtItsGainAndMirrors) {
    for (double f0 : {20.0, 315.0, 5000.0, 18000.0}) {
        for (double q : {0.5, 1.41, 9.0}) {
            for (double gain : {1.5, 12.0}) {
                SCOPED_TRACE(testing::Message() << f0 << " Hz, q " << q << ", " << gain << " dB");
                const dsp::Biquad up = dsp::designPeaking(48000, f0, gain, q);
                const dsp::Biquad down = dsp::designPeaking(48000, f0, -gain, q);
                EXPECT_NEAR(db(responseAt(up, f0)), gain, 1e-6);
                for (double f : {f0 / 3, f0 / 1.1, f0 * 1.05, std::min(f0 * 2.5, 23000.0)}) {
                    EXPECT_NEAR(db(responseAt(up, f)), -db(responseAt(down, f)), 1e-6) << f;
                    EXPECT_LE(db(responseAt(up, f)), gain + 1e-9);
                }
            }
        }
    }
}

TEST(PeakingBand, ZeroGainIsFlat) {
    const std::vector<double> g = grid();
    std::vector<double> mag(512), phase(512);
    dsp::bandResponse(48000, 800, 0.0, 2.0, g, 0, mag, phase);
    for (int k = 0; k < 512; ++k) {
        EXPECT_NEAR(mag[k], 0.0, 1e-12);
        EXPECT_NEAR(phase[k], 0.0, 1e-12);
    }
}

TEST(AllpassBand, FlatWithAHalfTurnAtItsFrequency) {
    const dsp::Biquad s = dsp::designAllpass(48000, 2000, 1.5);
    expectMatchesReference(s);
    EXPECT_NEAR(std::abs(std::arg(responseAt(s, 2000))), std::numbers::pi, 1e-9);
    const std::vector<double> g = grid();
    std::vector<double> mag(512), phase(512);
    // The gain of an all-pass band is ignored.
    dsp::bandResponse(48000, 2000, 9.0, 1.5, g, dsp::kBandTypeAllpass, mag, phase);
    int signChanges = 0;
    for (int k = 0; k < 511; ++k) {
        EXPECT_NEAR(mag[k], 0.0, 1e-9);
        signChanges += (k > 0 && std::signbit(phase[k]) != std::signbit(phase[k - 1])) ? 1 : 0;
    }
    EXPECT_GE(signChanges, 1);  // it passes through +-pi
    EXPECT_NEAR(std::abs(phase[0]), 0.0, 0.01);
}

TEST(BandDesign, UnusableParametersGiveAFlatBand) {
    for (const dsp::Biquad& s :
         {dsp::designPeaking(48000, 1000, 6, 0), dsp::designPeaking(48000, 0, 6, 1),
          dsp::designPeaking(48000, 1000, NAN, 1), dsp::designAllpass(48000, -5, 1),
          dsp::designPeaking(48000, 1000, 1e6, 1)}) {
        EXPECT_EQ(std::abs(responseAt(s, 1000)), 1.0);
    }
}

TEST(Evaluator, DeepStopBandsReadAsSilence) {
    // A notch-like section with a zero on the unit circle at 6 kHz.
    const double w = 2 * std::numbers::pi * 6000 / 48000;
    dsp::Biquad s;
    s.b[1] = -2 * std::cos(w);
    s.b[2] = 1.0;
    const std::vector<double> g = {6000.0, 12000.0, 24000.0, 48000.0};
    std::vector<double> mag(4), phase(4);
    dsp::evalSections(s.b, s.a, 2, 1, g, mag, phase);
    EXPECT_EQ(mag[0], -400.0);
    EXPECT_EQ(phase[0], 0.0);
    EXPECT_GT(mag[1], -80.0);
    // Two first-order sections packed as order 1.
    const std::array<double, 4> b = {0.5, 0.5, 0.5, 0.5};
    const std::array<double, 4> a = {1.0, 0.0, 1.0, 0.0};
    dsp::evalSections(b, a, 1, 2, g, mag, phase);
    EXPECT_NEAR(mag[3], 0.0, 1e-12);  // the last point evaluates like 0 Hz
    EXPECT_EQ(mag[2], -400.0);        // both zeros sit at Nyquist
}

TEST(PhaseWrap, BringsIntoRange) {
    constexpr double pi = std::numbers::pi;
    EXPECT_DOUBLE_EQ(dsp::wrapPhase(0.5), 0.5);
    EXPECT_NEAR(dsp::wrapPhase(3 * pi / 2), -pi / 2, 1e-12);
    EXPECT_NEAR(dsp::wrapPhase(-3 * pi / 2), pi / 2, 1e-12);
    EXPECT_NEAR(dsp::wrapPhase(7 * pi + 0.25), -pi + 0.25, 1e-9);
    EXPECT_NEAR(dsp::wrapPhase(-41.0), -41.0 + 14 * pi, 1e-9);
    for (double x = -50; x < 50; x += 0.37) {
        const double r = dsp::wrapPhase(x);
        EXPECT_GE(r, -pi);
        EXPECT_LE(r, pi);
        EXPECT_NEAR(std::remainder(x - r, 2 * pi), 0.0, 1e-9);
    }
}

}  // namespace
