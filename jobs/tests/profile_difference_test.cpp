// Sending only what differs between two working states: the amplifier holds
// one profile, receives the difference, and must then hold exactly what a
// full write-out of the other leaves on a second amplifier.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "job_fixture.h"
#include "jobs/profile_difference.h"
#include "jobs/profile_writeout.h"
#include "testkit/amplifier_rig.h"
#include "testkit/wait.h"

namespace test_support {
namespace {

using virtual_device::AmplifierState;

// A second amplifier with its own link, written only by full write-outs.
struct TwinAmplifier : testkit::LinkedAmplifier {
    TwinAmplifier() : LinkedAmplifier(L"AMP-TWIN", kMainWnd) {}
    bool WaitQueueIdle() { return testkit::WaitQueueDrained(link); }
};

// What an amplifier state plays now and brings back later. The volume kept
// for the source playing is overwritten by the volume when the device leaves
// that source, so until then it is nothing the device holds.
AmplifierState Held(AmplifierState state) {
    const int playing = state.sourceCode - virtual_device::kSourceCodeBase;
    if (playing >= 0 && playing < virtual_device::kAmpSources) {
        state.sourceVolumeAttenuation[static_cast<size_t>(playing)] = state.volumeAttenuation;
    }
    return state;
}

struct Frame {
    uint8_t sub;
    std::vector<uint8_t> data;
};

class ProfileDifferenceTest : public JobTest {
protected:
    // Both amplifiers hold `from` after a full write-out; what the first
    // received so far is forgotten.
    void Establish(const model::Profile& from, float attenuation) {
        mFrom = from;
        mFromAttenuation = attenuation;
        mLink.EnableCmdCtrl();
        RecordingReport quiet;
        ASSERT_EQ(jobs::WriteCurrentProfile(mLink, {&mFrom, attenuation}, quiet),
                  jobs::JobOutcome::kDone);
        ASSERT_EQ(jobs::WriteCurrentProfile(mTwin.link, {&mFrom, attenuation}, quiet),
                  jobs::JobOutcome::kDone);
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_TRUE(mTwin.WaitQueueIdle());
        mAmplifier->ClearReceived();
    }
    jobs::JobOutcome SendDifference(const model::Profile& to, float attenuation) {
        const jobs::JobOutcome outcome = jobs::WriteProfileDifference(
            mLink, {&mFrom, mFromAttenuation}, {&to, attenuation}, mReport);
        EXPECT_TRUE(WaitQueueIdle());
        return outcome;
    }
    // The twin receives the full write-out of `to`; true when both
    // amplifiers then hold the same working state.
    bool SameAsFullWriteOut(const model::Profile& to, float attenuation) {
        RecordingReport quiet;
        EXPECT_EQ(jobs::WriteCurrentProfile(mTwin.link, {&to, attenuation}, quiet),
                  jobs::JobOutcome::kDone);
        EXPECT_TRUE(mTwin.WaitQueueIdle());
        return Held(mProtocol->State(0)) == Held(mTwin.protocol->State(0));
    }
    int Count(const model::Profile& to, float attenuation) const {
        return jobs::CountProfileDifference({&mFrom, mFromAttenuation}, {&to, attenuation});
    }

