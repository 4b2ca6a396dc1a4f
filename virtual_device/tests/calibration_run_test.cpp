// A whole calibration run over the program's device link: the statuses in
// their order, the measured responses and corrections as the link decodes
// them, and what applying, discarding and stopping do to the working state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "calibration_link_fixture.h"
#include "dsp_math/band_design.h"
#include "model/calibration_targets.h"

namespace {

using calibration_test::CalibrationLinkTest;
using calibration_test::kPhaseMs;
using virtual_device::AmplifierState;
using virtual_device::ChannelState;

constexpr uint8_t kEqAndDelay = 3;
constexpr uint16_t kChannels013 = 0x000B;
constexpr double kSampleRate = 48000.0;

// The summed magnitude of peaking bands at these frequencies (the filter
// evaluation takes the last two grid points as Nyquist and sample rate).
std::vector<double> BandsDb(const std::vector<model::EqBand>& bands,
                            const std::vector<double>& frequencies) {
    std::vector<double> grid = frequencies;
    grid.push_back(kSampleRate / 2);
    grid.push_back(kSampleRate);
    std::vector<double> sum(frequencies.size(), 0.0);
    for (const auto& band : bands) {
        std::vector<double> mag(grid.size());
        std::vector<double> phase(grid.size());
        dsp::bandResponse(kSampleRate, band.freq, band.eqGain, band.eqFactor, grid, 0, mag, phase);
        for (size_t i = 0; i < sum.size(); ++i) {
            sum[i] += mag[i];
        }
    }
    return sum;
}

// How far a curve is from the target's shape over the speaker's band:
// the RMS of the difference once the level difference is taken out.
double ShapeError(const std::vector<double>& frequencies, const std::vector<double>& curve,
                  const std::vector<double>& target, double low, double high) {
    std::vector<double> difference;
    for (size_t i = 0; i < frequencies.size(); ++i) {
        if (frequencies[i] >= low && frequencies[i] <= high) {
            difference.push_back(curve[i] - target[i]);
        }
    }
    double mean = 0.0;
    for (double d : difference) {
        mean += d / static_cast<double>(difference.size());
    }
    double sum = 0.0;
    for (double d : difference) {
        sum += (d - mean) * (d - mean);
    }
    return std::sqrt(sum / static_cast<double>(difference.size()));
}

void ExpectSameChannel(const ChannelState& a, const ChannelState& b, int channel) {
    for (int band = 0; band < virtual_device::kAmpBands; ++band) {
        EXPECT_EQ(a.eq[band].frequency, b.eq[band].frequency) << channel << "/" << band;
        EXPECT_EQ(a.eq[band].gainByte, b.eq[band].gainByte) << channel << "/" << band;
        EXPECT_EQ(a.eq[band].gainTenths, b.eq[band].gainTenths) << channel << "/" << band;
        EXPECT_EQ(a.eq[band].qInteger, b.eq[band].qInteger) << channel << "/" << band;
        EXPECT_EQ(a.eq[band].qFraction, b.eq[band].qFraction) << channel << "/" << band;
    }
    EXPECT_EQ(a.delayMs, b.delayMs) << channel;
    EXPECT_EQ(a.delayThousandths, b.delayThousandths) << channel;
    EXPECT_EQ(a.phase, b.phase) << channel;
    EXPECT_EQ(a.trimAttenuation, b.trimAttenuation) << channel;
}

void ExpectSameState(const AmplifierState& a, const AmplifierState& b) {
    for (int c = 0; c < 10; ++c) {
        ExpectSameChannel(a.channels[c], b.channels[c], c);
    }
}

TEST_F(CalibrationLinkTest, AWholeRunReportsEveryStepAndOffersEachChannelInTurn) {
    EXPECT_EQ(Poll(), (calibration_test::Posted{12, 0})) << "before any run";
    Start(kEqAndDelay, kChannels013);
    EXPECT_EQ(LastSentData(), std::vector<uint8_t>({1, 0x00, 0x0B, 0}));
    EXPECT_EQ(mProtocol->CalibrationModule(), kEqAndDelay);
    EXPECT_EQ(mProtocol->CalibrationMask(), kChannels013);

    const auto seen = RunToTheEnd();
    ASSERT_EQ(seen.size(), 15u);
    const std::vector<calibration_test::Posted> channelSteps(seen.begin() + 7, seen.end() - 2);
    EXPECT_EQ(StatusesOf(seen), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 7, 8, 7, 8, 9, 10}));
    EXPECT_EQ(channelSteps, (std::vector<calibration_test::Posted>{
                                {7, 0}, {8, 0}, {7, 1}, {8, 1}, {7, 3}, {8, 3}}));
    EXPECT_EQ(seen.back(), (calibration_test::Posted{10, 100}));
    EXPECT_EQ(Poll(), (calibration_test::Posted{10, 100})) << "the final status stays";
    for (size_t i = 1; i + 1 < seen.size(); ++i) {
        if (seen[i].status <= 6 && seen[i - 1].status <= 6) {
            EXPECT_GE(seen[i].value, seen[i - 1].value) << "posted progress fell";
        }
    }
    EXPECT_GT(seen[5].value, 0);
    EXPECT_LT(seen[6].value, 100);
}

