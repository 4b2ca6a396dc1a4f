// The car the calibration measures: each speaker type plays its own band in
// a cabin that shapes it, the same every time, within what the analyser
// shows; and the correction the amplifier designs for it brings every kind
// of speaker closer to its target without boosting what the speaker cannot
// play.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/calibration_correction.h"
#include "virtual_device/simulated_car.h"

namespace {

using virtual_device::CarChannel;
using virtual_device::SimulatedCar;

constexpr int kTweeter = 1;  // front left high
constexpr int kMid = 2;
constexpr int kWoofer = 3;
constexpr int kFullRange = 6;
constexpr int kSubwoofer = 22;

// The measured gain nearest to a frequency.
float GainAt(const CarChannel& speaker, double frequency) {
    const auto nearest = std::min_element(speaker.response.begin(), speaker.response.end(),
                                          [&](const auto& a, const auto& b) {
                                              return std::abs(std::log(a.first / frequency)) <
                                                     std::abs(std::log(b.first / frequency));
                                          });
    return nearest->second;
}

std::vector<double> Frequencies(const CarChannel& speaker) {
    std::vector<double> frequencies;
    for (const auto& point : speaker.response) {
        frequencies.push_back(point.first);
    }
    return frequencies;
}

std::vector<double> Gains(const CarChannel& speaker) {
    std::vector<double> gains;
    for (const auto& point : speaker.response) {
        gains.push_back(point.second);
    }
    return gains;
}

TEST(SimulatedCarTest, EachSpeakerTypePlaysItsOwnBand) {
    const SimulatedCar car;
    const CarChannel tweeter = car.Channel(0, kTweeter);
    EXPECT_LT(GainAt(tweeter, 200.0), -15.0f) << "a tweeter plays no bass";
    EXPECT_LT(GainAt(tweeter, 1000.0), GainAt(tweeter, 5000.0) - 8.0f);
    EXPECT_NEAR(GainAt(tweeter, 6000.0), 0.0f, 6.0f);

    const CarChannel sub = car.Channel(8, kSubwoofer);
    EXPECT_GT(GainAt(sub, 40.0), -4.0f);
    EXPECT_LT(GainAt(sub, 250.0), GainAt(sub, 50.0) - 15.0f) << "a subwoofer falls above 100 Hz";
    EXPECT_LT(GainAt(sub, 2000.0), -15.0f);

    const CarChannel woofer = car.Channel(6, kWoofer);
    EXPECT_LT(GainAt(woofer, 12000.0), GainAt(woofer, 500.0) - 10.0f);
    const CarChannel full = car.Channel(2, kFullRange);
    for (double f : {100.0, 400.0, 1000.0, 4000.0, 10000.0}) {
        EXPECT_GT(GainAt(full, f), -10.0f) << f << " Hz on a full-range speaker";
    }
    EXPECT_FALSE(car.Channel(3, 0).hasSpeaker);
    EXPECT_TRUE(car.Channel(3, 0).response.empty());
}

TEST(SimulatedCarTest, MeasuresOnTheAnalysersGridWithinTheChartAndSmoothly) {
    const SimulatedCar car;
    for (int type : {kTweeter, kMid, kWoofer, kFullRange, kSubwoofer, 15, 19, 29}) {
        const CarChannel speaker = car.Channel(type % 10, type);
        ASSERT_EQ(speaker.response.size(), 121u) << "type " << type;
        for (size_t i = 0; i < speaker.response.size(); ++i) {
            const double expected = 20.0 * std::pow(1000.0, static_cast<double>(i) / 120.0);
            EXPECT_NEAR(speaker.response[i].first, expected, expected * 1e-5) << i;
            EXPECT_GE(speaker.response[i].second, -20.0f);
            EXPECT_LE(speaker.response[i].second, 15.0f);
            if (i > 0) {
                // A room measurement, not noise: neighbours a twelfth of an
                // octave apart stay close.
                EXPECT_LT(std::abs(speaker.response[i].second - speaker.response[i - 1].second),
                          4.0f)
                    << "type " << type << " at point " << i;
            }
        }
        EXPECT_GE(speaker.distanceCm, 60.0);
        EXPECT_LE(speaker.distanceCm, 180.0);
    }
}

TEST(SimulatedCarTest, TheSameCarMeasuresTheSameAndNoTwoSeatsAlike) {
    const SimulatedCar car;
    const CarChannel left = car.Channel(0, kFullRange);
    EXPECT_EQ(SimulatedCar().Channel(0, kFullRange).response, left.response);
    EXPECT_EQ(SimulatedCar().Channel(0, kFullRange).distanceCm, left.distanceCm);
    EXPECT_NE(car.Channel(1, kFullRange).response, left.response) << "left and right alike";
    EXPECT_NE(SimulatedCar(7).Channel(0, kFullRange).response, left.response)
        << "another car sounds the same";
    int reversed = 0;
    for (int c = 0; c < 10; ++c) {
        reversed += car.Channel(c, kFullRange).reversedPolarity ? 1 : 0;
    }
    EXPECT_GT(reversed, 0) << "no speaker in the car is wired the wrong way round";
    EXPECT_LT(reversed, 10);
}

TEST(SimulatedCarTest, TheResponseFollowsTheWorkingStatesOutputType) {
    auto protocol = std::make_shared<virtual_device::AmplifierProtocol>();
    virtual_device::AmplifierState state = protocol->State(0);
    state.channels[4].type = kSubwoofer;
    protocol->SetState(0, state);
    const auto sub = protocol->MeasuredResponse(4);
    ASSERT_EQ(sub.size(), 121u);
    EXPECT_EQ(sub, SimulatedCar().Channel(4, kSubwoofer).response);
    state.channels[4].type = kTweeter;
    protocol->SetState(0, state);
    EXPECT_EQ(protocol->MeasuredResponse(4), SimulatedCar().Channel(4, kTweeter).response);
    state.channels[4].type = 0;
    protocol->SetState(0, state);
    EXPECT_TRUE(protocol->MeasuredResponse(4).empty());
    EXPECT_TRUE(protocol->MeasuredResponse(10).empty()) << "an output this model lacks";
}

TEST(CalibrationCorrectionTest, EverySpeakerEndsCloserToEveryTarget) {
    const SimulatedCar car;
    for (int type : {kTweeter, kMid, kWoofer, kFullRange, kSubwoofer}) {
        for (int mode : {0, 1, 4}) {
            for (int bandCount : {11, 21}) {
                const CarChannel speaker = car.Channel(type % 10, type);
                const std::vector<double> frequencies = Frequencies(speaker);
                const std::vector<double> target =
                    virtual_device::CalibrationTargetDb(mode, bandCount, frequencies);
                const auto bands = virtual_device::DesignCorrection(speaker, target);
                ASSERT_EQ(bands.size(), 11u);
                const std::vector<double> eq = virtual_device::BandsResponseDb(bands, frequencies);
                std::vector<double> corrected = Gains(speaker);
                for (size_t i = 0; i < corrected.size(); ++i) {
                    corrected[i] += eq[i];
                }
                const double before = virtual_device::DeviationFromTargetDb(
                    frequencies, Gains(speaker), target, speaker.band);
                const double after = virtual_device::DeviationFromTargetDb(frequencies, corrected,
                                                                           target, speaker.band);
                EXPECT_LT(after, before * 0.7)
                    << "type " << type << " mode " << mode << ": " << before << " -> " << after;
                for (const auto& band : bands) {
                    EXPECT_GE(band.eqGain, -12.0f);
                    EXPECT_LE(band.eqGain, 6.0f);
                    EXPECT_GE(band.eqFactor, 0.5f);
                    EXPECT_LE(band.eqFactor, 9.0f);
                    if (band.eqGain != 0.0f) {
                        EXPECT_GE(band.freq, speaker.band.low) << "type " << type;
                        EXPECT_LE(band.freq, std::min(speaker.band.high, 20000.0));
                    }
                    if (band.eqGain > 0.0f) {
                        EXPECT_GT(band.freq, speaker.band.low * 1.4)
                            << "a boost at the edge of the band, type " << type;
                    }
                }
            }
        }
    }
}

TEST(CalibrationCorrectionTest, TheModesAimAtTheirOwnTargets) {
    const std::vector<double> frequencies = {31.0, 100.0, 800.0, 1000.0, 10000.0};
    const auto first = virtual_device::CalibrationTargetDb(0, 31, frequencies);
    const auto second = virtual_device::CalibrationTargetDb(1, 31, frequencies);
    const auto flat = virtual_device::CalibrationTargetDb(9, 31, frequencies);
    const auto bass = virtual_device::CalibrationTargetDb(7, 31, frequencies);
    const auto treble = virtual_device::CalibrationTargetDb(8, 31, frequencies);
    const auto beyond = virtual_device::CalibrationTargetDb(10, 31, frequencies);
    EXPECT_GT(first[0], 5.0) << "the bass lift";
    EXPECT_LT(first[2], -2.0) << "the first preset's dip at 800 Hz";
    EXPECT_GT(second[2], -1.0) << "the second preset has no dip there";
    EXPECT_LT(second[4], -2.0) << "the second preset's falling treble";
    // The listening modes: the flat one and a mode beyond them are flat,
    // the bass mode lifts the bass, the treble mode the treble.
    for (size_t i = 0; i < frequencies.size(); ++i) {
        EXPECT_EQ(flat[i], 0.0);
        EXPECT_EQ(beyond[i], 0.0);
    }
    EXPECT_GT(bass[0], 4.0);
    EXPECT_NEAR(bass[4], 0.0, 0.5);
    EXPECT_GT(treble[4], 3.0);
    EXPECT_NEAR(treble[0], 0.0, 0.5);
    // Eleven bands reach only up to 194 Hz of the preset.
    const auto eleven = virtual_device::CalibrationTargetDb(0, 11, frequencies);
    EXPECT_NEAR(eleven[2], 0.0, 0.5);
}

}  // namespace