    TwinAmplifier mTwin;
    model::Profile mFrom;
    float mFromAttenuation = 0;
};

constexpr float kAttenuation = 10.0f;

TEST_F(ProfileDifferenceTest, EqualProfilesSendNothing) {
    Establish(DistinctProfile(3), kAttenuation);
    const model::Profile same = mFrom;
    EXPECT_EQ(Count(same, kAttenuation), 0);
    EXPECT_EQ(SendDifference(same, kAttenuation), jobs::JobOutcome::kDone);
    EXPECT_TRUE(mAmplifier->ReceivedReports().empty());
}

// Changes the device never receives from a single write-out, or that reach
// it as the same bytes, send nothing either.
TEST_F(ProfileDifferenceTest, ChangesTheAmplifierCannotTellApartSendNothing) {
    model::Profile from = DistinctProfile(3);
    from.eqArray(1)[4].eqGain = 12.0f;
    from.eqArray(2)[0].enable = false;
    Establish(from, kAttenuation);
    model::Profile to = mFrom;
    to.eqArray(1)[4].eqGain = 15.0f;  // limited to 12 dB all the same
    to.eqArray(2)[0].eqGain = 4.0f;   // switched off: plays flat
    to.channels[3].crossover.hp.bypass = 1;
    to.channels[3].crossover.bpType = 3;
    to.inputs[2][0] = 3;                // routing of a source not playing
    to.inputMixVolume[1][0][0] = 33;    // the coaxial input has no mixer
    to.inputMixVolume[2][0][4] += 256;  // only the low byte goes out
    EXPECT_EQ(Count(to, kAttenuation), 0);
    EXPECT_EQ(SendDifference(to, kAttenuation), jobs::JobOutcome::kDone);
    EXPECT_TRUE(mAmplifier->ReceivedReports().empty());
}

struct FieldCase {
    const char* name;
    std::function<void(model::Profile&, float&)> change;
    // The frames the amplifier must receive, in order, for the changed `to`.
    std::function<std::vector<Frame>(const model::Profile&)> expected;
};

uint8_t Own(int source) {
    return static_cast<uint8_t>(model::Profile::inputChannelCount(source));
}

std::vector<FieldCase> EveryField() {
    using namespace device;
    using P = model::Profile;
    return {
        {"main volume", [](P&, float& a) { a = 20.0f; },
         [](const P&) {
             return std::vector<Frame>{{DSP_VOLUME, {20}}};
         }},
        {"main mute", [](P& p, float&) { p.mainVolumeMute = 0; },
         [](const P&) {
             return std::vector<Frame>{{DSP_MUTE, {0}}};
         }},
        // A switch brings back the new source's own volume and its routing.
        {"source", [](P& p, float&) { p.source = 2; },
         [](const P& p) {
             Frame routing{DSP_MIX_CH, {0, 2, 0, 9}};
             for (int o = 0; o < 10; ++o) {
                 routing.data.push_back(static_cast<uint8_t>(p.inputs[2][o] >> 8));
                 routing.data.push_back(static_cast<uint8_t>(p.inputs[2][o]));
             }
             return std::vector<Frame>{{DSP_SOURCE_SWITCH, {83}}, {DSP_VOLUME, {10}}, routing};
         }},
        {"low-pass of output 5", [](P& p, float&) { p.channels[5].crossover.lp.fs = 7000; },
         [](const P&) {
             return std::vector<Frame>{{DSP_FILTER_SET, {0, 0, 5, 1, 1, 0x1B, 0x58, 2}}};
         }},
        {"high-pass slope of output 0", [](P& p, float&) { p.channels[0].crossover.hp.slope = 4; },
         [](const P&) {
             return std::vector<Frame>{{DSP_FILTER_SET, {0, 0, 0, 2, 2, 0, 103, 4}}};
         }},
        {"gain of band 7 of output 2", [](P& p, float&) { p.eqArray(2)[7].eqGain = 6.0f; },
         [](const P&) {
             return std::vector<Frame>{{DSP_EQ_CH, {0, 0, 2, 7, 0x01, 0xC5, 1, 5, 24, 0}}};
         }},
        {"band 1 of output 4 switched off", [](P& p, float&) { p.eqArray(4)[1].enable = false; },
         [](const P&) {
             return std::vector<Frame>{{DSP_EQ_CH, {0, 0, 4, 1, 0, 153, 1, 5, 18, 0}}};
         }},
        {"Q of band 0 of output 9", [](P& p, float&) { p.eqArray(9)[0].eqFactor = 2.2f; },
         [](const P&) {
             const uint8_t gainByte = (0 + 9 + 3) % 7 - 3 + 18;
             return std::vector<Frame>{{DSP_EQ_CH, {0, 0, 9, 0, 0, 103, 2, 2, gainByte, 0}}};
         }},
        {"trim of output 3", [](P& p, float&) { p.channels[3].gain = -12.0f; },
         [](const P&) {
             return std::vector<Frame>{{DSP_TRIM_CH, {0, 0, 3, 3, 12}}};
         }},
        {"delay of output 6", [](P& p, float&) { p.channels[6].delay = 2.5f; },
         [](const P&) {
             return std::vector<Frame>{{DSP_DELAY_CH, {0, 0, 6, 6, 2, 0x01, 0xF4}}};
         }},
        {"mute of output 1", [](P& p, float&) { p.channels[1].mute = 1; },
         [](const P&) {
             return std::vector<Frame>{{DSP_MUTE_CH, {0, 0, 1, 1, 1}}};
         }},
        {"phase of output 8", [](P& p, float&) { p.channels[8].phase = 1; },
         [](const P&) {
             return std::vector<Frame>{{DSP_PHASE_CH, {0, 0, 8, 8, 1}}};
         }},
        {"solo of output 9", [](P& p, float&) { p.channels[9].solo = 1; },
         [](const P&) {
             return std::vector<Frame>{{DSP_CH_SOLO, {0, 0, 9, 9, 1}}};
         }},
        {"type of output 7", [](P& p, float&) { p.outputs[7] = 5; },
         [](const P&) {
             return std::vector<Frame>{{DSP_CH_TYPE, {0, 0, 7, 7, 5}}};
         }},
        {"EQ bypass of output 1", [](P& p, float&) { p.channels[1].bypass = true; },
         [](const P&) {
             return std::vector<Frame>{{DSP_EQ_BYPASS, {0, 0, 1, 1, 1}}};
         }},
        // Two outputs apart: one command over the run between them, which
        // carries the unchanged trims in between as they are.
        {"trims of outputs 2 and 5",
         [](P& p, float&) {
             p.channels[2].gain = -7.0f;
             p.channels[5].gain = -10.0f;
         },
         [](const P&) {
             return std::vector<Frame>{{DSP_TRIM_CH, {0, 0, 2, 5, 7, 7, 8, 10}}};
         }},
        {"routing of output 3 of the playing source", [](P& p, float&) { p.inputs[4][3] = 0x281; },
         [](const P&) {
             return std::vector<Frame>{{DSP_MIX_CH, {0, 4, 3, 3, 0x02, 0x81}}};
         }},
        {"mixer volume of input 1 into output 6",
         [](P& p, float&) { p.inputMixVolume[2][1][6] = 77; },
         [](const P&) {
             return std::vector<Frame>{{DSP_INPUT_MIX_CH_TRIM, {0, 2, 1, 6, 6, 77}}};
         }},
        {"mixer volume of a split cross-source row",
         [](P& p, float&) { p.inputMixVolume[0][Own(0)][0] = 50; },
         [](const P&) {
             return std::vector<Frame>{{DSP_INPUT_MIX_CH_TRIM, {0, 0, Own(0), 0, 0, 50}}};
         }},
        {"polarity of input 3 of source 4", [](P& p, float&) { p.inMixPhase[4][3] = 1; },
         [](const P&) {
             return std::vector<Frame>{{DSP_INPUT_CH_PHASE, {0, 4, 3, 3, 1}}};
         }},
        {"cross-source row of source 5", [](P& p, float&) { p.csmViceSource[5][Own(5) + 1] = 88; },
         [](const P& p) {
             const auto row = static_cast<uint8_t>(Own(5) + 1);
             return std::vector<Frame>{
                 {DSP_CROSS_SOURCE_MIX_CS47048,
                  {0, 5, 88, static_cast<uint8_t>(p.csmViceCh[5][row]), row}}};
         }},
    };
}

TEST_F(ProfileDifferenceTest, EachChangedFieldSendsExactlyItsCommand) {
    for (const FieldCase& field : EveryField()) {
        SCOPED_TRACE(field.name);
        Establish(DistinctProfile(3), kAttenuation);
        model::Profile to = mFrom;
        float attenuation = kAttenuation;
        field.change(to, attenuation);
        const std::vector<Frame> want = field.expected(to);

        EXPECT_EQ(Count(to, attenuation), static_cast<int>(want.size()));
        EXPECT_EQ(SendDifference(to, attenuation), jobs::JobOutcome::kDone);
        const std::vector<SentFrame> got = Sent();
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].type, device::CMD_DSP) << "frame " << i;
            EXPECT_EQ(got[i].operation, device::OP_SET) << "frame " << i;
            EXPECT_EQ(int(got[i].sub), int(want[i].sub)) << "frame " << i;
            EXPECT_EQ(got[i].data, want[i].data) << "frame " << i;
        }
        EXPECT_TRUE(SameAsFullWriteOut(to, attenuation));
    }
}

