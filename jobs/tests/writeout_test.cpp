// Writing a profile and a whole configuration through the real link into
// the virtual amplifier, and what the amplifier holds afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "job_fixture.h"
#include "jobs/profile_writeout.h"
#include "testkit/profile_check.h"

namespace test_support {
namespace {

using virtual_device::AmplifierState;

constexpr int kOutputs = 10;

using testkit::ExpectOutputsHeld;
using testkit::Held;

TEST_F(JobTest, ASingleWriteOutMakesTheProfileTheWorkingState) {
    model::Profile p = DistinctProfile(3);
    // A band switched off plays flat; one out of the device's range is limited.
    p.eqArray(0)[3].enable = false;
    p.eqArray(0)[3].eqGain = 5.0f;
    p.eqArray(1)[2].eqGain = 15.0f;
    mLink.EnableCmdCtrl();  // the cross-source commands go through the queue
    const jobs::JobOutcome outcome = jobs::WriteCurrentProfile(mLink, {&p, 12.0f}, mReport);
    ASSERT_EQ(outcome, jobs::JobOutcome::kDone);
    ASSERT_TRUE(WaitQueueIdle());

    const AmplifierState amp = mProtocol->State(0);
    EXPECT_EQ(amp.channels[0].eq[3].gainByte & 0x1F, 18);
    EXPECT_EQ(amp.channels[1].eq[2].gainByte & 0x1F, 12 + 18);
    p.eqArray(0)[3].eqGain = 0.0f;
    p.eqArray(1)[2].eqGain = 12.0f;
    ExpectOutputsHeld(amp, p);
    EXPECT_EQ(amp.volumeAttenuation, 12);
    EXPECT_EQ(amp.mute, 1);
    for (int o = 0; o < kOutputs; ++o) {
        EXPECT_EQ(amp.sources[4].mixMask[o], static_cast<uint32_t>(p.inputs[4][o]));
    }
    // Only the profile's own source is routed.
    EXPECT_EQ(SentOf(device::CMD_DSP, device::DSP_MIX_CH, device::OP_SET).size(), 1u);
    testkit::ExpectMixerHeld(amp, p, Held::kWorkingState);
    // Every command with a scene byte addresses the working state, and the
    // coaxial input (no inputs) gets no mixer.
    for (const SentFrame& frame : Sent()) {
        if (frame.type != device::CMD_DSP || frame.data.size() < 4) {
            continue;
        }
        EXPECT_EQ(frame.data[0], 0) << "sub-command " << int(frame.sub);
        if (frame.sub == device::DSP_INPUT_MIX_CH_TRIM) {
            EXPECT_NE(frame.data[1], 1);
        }
    }
    // Progress counts every command, the queued ones too.
    const auto progress = mReport.ProgressSeen();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().first, progress.back().second);
    EXPECT_EQ(static_cast<uint64_t>(progress.back().second), mAmplifier->ReceivedCount());
    EXPECT_EQ(progress.size(), mAmplifier->ReceivedCount());
    EXPECT_EQ(jobs::CountCurrentProfile({&p, 0}), progress.back().second);
}

TEST_F(JobTest, CrossSourceCommandsAreDroppedWhileTheQueueIsOff) {
    const model::Profile p = DistinctProfile(1);
    ASSERT_EQ(jobs::WriteCurrentProfile(mLink, {&p, 0}, mReport), jobs::JobOutcome::kDone);
    EXPECT_TRUE(
        SentOf(device::CMD_DSP, device::DSP_CROSS_SOURCE_MIX_CS47048, device::OP_SET).empty());
    EXPECT_EQ(mProtocol->State(0).channels[2].trimAttenuation,
              static_cast<int>(-p.channels[2].gain));
}

class WholeConfigTest : public JobTest {
protected:
    WholeConfigTest() {
        for (int k = 1; k <= 10; ++k) {
            mScenes.push_back(DistinctProfile(k));
            model::SceneName name{};
            const std::string text = "Scene" + std::to_string(k);
            std::copy(text.begin(), text.end(), name.begin());
            mNames.push_back(name);
        }
    }
    jobs::JobOutcome Write() {
        return jobs::WriteWholeConfig(mLink, {&mScenes, &mNames}, {&mLive, 4.0f}, mReport);
    }

