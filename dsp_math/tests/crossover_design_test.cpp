// Crossover designs against textbook properties: Butterworth is 3 dB down
// at its corner, Linkwitz-Riley 6 dB down and sums flat, every family falls
// at 6 dB per octave per order far from the corner.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp_math/crossover_design.h"
#include "dsp_math/log_grid.h"
#include "dsp_math/phase_wrap.h"
#include "reference_response.h"

namespace {

using dsp::designCrossover;
using dsp_test::db;
using dsp_test::responseAt;

constexpr bool kLow = true;
constexpr bool kHigh = false;

TEST(Butterworth, ThreeDbDownAtTheCorner) {
    for (int order = 1; order <= 8; ++order) {
        for (double fc : {50.0, 1000.0, 8000.0}) {
            SCOPED_TRACE(testing::Message() << "order " << order << " at " << fc << " Hz");
            EXPECT_NEAR(db(responseAt(designCrossover(kLow, fc, order, 1), fc)), -3.0103, 0.01);
            EXPECT_NEAR(db(responseAt(designCrossover(kHigh, fc, order, 1), fc)), -3.0103, 0.01);
            // Flat pass band.
            EXPECT_NEAR(db(responseAt(designCrossover(kLow, fc, order, 1), fc / 50)), 0.0, 0.01);
            if (fc * 50 < 23000) {
                EXPECT_NEAR(db(responseAt(designCrossover(kHigh, fc, order, 1), fc * 50)), 0.0,
                            0.01);
            }
        }
    }
}

TEST(Butterworth, SectionsOfEachOrder) {
    using dsp::SectionKind;
    for (int order = 1; order <= 8; ++order) {
        const dsp::CrossoverSections s = designCrossover(kLow, 1000, order, 1);
        EXPECT_EQ(dsp_test::sectionCount(s, SectionKind::SecondOrder), order / 2) << order;
        EXPECT_EQ(dsp_test::sectionCount(s, SectionKind::FirstOrder), order % 2) << order;
    }
}

TEST(LinkwitzRiley, SixDbDownAtTheCornerAndEvenOrdersOnly) {
    for (int order : {2, 4, 6, 8}) {
        for (double fc : {80.0, 2500.0}) {
            SCOPED_TRACE(testing::Message() << "order " << order << " at " << fc << " Hz");
            EXPECT_NEAR(db(responseAt(designCrossover(kLow, fc, order, 2), fc)), -6.0206, 0.01);
            EXPECT_NEAR(db(responseAt(designCrossover(kHigh, fc, order, 2), fc)), -6.0206, 0.01);
        }
    }
    // Slope index 3 is built as order 4, and 9 is limited to 8.
    const dsp::CrossoverSections three = designCrossover(kLow, 1000, 3, 2);
    EXPECT_EQ(dsp_test::sectionCount(three, dsp::SectionKind::SecondOrder), 2);
    EXPECT_EQ(dsp_test::sectionCount(three, dsp::SectionKind::FirstOrder), 0);
    const dsp::CrossoverSections nine = designCrossover(kLow, 1000, 9, 2);
    EXPECT_EQ(dsp_test::sectionCount(nine, dsp::SectionKind::SecondOrder), 4);
    EXPECT_NEAR(db(responseAt(nine, 1000)), -6.0206, 0.01);
}

TEST(LinkwitzRiley, LowAndHighPassSumFlat) {
    // Orders 4 and 8 sum in phase; 2 and 6 with the high pass inverted.
    for (int order : {2, 4, 6, 8}) {
        for (double fc : {100.0, 1000.0, 5000.0}) {
            const dsp::CrossoverSections low = designCrossover(kLow, fc, order, 2);
            const dsp::CrossoverSections high = designCrossover(kHigh, fc, order, 2);
            const double polarity = (order / 2) % 2 == 0 ? 1.0 : -1.0;
            for (double f = 20; f <= 20000; f *= 1.05) {
                const std::complex<double> sum =
                    responseAt(low, f) + polarity * responseAt(high, f);
                ASSERT_NEAR(db(sum), 0.0, 0.01)
                    << "order " << order << ", corner " << fc << " Hz, at " << f << " Hz";
            }
        }
    }
}

// Attenuation gained over one octave far into the stop band.
double octaveSlope(bool lowPass, int order, int family) {
    if (lowPass) {
        const dsp::CrossoverSections s = designCrossover(kLow, 100, order, family);
        return db(responseAt(s, 1600)) - db(responseAt(s, 3200));
    }
    const dsp::CrossoverSections s = designCrossover(kHigh, 4000, order, family);
    return db(responseAt(s, 250)) - db(responseAt(s, 125));
}

TEST(CrossoverFamilies, SixDbPerOctavePerOrderFarFromTheCorner) {
    for (int family = 1; family <= 3; ++family) {
        for (int order = 1; order <= 8; ++order) {
            if (family == 2 && order % 2 != 0) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "family " << family << ", order " << order);
            EXPECT_NEAR(octaveSlope(kLow, order, family), 6.02 * order, 0.2 * order);
            EXPECT_NEAR(octaveSlope(kHigh, order, family), 6.02 * order, 0.2 * order);
        }
    }
}