// Two tunes that share nothing, in both directions (an undo after a redo):
// the amplifier ends where the full write-out leaves its twin, and no more
// commands go than the full write-out sends.
TEST_F(ProfileDifferenceTest, UnrelatedTunesEndWhereTheFullWriteOutEnds) {
    Establish(DistinctProfile(3), kAttenuation);
    const AmplifierState before = Held(mProtocol->State(0));
    model::Profile other = DistinctProfile(11);
    other.source = 6;
    other.mainVolumeMute = 0;
    other.eqArray(5)[2].enable = false;
    const float otherAttenuation = 25.0f;

    const int count = Count(other, otherAttenuation);
    EXPECT_GT(count, 0);
    EXPECT_LE(count, jobs::CountCurrentProfile({&other, otherAttenuation}));
    EXPECT_EQ(SendDifference(other, otherAttenuation), jobs::JobOutcome::kDone);
    EXPECT_EQ(static_cast<int>(mAmplifier->ReceivedReports().size()), count);
    const auto progress = mReport.ProgressSeen();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(count, count));
    EXPECT_TRUE(SameAsFullWriteOut(other, otherAttenuation));

    // And back again.
    const jobs::JobOutcome back = jobs::WriteProfileDifference(mLink, {&other, otherAttenuation},
                                                               {&mFrom, mFromAttenuation}, mReport);
    EXPECT_EQ(back, jobs::JobOutcome::kDone);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(SameAsFullWriteOut(mFrom, mFromAttenuation));
    // The only traces the detour leaves are what the device keeps for the
    // source played in between: its volume and its routing.
    AmplifierState now = Held(mProtocol->State(0));
    EXPECT_FALSE(now == before);
    now.sourceVolumeAttenuation[6] = before.sourceVolumeAttenuation[6];
    now.sources[6].mixMask = before.sources[6].mixMask;
    EXPECT_TRUE(now == before);
}

