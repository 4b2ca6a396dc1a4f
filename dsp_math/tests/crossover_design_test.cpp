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

// Bessel responses pinned per order, low-pass and high-pass at 1000 Hz, in dB
// at 250, 500, 1000, 2000 and 4000 Hz. Worked out apart from the program's
// tables with a short python3 script (standard library only): the roots of
// the reverse Bessel polynomial of each order, sum (2N-k)!/(2^(N-k) k! (N-k)!)
// s^k, found by Durand-Kerner, give each section's damping 2|Re p|/|p| and
// frequency |p| (and |p| of the real root for the first-order section); the
// normaliser is 1/w where the analog low-pass has turned N * 45 degrees. The
// sections were then designed as the device does (see designCrossover) and
// evaluated at z = exp(-j 2 pi f / 48000). A table constant off in its third
// decimal moves some value here by 0.0017 dB or more; rounding the tables to
// six decimals moves none by more than 0.00007 dB.
struct BesselPoints {
    int order;
    double db[5];
};
constexpr double kBesselFrequencies[5] = {250, 500, 1000, 2000, 4000};
constexpr BesselPoints kBesselLowPass[] = {
    {1, {-0.262606, -0.967239, -3.010300, -7.019641, -12.482843}},
    {2, {-0.278460, -1.178335, -4.771213, -13.286346, -24.727951}},
    {3, {-0.338096, -1.418557, -6.314382, -19.569189, -37.115387}},
    {4, {-0.410247, -1.699704, -7.784019, -25.912323, -49.606255}},
    {5, {-0.486925, -2.003860, -9.224074, -32.310180, -62.169158}},
    {6, {-0.565844, -2.320426, -10.652281, -38.752394, -74.783953}},
    {7, {-0.646105, -2.644157, -12.076843, -45.229835, -87.437335}},
    {8, {-0.727259, -2.972399, -13.501806, -51.735233, -100.120112}},
};
constexpr BesselPoints kBesselHighPass[] = {
    {1, {-12.315445, -6.997152, -3.010300, -0.961647, -0.252382}},
    {2, {-24.384140, -13.238162, -4.771213, -1.170357, -0.267028}},
    {3, {-36.594306, -19.494329, -6.314527, -1.408893, -0.324371}},
    {4, {-48.907833, -25.810363, -7.784366, -1.688291, -0.393671}},
    {5, {-61.293443, -32.180922, -9.224650, -1.990557, -0.467291}},
    {6, {-73.731005, -38.595745, -10.653096, -2.305132, -0.543055}},
    {7, {-86.207208, -45.045752, -12.077898, -2.626815, -0.620106}},
    {8, {-98.712852, -51.523697, -13.503099, -2.952976, -0.698014}},
};
constexpr double kBesselToleranceDb = 3e-4;

void expectBesselPoints(bool lowPass, const BesselPoints& points) {
    const dsp::CrossoverSections sections = designCrossover(lowPass, 1000, points.order, 3);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(db(responseAt(sections, kBesselFrequencies[i])), points.db[i],
                    kBesselToleranceDb)
            << (lowPass ? "low-pass" : "high-pass") << " order " << points.order << " at "
            << kBesselFrequencies[i] << " Hz";
    }
}

TEST(Bessel, ResponseOfEveryOrderFromTheBesselPolynomial) {
    for (const BesselPoints& points : kBesselLowPass) {
        expectBesselPoints(kLow, points);
    }
    for (const BesselPoints& points : kBesselHighPass) {
        expectBesselPoints(kHigh, points);
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