TEST(Bessel, PassesDcAndDiffersFromButterworth) {
    for (int order = 1; order <= 8; ++order) {
        const dsp::CrossoverSections low = designCrossover(kLow, 1000, order, 3);
        EXPECT_NEAR(db(responseAt(low, 1)), 0.0, 1e-4) << order;
        const dsp::CrossoverSections high = designCrossover(kHigh, 1000, order, 3);
        EXPECT_NEAR(db(responseAt(high, 23000)), 0.0, 0.5) << order;
        if (order >= 2) {
            // A Bessel corner is softer than a Butterworth one.
            EXPECT_LT(db(responseAt(low, 1000)), -3.0103) << order;
        }
    }
}

TEST(CrossoverDesign, CornerIsLimitedTo22kHz) {
    const dsp::CrossoverSections high = designCrossover(kLow, 30000, 4, 1);
    const dsp::CrossoverSections limit = designCrossover(kLow, 22000, 4, 1);
    for (int s = 0; s < 4; ++s) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(high[s].coeffs.b[i], limit[s].coeffs.b[i]);
            EXPECT_EQ(high[s].coeffs.a[i], limit[s].coeffs.a[i]);
        }
    }
    // An unknown family is designed as Butterworth; slope 0 as order 1.
    EXPECT_NEAR(db(responseAt(designCrossover(kLow, 500, 4, 7), 500)), -3.0103, 0.01);
    EXPECT_EQ(
        dsp_test::sectionCount(designCrossover(kLow, 500, 0, 1), dsp::SectionKind::FirstOrder), 1);
}

TEST(CrossoverResponse, SumsTheSectionsOverTheGrid) {
    std::vector<double> grid(512), mag(512), phase(512);
    dsp::makeLogGrid(48000, grid);
    dsp::crossoverResponse(kLow, 200, 8, 2, grid, mag, phase);
    const dsp::CrossoverSections sections = designCrossover(kLow, 200, 8, 2);
    for (int k = 0; k < 511; ++k) {
        double sumDb = 0;
        double sumPhase = 0;
        for (const dsp::CrossoverSection& s : sections) {
            const std::complex<double> h = responseAt(s.coeffs, grid[k]);
            const bool silent = std::norm(h) <= 1e-8;
            sumDb += silent ? -400.0 : db(h);
            sumPhase += silent ? 0.0 : std::arg(h);
        }
        ASSERT_NEAR(mag[k], sumDb, 1e-7) << grid[k];
        ASSERT_NEAR(dsp::wrapPhase(phase[k] - sumPhase), 0.0, 1e-7) << grid[k];
    }
    EXPECT_LT(mag[500], -1000.0);  // each section far below -80 dB reads -400
}

}  // namespace