// The cable pulled at the n-th command of the difference ends the job at once
// with what it had sent.
class PulledCableDifferenceTest : public ProfileDifferenceTest,
                                  public ::testing::WithParamInterface<int> {};

TEST_P(PulledCableDifferenceTest, EndsTheDifferenceWithoutWaitingOutTheRest) {
    const int at = GetParam();
    Establish(DistinctProfile(3), kAttenuation);
    const model::Profile other = DistinctProfile(12);
    ASSERT_GT(Count(other, kAttenuation), at);
    mAmplifier->UnplugAtReport(at);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(jobs::WriteProfileDifference(mLink, {&mFrom, kAttenuation}, {&other, kAttenuation},
                                           mReport),
              jobs::JobOutcome::kDeviceGone);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(device::kReplyTimeoutMs / 2));
    EXPECT_EQ(mAmplifier->ReceivedReports().size(), static_cast<size_t>(at));
    const auto progress = mReport.ProgressSeen();
    if (!progress.empty()) {
        EXPECT_LT(progress.back().first, progress.back().second);
    }
}

INSTANTIATE_TEST_SUITE_P(AtCommands, PulledCableDifferenceTest, ::testing::Values(1, 7, 40));

TEST_F(ProfileDifferenceTest, WithoutAKnownStartEverythingIsWritten) {
    const model::Profile to = DistinctProfile(5);
    EXPECT_EQ(jobs::CountProfileDifference({nullptr, 0}, {&to, 3.0f}),
              jobs::CountCurrentProfile({&to, 3.0f}));
    EXPECT_EQ(jobs::CountProfileDifference({&to, 3.0f}, {nullptr, 0}), 0);
}

}  // namespace
}  // namespace test_support

