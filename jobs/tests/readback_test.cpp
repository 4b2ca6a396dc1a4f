// Reading the stored scenes back through the real link: what is asked of
// which scene, and how the read ends when the device or the runner fails it.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "job_fixture.h"
#include "jobs/state_readback.h"

namespace test_support {
namespace {

constexpr int kNoSettle = 0;

class ReadBackTest : public JobTest {
protected:
    jobs::JobOutcome ReadBack() {
        return jobs::ReadBackScenes(mLink, jobs::BandCountsOf(model::Profile()), mReport,
                                    kNoSettle);
    }
};

// The DSP requests sent while scene k was open for reading back, per k; 0
// for those after the device went back to its working state.
std::map<int, std::vector<SentFrame>> RequestsByScene(const std::vector<SentFrame>& frames) {
    std::map<int, std::vector<SentFrame>> byScene;
    int open = -1;
    for (const SentFrame& frame : frames) {
        if (frame.type == device::CMD_FLASH && frame.sub == device::FLASH_SCENE_READ &&
            frame.operation == device::OP_SET) {
            open = frame.data.at(0);
            continue;
        }
        if (open >= 0 && frame.type == device::CMD_DSP && frame.operation == device::OP_GET) {
            byScene[open].push_back(frame);
        }
    }
    return byScene;
}

TEST_F(ReadBackTest, EachStoredSceneIsAskedForItsOwnValuesThenTheWorkingState) {
    ASSERT_EQ(ReadBack(), jobs::JobOutcome::kDone);
    const auto reads = SentOf(device::CMD_FLASH, device::FLASH_SCENE_READ, device::OP_SET);
    ASSERT_EQ(reads.size(), 11u);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(reads[static_cast<size_t>(k - 1)].data, std::vector<uint8_t>({uint8_t(k), 255}));
    }
    EXPECT_EQ(reads[10].data, std::vector<uint8_t>({0, 0}));

    const auto byScene = RequestsByScene(Sent());
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("scene " + std::to_string(k));
        ASSERT_TRUE(byScene.count(k));
        std::set<uint8_t> asked;
        std::set<std::pair<int, int>> crossRows;
        for (const SentFrame& frame : byScene.at(k)) {
            ASSERT_FALSE(frame.data.empty()) << "sub-command " << int(frame.sub);
            EXPECT_EQ(frame.data[0], k) << "sub-command " << int(frame.sub);
            asked.insert(frame.sub);
            if (frame.sub == device::DSP_CROSS_SOURCE_MIX_CS47048) {
                // scene, source, two zero bytes, channel
                crossRows.insert({frame.data.at(1), frame.data.at(4)});
            }
        }
        for (uint8_t sub :
             {device::DSP_CH_TYPE, device::DSP_CH_LINK, device::DSP_CH_LOCK, device::DSP_CH_SOLO,
              device::DSP_FILTER_SET, device::DSP_EQ_BYPASS, device::DSP_EQ_CH,
              device::DSP_DELAY_CH, device::DSP_TRIM_CH, device::DSP_MUTE_CH, device::DSP_PHASE_CH,
              device::DSP_MIX_CH, device::DSP_INPUT_MIX_CH_TRIM}) {
            EXPECT_TRUE(asked.count(sub)) << "sub-command " << int(sub);
        }
        // The split cross-source channels follow each source's own inputs.
        std::set<std::pair<int, int>> expected;
        for (int s = 0; s < 10; ++s) {
            const int own = model::Profile::inputChannelCount(s);
            expected.insert({s, own});
            expected.insert({s, own + 1});
        }
        EXPECT_EQ(crossRows, expected);
    }
    // The working state is read last, with the same row rule.
    ASSERT_TRUE(byScene.count(0));
    std::set<std::pair<int, int>> workingRows;
    for (const SentFrame& frame : byScene.at(0)) {
        if (frame.sub == device::DSP_CROSS_SOURCE_MIX_CS47048) {
            EXPECT_EQ(frame.data.at(0), 0);
            workingRows.insert({frame.data.at(1), frame.data.at(4)});
        }
    }
    EXPECT_TRUE(workingRows.count({4, 8}));
    EXPECT_TRUE(workingRows.count({4, 9}));
    EXPECT_TRUE(workingRows.count({0, 2}));
    EXPECT_FALSE(workingRows.count({4, 0}));

    EXPECT_EQ(mReport.mWaits.load(), 1);
    const auto progress = mReport.ProgressSeen();
    ASSERT_EQ(progress.size(), 11u);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(progress[static_cast<size_t>(k)], std::make_pair(k, 10));
    }
}

