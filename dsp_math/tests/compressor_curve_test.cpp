// The compressor's static curve against what a compressor does: level passes
// unchanged below the knee, every dB above it comes out as 1/ratio dB, the
// soft knee joins the two lines without a step or a corner, a hard knee
// turns at the threshold, and ratios below 1 or negative knees do not
// expand or bend the curve the wrong way.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp_math/compressor_curve.h"

namespace {

using dsp::CompressorOutputDb;
using dsp::CompressorShape;
using dsp::CompressorSlope;

constexpr CompressorShape kShapes[] = {
    {-20.0, 4.0, 10.0}, {-40.0, 2.0, 6.0},   {64.0, 100.0, 24.0},
    {-6.5, 1.5, 0.0},   {-30.0, 10.0, 24.0},
};

TEST(CompressorCurve, BelowTheKneeTheLevelPassesUnchanged) {
    for (const CompressorShape& s : kShapes) {
        SCOPED_TRACE(testing::Message() << "threshold " << s.thresholdDb << " ratio " << s.ratio);
        const double kneeFoot = s.thresholdDb - s.kneeDb / 2.0;
        for (double x : {kneeFoot - 50.0, kneeFoot - 10.0, kneeFoot - 0.01}) {
            EXPECT_DOUBLE_EQ(CompressorOutputDb(x, s), x);
            EXPECT_DOUBLE_EQ(CompressorSlope(x, s), 1.0);
        }
    }
}

TEST(CompressorCurve, AboveTheKneeEachDbComesOutAsOneOverTheRatio) {
    for (const CompressorShape& s : kShapes) {
        SCOPED_TRACE(testing::Message() << "threshold " << s.thresholdDb << " ratio " << s.ratio);
        const double kneeTop = s.thresholdDb + s.kneeDb / 2.0;
        for (double x : {kneeTop + 0.01, kneeTop + 5.0, kneeTop + 40.0}) {
            EXPECT_NEAR(CompressorOutputDb(x, s), s.thresholdDb + (x - s.thresholdDb) / s.ratio,
                        1e-9);
            EXPECT_DOUBLE_EQ(CompressorSlope(x, s), 1.0 / s.ratio);
        }
        // Far above, 10 dB more in gives 10 / ratio dB more out.
        const double far = kneeTop + 30.0;
        EXPECT_NEAR(CompressorOutputDb(far + 10.0, s) - CompressorOutputDb(far, s), 10.0 / s.ratio,
                    1e-9);
    }
}

TEST(CompressorCurve, TheSoftKneeIsContinuousAndSmooth) {
    for (const CompressorShape& s : kShapes) {
        if (s.kneeDb <= 0.0) {
            continue;
        }
        SCOPED_TRACE(testing::Message() << "threshold " << s.thresholdDb << " knee " << s.kneeDb);
        const double h = 1e-6;
        for (double edge : {s.thresholdDb - s.kneeDb / 2.0, s.thresholdDb + s.kneeDb / 2.0}) {
            // No step and no corner at either edge of the knee.
            EXPECT_NEAR(CompressorOutputDb(edge - h, s), CompressorOutputDb(edge + h, s), 1e-5);
            EXPECT_NEAR(CompressorSlope(edge - h, s), CompressorSlope(edge + h, s), 1e-5);
        }
        // Inside, the slope falls steadily from 1 to 1/ratio and matches the
        // difference quotient of the output.
        double previous = 1.0;
        for (int k = 1; k < 20; ++k) {
            const double x = s.thresholdDb - s.kneeDb / 2.0 + s.kneeDb * k / 20.0;
            const double slope = CompressorSlope(x, s);
            EXPECT_LT(slope, previous);
            EXPECT_GT(slope, 1.0 / s.ratio);
            EXPECT_NEAR((CompressorOutputDb(x + h, s) - CompressorOutputDb(x - h, s)) / (2 * h),
                        slope, 1e-4);
            previous = slope;
        }
        // The knee bends the curve below both straight lines at the threshold,
        // by (1 - 1/ratio) * knee / 8 dB.
        EXPECT_NEAR(CompressorOutputDb(s.thresholdDb, s),
                    s.thresholdDb - (1.0 - 1.0 / s.ratio) * s.kneeDb / 8.0, 1e-9);
    }
}

TEST(CompressorCurve, AHardKneeTurnsAtTheThreshold) {
    const CompressorShape s{-20.0, 4.0, 0.0};
    EXPECT_DOUBLE_EQ(CompressorOutputDb(-20.0, s), -20.0);
    EXPECT_DOUBLE_EQ(CompressorOutputDb(-20.001, s), -20.001);
    EXPECT_NEAR(CompressorOutputDb(-12.0, s), -18.0, 1e-12);
    EXPECT_DOUBLE_EQ(CompressorSlope(-20.5, s), 1.0);
    EXPECT_DOUBLE_EQ(CompressorSlope(-19.5, s), 0.25);
}

TEST(CompressorCurve, NoRatioExpandsAndNoKneeBendsTheWrongWay) {
    for (double ratio : {1.0, 0.5, 0.0, -3.0}) {
        SCOPED_TRACE(ratio);
        const CompressorShape s{-20.0, ratio, 10.0};
        for (double x : {-60.0, -20.0, -17.0, 0.0, 30.0}) {
            EXPECT_DOUBLE_EQ(CompressorOutputDb(x, s), x);
        }
    }
    const CompressorShape negativeKnee{-20.0, 4.0, -8.0};
    EXPECT_DOUBLE_EQ(CompressorOutputDb(-24.0, negativeKnee), -24.0);
    EXPECT_NEAR(CompressorOutputDb(-16.0, negativeKnee), -19.0, 1e-12);
    // The output never rises above the input.
    for (const CompressorShape& s : kShapes) {
        for (double x = -120.0; x <= 120.0; x += 0.25) {
            EXPECT_LE(CompressorOutputDb(x, s), x + 1e-12);
        }
    }
}

}  // namespace