TEST_F(CalibrationLinkTest, TheReadResponsesAndCorrectionsAreTheAmplifiersAndFlattenIt) {
    Start(kEqAndDelay, kChannels013);
    RunToTheEnd();
    ASSERT_EQ(mSpectra.size(), 3u);
    ASSERT_EQ(mCorrections.size(), 3u);
    const model::TargetPreset& preset = model::calibrationTargetPreset(0);
    for (int channel : {0, 1, 3}) {
        const auto measured = mProtocol->MeasuredResponse(channel);
        const auto& points = mSpectra[channel];
        ASSERT_EQ(points.size(), 121u) << channel;
        ASSERT_EQ(measured.size(), 121u);
        std::vector<double> frequencies;
        std::vector<double> gains;
        for (int i = 0; i < 121; ++i) {
            const auto& point = points.at(i);
            EXPECT_EQ(point.channel, channel);
            const double logGrid = 20.0 * std::pow(1000.0, i / 120.0);
            EXPECT_NEAR(point.frequency, logGrid, 0.006) << "point " << i;
            EXPECT_NEAR(point.frequency, measured[i].first, 0.006);
            EXPECT_NEAR(point.gain, measured[i].second, 0.006) << "point " << i;
            EXPECT_GE(point.gain, -20.0f);
            EXPECT_LE(point.gain, 15.0f);
            frequencies.push_back(point.frequency);
            gains.push_back(point.gain);
        }

        const auto result = mProtocol->CalibrationResult(channel);
        const auto& bands = mCorrections[channel];
        ASSERT_EQ(result.size(), 11u);
        ASSERT_EQ(bands.size(), 11u);
        const auto speaker = mProtocol->CarSpeaker(channel);
        std::vector<model::EqBand> decoded;
        for (int b = 0; b < 11; ++b) {
            const auto& band = bands.at(b);
            EXPECT_EQ(band.frequency, result[b].freq) << channel << "/" << b;
            EXPECT_NEAR(band.q, result[b].eqFactor, 0.006) << channel << "/" << b;
            EXPECT_NEAR(band.gain, result[b].eqGain, 0.05) << channel << "/" << b;
            EXPECT_GE(band.frequency, 20);
            EXPECT_LE(band.frequency, 20000);
            EXPECT_GE(band.q, 0.5f);
            EXPECT_LE(band.q, 9.0f);
            EXPECT_GE(band.gain, -18.0f);
            EXPECT_LE(band.gain, 6.05f) << "boosts stay small";
            if (std::abs(band.gain) > 0.01f) {
                EXPECT_GE(band.frequency, speaker.band.low);
                EXPECT_LE(band.frequency, speaker.band.high);
            }
            decoded.push_back({band.gain, band.q, band.frequency, true, 0});
        }
        // Channels 0..3 have 21 bands, so their target is the preset's first 21.
        const auto target = BandsDb({preset.begin(), preset.begin() + 21}, frequencies);
        const auto eq = BandsDb(decoded, frequencies);
        std::vector<double> corrected = gains;
        for (size_t i = 0; i < corrected.size(); ++i) {
            corrected[i] += eq[i];
        }
        const double before =
            ShapeError(frequencies, gains, target, speaker.band.low, speaker.band.high);
        const double after =
            ShapeError(frequencies, corrected, target, speaker.band.low, speaker.band.high);
        EXPECT_LT(after, before * 0.7)
            << "channel " << channel << ": " << before << " -> " << after;
    }
    EXPECT_TRUE(mProtocol->CalibrationResult(2).empty()) << "a channel not chosen";
}