TEST_F(ReadBackTest, BandRequestsFollowTheBandCountsGiven) {
    jobs::BandCounts bands{};
    bands[0] = 9;  // 0..6 and 7..8
    jobs::CommandSteps steps(mLink, mReport, 0, false);
    jobs::ReadStoredScene(steps, 2, bands, kNoSettle);
    const auto eq = SentOf(device::CMD_DSP, device::DSP_EQ_CH, device::OP_GET);
    ASSERT_EQ(eq.size(), 2u);
    EXPECT_EQ(eq[0].data, std::vector<uint8_t>({2, 0, 0, 0, 6}));
    EXPECT_EQ(eq[1].data, std::vector<uint8_t>({2, 0, 0, 7, 8}));
}

TEST_F(ReadBackTest, IsRefusedWhenItsRepliesWereNotApplied) {
    mReport.mRepliesApplied = false;
    EXPECT_EQ(ReadBack(), jobs::JobOutcome::kNoAnswer);
}

TEST_F(ReadBackTest, APulledCableEndsItAtOnceAndNothingCountsAsRead) {
    for (int at : {2, 40, 900}) {
        SCOPED_TRACE(at);
        mAmplifier->Plug();
        mLink.CloseHIDDevice(false);
        mLink.OpenHIDDevice("");
        ASSERT_TRUE(mLink.IsConnected());
        mAmplifier->ClearReceived();
        const uint64_t before = mAmplifier->ReceivedCount();
        mReport.mWaits = 0;
        mAmplifier->UnplugAtReport(at);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ReadBack(), jobs::JobOutcome::kDeviceGone);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(device::kReplyTimeoutMs / 2));
        EXPECT_EQ(mAmplifier->ReceivedCount() - before, static_cast<uint64_t>(at));
        EXPECT_EQ(mReport.mWaits.load(), 0);
    }
}

TEST_F(ReadBackTest, AStoppedReadBackStillEndsAsOne) {
    mReport.mStopAt = 3;
    EXPECT_EQ(ReadBack(), jobs::JobOutcome::kStopped);
    const auto reads = SentOf(device::CMD_FLASH, device::FLASH_SCENE_READ, device::OP_SET);
    ASSERT_EQ(reads.size(), 4u);  // scenes 1 to 3, then the end
    EXPECT_EQ(reads[2].data, std::vector<uint8_t>({3, 255}));
    EXPECT_EQ(reads[3].data, std::vector<uint8_t>({0, 0}));
    EXPECT_EQ(mReport.mWaits.load(), 0) << "nothing counts as read";
}

TEST_F(ReadBackTest, TheWorkingStateOfAnotherModelIsNotRead) {
    auto other = std::make_shared<virtual_device::VirtualAmplifier>(L"OTHER");
    virtual_device::ProtocolOptions options;
    options.modelId = 95;
    options.rebootOnFactoryDefault = false;
    virtual_device::AmplifierProtocol::InstallOn(other, options);
    mAmplifier->Unplug();
    const std::string path = mBackend->Add(other);
    mLink.CloseHIDDevice(false);
    mLink.OpenHIDDevice(path);
    ASSERT_TRUE(mLink.IsConnected());
    EXPECT_EQ(jobs::ReadWorkingState(mLink, jobs::BandCountsOf(model::Profile()), mReport),
              jobs::JobOutcome::kDone);
    EXPECT_EQ(mLink.ModelId(), 95);
    EXPECT_EQ(other->ReceivedCount(), 2u);  // taking control and the handshake only
}

}  // namespace
}  // namespace test_support

namespace test_support {
namespace {

// The command that finds the cable pulled ends the job there, also when it
// is the job's last.
TEST_F(JobTest, TheCommandThatFindsTheCablePulledEndsTheJob) {
    mAmplifier->UnplugAtReport(1);
    jobs::CommandSteps steps(mLink, mReport, 1, true);
    steps.Send([](device::DeviceLink& l) { return l.Get_Source(); });
    EXPECT_EQ(steps.Outcome(), jobs::JobOutcome::kDeviceGone);
    EXPECT_FALSE(steps.Going());
    EXPECT_EQ(steps.Count(), 1);
    steps.Send([](device::DeviceLink& l) { return l.Get_Source(); });
    EXPECT_EQ(steps.Count(), 1);  // nothing more is sent
}

}  // namespace
}  // namespace test_support
