// The rule that turns measured distances into delays, on a car with the
// model's ten outputs, and the reading of a typed distance.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/model_cfg.h"
#include "controller/distance_alignment.h"
#include "controller/distance_entry.h"
#include "model/units.h"

namespace {

using controller::AlignByDistance;
using controller::DistanceFault;
using controller::ReadDistance;
using Distances = std::vector<std::optional<double>>;

constexpr double kCmPerMs = 34.6;  // what the model's delay maxima give
constexpr double kInchPerMs = 13.6;

// What the main page shows for a delay once it is stored in that unit.
std::string Shown(int unit, float ms) {
    return model::formatDelayText(unit, model::quantizeDelay(unit, ms));
}

class DistanceAlignmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::FillModelCfg();
        ASSERT_EQ(app::CurrentModelCfg().mOUT_CHANNEL_NUMBER, 10);
    }
};

TEST_F(DistanceAlignmentTest, TheFarthestPlaysAtOnceAndTheOthersWaitForTheDifference) {
    // Tweeters, mids and woofers up front, rear fills and a subwoofer in the boot.
    const Distances cm = {95, 118.5, 102, 131, 140, 152, 210, 205, 260, 248};
    const auto alignment = AlignByDistance(cm, model::kDelayUnitCm);
    ASSERT_TRUE(alignment.has_value());
    EXPECT_EQ(alignment->farthest, 8);
    EXPECT_TRUE(alignment->limited.empty());
    ASSERT_EQ(alignment->delaysMs.size(), 10u);
    EXPECT_FLOAT_EQ(*alignment->delaysMs[8], 0.0f);
    for (int c = 0; c < 10; ++c) {
        const double difference = 260 - *cm[c];
        EXPECT_NEAR(*alignment->delaysMs[c], difference / kCmPerMs, 1e-4) << c;
    }
    // Shown in centimetres, each delay is the distance it makes up for.
    EXPECT_EQ(Shown(model::kDelayUnitCm, *alignment->delaysMs[0]), "165 cm");
    EXPECT_EQ(Shown(model::kDelayUnitCm, *alignment->delaysMs[6]), "50 cm");
    EXPECT_EQ(Shown(model::kDelayUnitCm, *alignment->delaysMs[9]), "12 cm");
}

TEST_F(DistanceAlignmentTest, InchesGiveDelaysThatShowTheDifferenceInInches) {
    const Distances in = {40, 44, std::nullopt, 52, 61, 58, 83, 83, 100, 97};
    const auto alignment = AlignByDistance(in, model::kDelayUnitInch);
    ASSERT_TRUE(alignment.has_value());
    EXPECT_EQ(alignment->farthest, 8);
    EXPECT_NEAR(*alignment->delaysMs[0], 60 / kInchPerMs, 1e-4);
    EXPECT_EQ(Shown(model::kDelayUnitInch, *alignment->delaysMs[0]), "60 in");
    EXPECT_EQ(Shown(model::kDelayUnitInch, *alignment->delaysMs[6]), "17 in");
    EXPECT_EQ(Shown(model::kDelayUnitInch, *alignment->delaysMs[9]), "3 in");
    EXPECT_FALSE(alignment->delaysMs[2].has_value()) << "no distance: the delay stays";
}

TEST_F(DistanceAlignmentTest, ADifferenceBeyondTheLargestDelayIsCutAndNamed) {
    // 600 cm nearer than the subwoofer: more than the 519 cm of 15 ms.
    Distances cm(10);
    cm[0] = 50;
    cm[1] = 140;
    cm[5] = 650;
    cm[7] = 131;
    const auto alignment = AlignByDistance(cm, model::kDelayUnitCm);
    ASSERT_TRUE(alignment.has_value());
    EXPECT_EQ(alignment->farthest, 5);
    EXPECT_EQ(alignment->limited, std::vector<int>{0});
    EXPECT_FLOAT_EQ(*alignment->delaysMs[0], app::CurrentModelCfg().mMAX_DELAY_MS);
    EXPECT_NEAR(*alignment->delaysMs[1], 510 / kCmPerMs, 1e-4);
    EXPECT_LT(*alignment->delaysMs[1], app::CurrentModelCfg().mMAX_DELAY_MS);
    // 519 cm is exactly the largest delay: reached, not cut.
    EXPECT_FLOAT_EQ(*alignment->delaysMs[7], app::CurrentModelCfg().mMAX_DELAY_MS);
    for (int c : {2, 3, 4, 6, 8, 9}) {
        EXPECT_FALSE(alignment->delaysMs[c].has_value()) << c;
    }
}