TEST_F(CalibrationLinkTest, ApplyingSetsTheCalibratedChannelsOnly) {
    // A tune already in place: upper bands of calibrated and other channels.
    AmplifierState tuned = mProtocol->State(0);
    for (int c : {0, 2, 3}) {
        tuned.channels[c].eq[15].gainByte = 21;
        tuned.channels[c].eq[15].gainTenths = 5;
    }
    mProtocol->SetState(0, tuned);
    const AmplifierState before = mProtocol->State(0);
    Start(kEqAndDelay, kChannels013);
    RunToTheEnd();
    ExpectSameState(mProtocol->State(0), before);  // nothing until applied
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true));
    const AmplifierState after = mProtocol->State(0);

    double farthest = 0.0;
    for (int c : {0, 1, 3}) {
        farthest = std::max(farthest, mProtocol->CarSpeaker(c).distanceCm);
    }
    for (int c = 0; c < 10; ++c) {
        const ChannelState& channel = after.channels[c];
        if (c != 0 && c != 1 && c != 3) {
            ExpectSameChannel(channel, before.channels[c], c);
            continue;
        }
        const auto result = mProtocol->CalibrationResult(c);
        ASSERT_EQ(result.size(), 11u);
        for (int b = 0; b < 11; ++b) {
            const auto& band = channel.eq[b];
            EXPECT_EQ(band.frequency, result[b].freq);
            EXPECT_NEAR(band.qInteger + band.qFraction / 10.0, result[b].eqFactor, 0.001);
            EXPECT_EQ(band.gainByte >> 5, 0) << "a peaking band";
            EXPECT_NEAR((band.gainByte & 0x1F) + band.gainTenths / 10.0 - 18.0, result[b].eqGain,
                        0.001)
                << c << "/" << b;
        }
        for (int b = 11; b < 21; ++b) {
            EXPECT_EQ(channel.eq[b].gainByte, 18) << "band " << b << " of channel " << c;
            EXPECT_EQ(channel.eq[b].gainTenths, 0);
        }
        const double delayMs = channel.delayMs + channel.delayThousandths / 1000.0;
        const double expected = (farthest - mProtocol->CarSpeaker(c).distanceCm) / 34.3;
        EXPECT_NEAR(delayMs, expected, 0.0011) << "channel " << c;
        EXPECT_EQ(channel.phase, before.channels[c].phase) << "no phase module";
        EXPECT_EQ(channel.trimAttenuation, before.channels[c].trimAttenuation);
    }
    bool someChannelWaits = false;
    for (int c : {0, 1, 3}) {
        someChannelWaits = someChannelWaits || after.channels[c].delayThousandths > 0;
    }
    EXPECT_TRUE(someChannelWaits);

    // The result goes in once: a second apply after a change keeps the change.
    AmplifierState changed = after;
    changed.channels[0].eq[0].gainByte = 20;
    mProtocol->SetState(0, changed);
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true));
    EXPECT_EQ(mProtocol->State(0).channels[0].eq[0].gainByte, 20);
}

TEST_F(CalibrationLinkTest, ThePhaseModuleTurnsReversedSpeakers) {
    // Channel 1 is set inverted already: the microphone hears both.
    AmplifierState state = mProtocol->State(0);
    state.channels[1].phase = 1;
    mProtocol->SetState(0, state);
    Start(virtual_device::kCalibratePhase, 0x00FF);
    RunToTheEnd();
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true));
    const AmplifierState after = mProtocol->State(0);
    int turned = 0;
    for (int c = 0; c < 8; ++c) {
        const bool wired = mProtocol->CarSpeaker(c).reversedPolarity;
        EXPECT_EQ(after.channels[c].phase != 0, wired) << "channel " << c << " still reversed";
        turned += after.channels[c].phase != state.channels[c].phase ? 1 : 0;
        for (int b = 0; b < virtual_device::kAmpBands; ++b) {
            EXPECT_EQ(after.channels[c].eq[b].gainByte, state.channels[c].eq[b].gainByte)
                << "no EQ module";
        }
        EXPECT_EQ(after.channels[c].delayThousandths, state.channels[c].delayThousandths)
            << "no delay module";
    }
    EXPECT_GT(turned, 0);
}

TEST_F(CalibrationLinkTest, DiscardingOrApplyingWithoutAResultChangesNothing) {
    const AmplifierState before = mProtocol->State(0);
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true)) << "apply before any run";
    ExpectSameState(mProtocol->State(0), before);

    Start(kEqAndDelay, kChannels013);
    mNow += 3 * kPhaseMs;
    EXPECT_EQ(Poll().status, 3);
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true)) << "apply during the run";
    ExpectSameState(mProtocol->State(0), before);
    EXPECT_EQ(Poll().status, 3) << "an apply does not end the run";

    RunToTheEnd();
    ASSERT_FALSE(mProtocol->CalibrationResult(3).empty());
    ASSERT_TRUE(mLink.IRC_Ctrl(3, 0, 0, true));
    EXPECT_TRUE(mProtocol->CalibrationResult(3).empty());
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true)) << "apply after the discard";
    ExpectSameState(mProtocol->State(0), before);
    const auto flat = ReadCorrection(3);
    ASSERT_EQ(flat.size(), 11u);
    for (const auto& [band, record] : flat) {
        EXPECT_EQ(record.gain, 0.0f) << "band " << band << " after the discard";
    }
}