    std::vector<model::Profile> mScenes;
    std::vector<model::SceneName> mNames;
    model::Profile mLive = DistinctProfile(40);
};

TEST_F(WholeConfigTest, EverySlotHoldsItsSceneAndNameAndTheWorkingStateTheLiveProfile) {
    mLink.EnableCmdCtrl();
    ASSERT_EQ(Write(), jobs::JobOutcome::kDone);
    ASSERT_TRUE(WaitQueueIdle());
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("scene " + std::to_string(k));
        const model::Profile& q = mScenes[static_cast<size_t>(k - 1)];
        const AmplifierState slot = mProtocol->State(k);
        ExpectOutputsHeld(slot, q);
        for (int o = 0; o < kOutputs; ++o) {
            EXPECT_EQ(slot.sources[q.source].mixMask[o],
                      static_cast<uint32_t>(q.inputs[q.source][o]));
        }
        testkit::ExpectMixerHeld(slot, q, Held::kScene);
        EXPECT_EQ(mProtocol->Name(k), mNames[static_cast<size_t>(k - 1)]);
    }
    EXPECT_EQ(mProtocol->ValidMask(), 0x3FF);

    const AmplifierState working = mProtocol->State(0);
    ExpectOutputsHeld(working, mLive);
    for (int s = 0; s < 10; ++s) {  // every source routed, not only the current one
        for (int o = 0; o < kOutputs; ++o) {
            EXPECT_EQ(working.sources[s].mixMask[o], static_cast<uint32_t>(mLive.inputs[s][o]));
        }
    }
    EXPECT_EQ(working.volumeAttenuation, 4);

    // Each slot is saved at once from what was sent to it, after its name
    // went out as sixteen bytes.
    const auto saves = SentOf(device::CMD_FLASH, device::FLASH_SCENE_SAVE, device::OP_SET);
    ASSERT_EQ(saves.size(), 10u);
    for (size_t i = 0; i < saves.size(); ++i) {
        EXPECT_EQ(saves[i].data, std::vector<uint8_t>({static_cast<uint8_t>(i + 1), 1}));
    }
    const auto names = SentOf(device::CMD_FLASH, device::FLASH_SCENE_NAME, device::OP_SET);
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names[2].data.size(), 18u);
    EXPECT_EQ(names[2].data[1], 16);
    // Scenes get no cross-source command: only the working state's sources do.
    for (const auto& frame :
         SentOf(device::CMD_DSP, device::DSP_CROSS_SOURCE_MIX_CS47048, device::OP_SET)) {
        EXPECT_EQ(frame.data[0], 0);
    }
    const auto progress = mReport.ProgressSeen();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(static_cast<uint64_t>(progress.back().second), mAmplifier->ReceivedCount());
}

TEST_F(WholeConfigTest, EveryCommandOfAStoredSceneCarriesItsNumber) {
    ASSERT_EQ(Write(), jobs::JobOutcome::kDone);
    int scene = 1;
    for (const SentFrame& frame : Sent()) {
        if (frame.type == device::CMD_FLASH && frame.sub == device::FLASH_SCENE_SAVE) {
            ++scene;
            continue;
        }
        if (frame.type == device::CMD_DSP && frame.data.size() >= 4 && scene <= 10) {
            EXPECT_EQ(frame.data[0], scene) << "sub-command " << int(frame.sub);
        }
    }
    EXPECT_EQ(scene, 11);
}

// The cable pulled at the n-th report of the write-out: the job ends at once
// with what it had sent, whatever it was sending.
class PulledCableTest : public WholeConfigTest, public ::testing::WithParamInterface<int> {};

TEST_P(PulledCableTest, EndsTheWholeWriteOutWithoutWaitingOutTheRest) {
    const int at = GetParam();
    mAmplifier->UnplugAtReport(at);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Write(), jobs::JobOutcome::kDeviceGone);
    const auto took = std::chrono::steady_clock::now() - start;
    // Not one reply time-out per command left: well under a single one.
    EXPECT_LT(took, std::chrono::milliseconds(device::kReplyTimeoutMs / 2));
    EXPECT_EQ(mAmplifier->ReceivedCount(), static_cast<uint64_t>(at));
    const auto progress = mReport.ProgressSeen();
    if (!progress.empty()) {
        EXPECT_LT(progress.back().first, progress.back().second);
    }
}

TEST_P(PulledCableTest, EndsTheSingleWriteOut) {
    const int at = GetParam() % 300 + 1;
    mAmplifier->UnplugAtReport(at);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(jobs::WriteCurrentProfile(mLink, {&mLive, 0}, mReport),
              jobs::JobOutcome::kDeviceGone);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(device::kReplyTimeoutMs / 2));
    EXPECT_EQ(mAmplifier->ReceivedCount(), static_cast<uint64_t>(at));
}

INSTANTIATE_TEST_SUITE_P(AtReports, PulledCableTest, ::testing::Values(1, 57, 350, 1999));

TEST_F(WholeConfigTest, AStopRequestSendsNothingMore) {
    mReport.mStop = true;
    EXPECT_EQ(Write(), jobs::JobOutcome::kStopped);
    EXPECT_EQ(mAmplifier->ReceivedCount(), 0u);
}

}  // namespace
}  // namespace test_support