namespace test_support {
namespace {

// A model record with compressors: each changed setting goes in the
// compressor command that carries it, for its output alone.
class CompressorDifferenceTest : public ProfileDifferenceTest {
protected:
    app::ScopedModelCfg mRecord{FeaturesOnRecord()};
};

model::Profile WithCompressors() {
    model::Profile p = DistinctProfile(3);
    for (int c = 0; c < 10; ++c) {
        p.compressorBypass[c] = c % 2;
        p.compressorNoise[c] = -static_cast<float>(10 + c);
        p.compressorRatio[c] = static_cast<float>(2 + c % 8);
        p.compressorSoftKnee[c] = static_cast<float>(c % 6);
        p.compressorAttack[c] = 10 + c;
        p.compressorRelease[c] = 100 * (5 + c);
        p.channels[c].compressorOn = c % 3 != 0;
    }
    return p;
}

TEST_F(CompressorDifferenceTest, EachSettingGoesInTheCommandsThatCarryIt) {
    struct Case {
        const char* name;
        std::function<void(model::Profile&)> change;
        std::vector<std::pair<uint8_t, uint8_t>> want;  // sub-command, output
    };
    using namespace device;
    const std::vector<Case> cases = {
        {"ratio of output 4",
         [](model::Profile& p) { p.compressorRatio[4] = 7.0f; },
         {{DSP_COMPRESSOR_SETTING, 4}}},
        {"attack of output 2",
         [](model::Profile& p) { p.compressorAttack[2] = 80; },
         {{DSP_COMPRESSOR_SETTING, 2}, {DSP_COMPRESSOR_SETTING2, 2}}},
        {"switch of output 5",
         [](model::Profile& p) { p.channels[5].compressorOn = false; },
         {{DSP_COMPRESSOR_ON_CH, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Establish(WithCompressors(), kAttenuation);
        model::Profile to = mFrom;
        c.change(to);
        EXPECT_EQ(Count(to, kAttenuation), static_cast<int>(c.want.size()));
        EXPECT_EQ(SendDifference(to, kAttenuation), jobs::JobOutcome::kDone);
        const std::vector<SentFrame> got = Sent();
        ASSERT_EQ(got.size(), c.want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(int(got[i].sub), int(c.want[i].first)) << "frame " << i;
            ASSERT_GE(got[i].data.size(), 4u);
            EXPECT_EQ(got[i].data[2], c.want[i].second) << "frame " << i;
        }
        EXPECT_TRUE(SameAsFullWriteOut(to, kAttenuation));
    }
}

}  // namespace
}  // namespace test_support

namespace test_support {
namespace {

app::ModelCfg CoaxialWithInputs() {
    app::ModelCfg record = app::CurrentModelCfg();
    record.mCOAX_INPUT_CHANNEL_NUMBER = 2;
    return record;
}

// The coaxial input is mixed by no write-out, full or difference, even on a
// record that gives it inputs.
class CoaxialInputsDifferenceTest : public ProfileDifferenceTest {
protected:
    app::ScopedModelCfg mRecord{CoaxialWithInputs()};
};

TEST_F(CoaxialInputsDifferenceTest, NoWriteOutSendsTheCoaxialMixer) {
    const auto coaxialMixerFrames = [this] {
        int count = 0;
        for (const SentFrame& frame : Sent()) {
            const bool mixer = frame.sub == device::DSP_INPUT_MIX_CH_TRIM ||
                               frame.sub == device::DSP_CROSS_SOURCE_MIX_CS47048;
            count += mixer && frame.data.size() > 1 && frame.data[1] == 1 ? 1 : 0;
        }
        return count;
    };
    Establish(DistinctProfile(3), kAttenuation);
    model::Profile to = mFrom;
    to.inputMixVolume[1][0][0] = 33;
    to.inputMixVolume[2][0][0] = 34;
    EXPECT_EQ(SendDifference(to, kAttenuation), jobs::JobOutcome::kDone);
    EXPECT_EQ(Sent().size(), 1u) << "the other source's change goes";
    EXPECT_EQ(coaxialMixerFrames(), 0);
    mAmplifier->ClearReceived();
    ASSERT_EQ(jobs::WriteCurrentProfile(mLink, {&to, kAttenuation}, mReport),
              jobs::JobOutcome::kDone);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_GT(Sent().size(), 100u);
    EXPECT_EQ(coaxialMixerFrames(), 0);
}

}  // namespace
}  // namespace test_support
