// The compressors in the whole-configuration jobs: this model's record sends
// and asks for none; a record that switches them on writes every slot's and
// the working state's compressors and reads them back scene by scene.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "job_fixture.h"
#include "jobs/profile_writeout.h"
#include "jobs/state_readback.h"

namespace test_support {
namespace {

constexpr int kOutputs = 10;
constexpr int kNoSettle = 0;

const uint8_t kCompressorCommands[] = {device::DSP_COMPRESSOR_SETTING, device::DSP_COMPRESSOR_ON_CH,
                                       device::DSP_COMPRESSOR_SETTING2};

// Each output of a scene gets compressor values of its own.
model::Profile WithCompressors(int seed) {
    model::Profile p = DistinctProfile(seed);
    for (int c = 0; c < kOutputs; ++c) {
        p.compressorBypass[c] = (c + seed) % 2;
        p.compressorNoise[c] = -static_cast<float>(10 + (c + seed) % 40);
        p.compressorRatio[c] = static_cast<float>(2 + (c + seed) % 8);
        p.compressorSoftKnee[c] = static_cast<float>((c + seed) % 6);
        p.compressorAttack[c] = 10 + c + seed;
        p.compressorRelease[c] = 100 * (5 + (c + seed) % 20);
        p.channels[c].compressorOn = (c + seed) % 3 != 0;
    }
    return p;
}

class CompressorJobsTest : public JobTest {
protected:
    CompressorJobsTest() {
        for (int k = 1; k <= 10; ++k) {
            mScenes.push_back(WithCompressors(k));
            mNames.push_back(model::SceneName{});
        }
    }
    jobs::JobOutcome Write() {
        return jobs::WriteWholeConfig(mLink, {&mScenes, &mNames}, {&mLive, 4.0f}, mReport);
    }
    int CompressorFrames() const {
        int count = 0;
        for (const SentFrame& frame : Sent()) {
            for (uint8_t sub : kCompressorCommands) {
                count += frame.type == device::CMD_DSP && frame.sub == sub ? 1 : 0;
            }
        }
        return count;
    }

    std::vector<model::Profile> mScenes;
    std::vector<model::SceneName> mNames;
    model::Profile mLive = WithCompressors(40);
};

void ExpectCompressorsHeld(const virtual_device::AmplifierState& amp, const model::Profile& p) {
    for (int c = 0; c < kOutputs; ++c) {
        SCOPED_TRACE("output " + std::to_string(c));
        const auto& first = amp.channels[c].compressor;
        EXPECT_EQ(first.bypass, p.compressorBypass[c]);
        EXPECT_EQ(first.thresholdInteger, static_cast<int>(p.compressorNoise[c]) + 100);
        EXPECT_EQ(first.ratioInteger, static_cast<int>(p.compressorRatio[c]));
        EXPECT_EQ(first.kneeInteger, static_cast<int>(p.compressorSoftKnee[c]));
        EXPECT_EQ(first.attack, p.compressorAttack[c]);
        EXPECT_EQ(first.release, p.compressorRelease[c]);
        const auto& second = amp.channels[c].compressor2;
        EXPECT_EQ(second.thresholdInteger, static_cast<int>(p.compressorNoise[c]));
        EXPECT_EQ(second.attack, p.compressorAttack[c]);
        EXPECT_EQ(second.releaseSeconds * 1000 + second.releaseTenths * 100,
                  p.compressorRelease[c]);
        EXPECT_EQ(amp.channels[c].compressorOn, p.channels[c].compressorOn ? 1 : 0);
    }
}

TEST_F(CompressorJobsTest, ThisModelsWholeConfigurationCarriesNoCompressor) {
    mLink.EnableCmdCtrl();
    ASSERT_EQ(Write(), jobs::JobOutcome::kDone);
    ASSERT_EQ(jobs::ReadBackScenes(mLink, jobs::BandCountsOf(model::Profile()), mReport, kNoSettle),
              jobs::JobOutcome::kDone);
    EXPECT_EQ(CompressorFrames(), 0);
}

class FeaturesOnJobsTest : public CompressorJobsTest {
protected:
    app::ScopedModelCfg mRecord{FeaturesOnRecord()};
};

TEST_F(FeaturesOnJobsTest, EverySlotAndTheWorkingStateGetTheirOwnCompressors) {
    mLink.EnableCmdCtrl();
    ASSERT_EQ(Write(), jobs::JobOutcome::kDone);
    ASSERT_TRUE(WaitQueueIdle());
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("scene " + std::to_string(k));
        ExpectCompressorsHeld(mProtocol->State(k), mScenes[static_cast<size_t>(k - 1)]);
    }
    SCOPED_TRACE("working state");
    ExpectCompressorsHeld(mProtocol->State(0), mLive);
}

TEST_F(FeaturesOnJobsTest, TheReadBackAsksEachSceneForItsCompressors) {
    ASSERT_EQ(jobs::ReadBackScenes(mLink, jobs::BandCountsOf(model::Profile()), mReport, kNoSettle),
              jobs::JobOutcome::kDone);
    // scene -> sub-command -> requests with that scene's number
    std::map<int, std::map<uint8_t, int>> asked;
    for (const SentFrame& frame : Sent()) {
        if (frame.type == device::CMD_DSP && frame.operation == device::OP_GET &&
            !frame.data.empty()) {
            ++asked[frame.data[0]][frame.sub];
        }
    }
    for (int k = 0; k <= 10; ++k) {
        SCOPED_TRACE("scene " + std::to_string(k));
        EXPECT_EQ(asked[k][device::DSP_COMPRESSOR_SETTING], 3) << "blocks of four outputs";
        EXPECT_EQ(asked[k][device::DSP_COMPRESSOR_ON_CH], 1);
        EXPECT_EQ(asked[k][device::DSP_COMPRESSOR_SETTING2], 10) << "one output at a time";
    }
}

}  // namespace
}  // namespace test_support