TEST_F(DistanceAlignmentTest, WithoutASingleDistanceThereIsNothingToAlign) {
    EXPECT_FALSE(AlignByDistance(Distances(10), model::kDelayUnitCm).has_value());
    Distances one(10);
    one[4] = 80;
    const auto alone = AlignByDistance(one, model::kDelayUnitCm);
    ASSERT_TRUE(alone.has_value());
    EXPECT_FLOAT_EQ(*alone->delaysMs[4], 0.0f);
}

TEST_F(DistanceAlignmentTest, TypedDistancesReadWithOrWithoutTheirUnit) {
    const int cm = model::kDelayUnitCm;
    const int inch = model::kDelayUnitInch;
    EXPECT_DOUBLE_EQ(*ReadDistance("250", cm).distance, 250.0);
    EXPECT_DOUBLE_EQ(*ReadDistance("  250 cm ", cm).distance, 250.0);
    EXPECT_DOUBLE_EQ(*ReadDistance("2.5m", cm).distance, 250.0);
    EXPECT_DOUBLE_EQ(*ReadDistance("125,5", cm).distance, 125.5);
    EXPECT_DOUBLE_EQ(*ReadDistance("1250 mm", cm).distance, 125.0);
    EXPECT_NEAR(*ReadDistance("100 in", cm).distance, 254.0, 1e-9);
    EXPECT_DOUBLE_EQ(*ReadDistance("100", inch).distance, 100.0);
    EXPECT_NEAR(*ReadDistance("254 CM", inch).distance, 100.0, 1e-9);
    EXPECT_DOUBLE_EQ(*ReadDistance("36\"", inch).distance, 36.0);
    EXPECT_DOUBLE_EQ(*ReadDistance("20 m", cm).distance, 2000.0) << "20 m is still a distance";
    EXPECT_DOUBLE_EQ(*ReadDistance("0", cm).distance, 0.0);

    const auto empty = ReadDistance("   ", cm);
    EXPECT_FALSE(empty.distance.has_value());
    EXPECT_EQ(empty.fault, DistanceFault::kNone);
}

TEST_F(DistanceAlignmentTest, WhatIsNoDistanceIsToldApart) {
    const int cm = model::kDelayUnitCm;
    for (const char* text :
         {"abc", "12abc", "1.2.3", "inf", "nan", "1e3", "-", ".", "5 km", "cm"}) {
        const auto reading = ReadDistance(text, cm);
        EXPECT_FALSE(reading.distance.has_value()) << text;
        EXPECT_EQ(reading.fault, DistanceFault::kNotANumber) << text;
    }
    EXPECT_EQ(ReadDistance("-5", cm).fault, DistanceFault::kNegative);
    EXPECT_EQ(ReadDistance("-0.5 m", cm).fault, DistanceFault::kNegative);
    EXPECT_EQ(ReadDistance("2000.5", cm).fault, DistanceFault::kTooFar);
    EXPECT_EQ(ReadDistance("21 m", cm).fault, DistanceFault::kTooFar);
    EXPECT_EQ(ReadDistance("788", model::kDelayUnitInch).fault, DistanceFault::kTooFar);
    EXPECT_EQ(ReadDistance("787", model::kDelayUnitInch).fault, DistanceFault::kNone);
    EXPECT_EQ(ReadDistance(std::string(400, '9'), cm).fault, DistanceFault::kTooFar);
}

}  // namespace