TEST_F(CalibrationLinkTest, StoppingEndsTheRunWithoutAResult) {
    const AmplifierState before = mProtocol->State(0);
    Start(kEqAndDelay, kChannels013);
    calibration_test::Posted posted;
    for (int poll = 0; poll < 40 && posted.status != 8; ++poll) {
        posted = Poll();
        if (posted.status == 7) {
            ReadSpectrum(posted.value);
        }
        mNow += kPhaseMs;
    }
    ASSERT_EQ(posted, (calibration_test::Posted{8, 0}));
    ASSERT_FALSE(mProtocol->CalibrationResult(0).empty());
    ASSERT_TRUE(mLink.IRC_Ctrl(0, 0, 0, true));
    const calibration_test::Posted stopped = Poll();
    EXPECT_EQ(stopped.status, 12);
    EXPECT_GT(stopped.value, 0) << "the progress it reached";
    mNow += 60 * kPhaseMs;
    EXPECT_EQ(Poll().status, 12) << "a stopped run stays stopped";
    for (int c : {0, 1, 3}) {
        EXPECT_TRUE(mProtocol->CalibrationResult(c).empty()) << c;
    }
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true));
    ExpectSameState(mProtocol->State(0), before);
}

TEST_F(CalibrationLinkTest, AChannelNotReadIsOfferedOnlyUntilTheReadTimeOut) {
    Start(kEqAndDelay, 0x0003);
    calibration_test::Posted posted;
    for (int poll = 0; poll < 40 && posted.status != 7; ++poll) {
        posted = Poll();
        mNow += kPhaseMs;
    }
    ASSERT_EQ(posted, (calibration_test::Posted{7, 0}));
    mNow += 9000;
    EXPECT_EQ(Poll(), (calibration_test::Posted{7, 0})) << "still waiting for the host";
    mNow += 1000;
    EXPECT_EQ(Poll(), (calibration_test::Posted{8, 0})) << "ten seconds passed";
    ReadCorrection(0);
    EXPECT_EQ(Poll(), (calibration_test::Posted{7, 1}));
    for (int first = 0; first < 117; first += 9) {
        ASSERT_TRUE(mLink.IRC_Get_Spectrum(1, static_cast<uint8_t>(first),
                                           static_cast<uint8_t>(first + 8)));
    }
    EXPECT_EQ(Poll(), (calibration_test::Posted{7, 1})) << "points 117..120 not read yet";
    ASSERT_TRUE(mLink.IRC_Get_Spectrum(0, 117, 120));
    EXPECT_EQ(Poll(), (calibration_test::Posted{7, 1})) << "those were another channel's";
    ASSERT_TRUE(mLink.IRC_Get_Spectrum(1, 117, 120));
    EXPECT_EQ(Poll(), (calibration_test::Posted{8, 1})) << "read in full";
    ASSERT_TRUE(mLink.IRC_Get_EQ(1, 0, 5));
    EXPECT_EQ(Poll(), (calibration_test::Posted{8, 1})) << "bands 6..10 not read yet";
    ASSERT_TRUE(mLink.IRC_Get_EQ(1, 6, 10));
    EXPECT_EQ(Poll().status, 9);
}

class RealPaceCalibrationTest : public CalibrationLinkTest {
protected:
    RealPaceCalibrationTest() : CalibrationLinkTest(virtual_device::ProtocolOptions{}) {}
};

// The calibration window's worker polls, waits half a second, reads what
// the status offers and waits again; a real amplifier takes 40 to 60 s of
// that for eight channels. Time here is the test's clock.
TEST_F(RealPaceCalibrationTest, EightChannelsTakeAboutAMinuteAtTheWorkersPace) {
    const int64_t start = mNow;
    Start(7, 0x00FF);
    int status = 0;
    for (int pass = 0; pass < 200 && status != 10; ++pass) {
        const calibration_test::Posted posted = Poll();
        status = posted.status;
        mNow += 500;
        if (status == 7) {
            ReadSpectrum(posted.value);
        } else if (status == 8) {
            ReadCorrection(posted.value);
        }
        mNow += 500;
    }
    ASSERT_EQ(status, 10);
    const double seconds = static_cast<double>(mNow - start) / 1000.0;
    EXPECT_GE(seconds, 40.0);
    EXPECT_LE(seconds, 60.0);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(mProtocol->CalibrationResult(c).size(), 11u) << "channel " << c;
    }
}

}  // namespace
