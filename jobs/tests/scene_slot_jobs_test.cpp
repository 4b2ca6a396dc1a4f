// The scene-slot jobs against the real link and the virtual amplifier: what
// each one sends, what the amplifier keeps afterwards, the progress it
// reports, and how it ends when the cable is pulled or the runner stops it.
#include "jobs/scene_slot_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "device/mcu_subcommands.h"
#include "device/packet.h"
#include "device/tests/link_fixture.h"
#include "device/window_messages.h"

namespace {

using jobs::JobOutcome;
using Clock = std::chrono::steady_clock;

class RecordingReport final : public jobs::JobReport {
public:
    void Progress(int done, int total) override {
        std::lock_guard<std::mutex> hold(mLock);
        mSteps.emplace_back(done, total);
    }
    bool StopRequested() const override { return mStop.load(); }
    bool WaitRepliesApplied(int) override { return true; }

    std::vector<std::pair<int, int>> Steps() {
        std::lock_guard<std::mutex> hold(mLock);
        return mSteps;
    }
    std::atomic<bool> mStop{false};

private:
    std::mutex mLock;
    std::vector<std::pair<int, int>> mSteps;  // guarded by mLock
};

jobs::SceneNameBytes NameOf(const char* text) {
    jobs::SceneNameBytes name{};
    for (size_t i = 0; text[i] != 0 && i < name.size(); ++i) {
        name[i] = static_cast<uint8_t>(text[i]);
    }
    return name;
}

// A frame the amplifier received: [4] type, [5] sub-command, [6] operation,
// then the data bytes.
struct Sent {
    uint8_t type;
    uint8_t sub;
    uint8_t operation;
    std::vector<uint8_t> data;
};

class SceneSlotJobsTest : public test_support::LinkFixture {
protected:
    explicit SceneSlotJobsTest(virtual_device::ProtocolOptions options = {})
        : LinkFixture(options) {
        mAmplifier->ClearReceived();
    }

    std::vector<Sent> SentFrames() const {
        std::vector<Sent> frames;
        for (const auto& report : mAmplifier->ReceivedReports()) {
            const size_t length = report[3];
            frames.push_back(
                {report[4],
                 report[5],
                 report[6],
                 {report.begin() + 7, report.begin() + 4 + static_cast<long>(length)}});
        }
        return frames;
    }

    // A working state the slots do not have yet.
    void TuneWorkingState() {
        auto state = mProtocol->State(0);
        state.mute = 1;
        state.channels[3].trimAttenuation = 9;
        state.channels[5].delayMs = 4;
        mProtocol->SetState(0, state);
    }

    RecordingReport mReport;
};

TEST_F(SceneSlotJobsTest, SavingNamesTheSlotThenStoresTheWorkingStateInIt) {
    TuneWorkingState();
    EXPECT_EQ(jobs::SaveSceneSlot(mLink, 4, NameOf("Road"), mReport), JobOutcome::kDone);

    const auto sent = SentFrames();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].type, device::CMD_FLASH);
    EXPECT_EQ(sent[0].sub, 0x0B);
    EXPECT_EQ(sent[0].operation, device::OP_SET);
    // scene, name length, then all 16 name bytes, zero-padded
    std::vector<uint8_t> named = {4, 16, 'R', 'o', 'a', 'd'};
    named.resize(18, 0);
    EXPECT_EQ(sent[0].data, named);
    EXPECT_EQ(sent[1].sub, 0x08);
    EXPECT_EQ(sent[1].data, (std::vector<uint8_t>{4, 0})) << "saved now, not deferred";

    const auto slot = mProtocol->State(4);
    EXPECT_EQ(slot.mute, 1);
    EXPECT_EQ(slot.channels[3].trimAttenuation, 9);
    EXPECT_EQ(slot.channels[5].delayMs, 4);
    EXPECT_EQ(mProtocol->Name(4)[0], 'R');
    EXPECT_EQ(mProtocol->Name(4)[4], 0);
    EXPECT_EQ(mProtocol->ValidMask(), 1 << 3);
    EXPECT_EQ(mProtocol->CurrentSceneId(), 4);
    EXPECT_EQ(mReport.Steps(), (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));

    // The save acknowledgement reaches the scene window with the slot.
    ASSERT_TRUE(mMessages->WaitFor(1));
    bool acknowledged = false;
    for (const auto& message : mMessages->Take()) {
        if (message.message == device::WM_READ_FLASH_VALUE &&
            message.target == test_support::kSceneWnd) {
            acknowledged = message.wParam == 4;
        }
    }
    EXPECT_TRUE(acknowledged);
}

TEST_F(SceneSlotJobsTest, LoadingMakesTheSlotTheWorkingStateBeforeReadingItBack) {
    TuneWorkingState();
    mProtocol->SetState(6, mProtocol->State(0));
    mProtocol->SetState(0, mProtocol->State(1));
    int reads = 0;
    uint8_t muteWhenRead = 0;
    EXPECT_EQ(jobs::LoadSceneSlot(
                  mLink, 6,
                  [&] {
                      ++reads;
                      muteWhenRead = mProtocol->State(0).mute;
                      return true;
                  },
                  mReport),
              JobOutcome::kDone);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(muteWhenRead, 1) << "the read sees the loaded slot";
    const auto sent = SentFrames();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].sub, 0x09);
    EXPECT_EQ(sent[0].data, (std::vector<uint8_t>{6, 0}));
    EXPECT_EQ(mProtocol->State(0).channels[3].trimAttenuation, 9);
    EXPECT_EQ(mProtocol->CurrentSceneId(), 6);
    EXPECT_EQ(mReport.Steps().back(), (std::pair<int, int>{2, 2}));
}

TEST_F(SceneSlotJobsTest, DeletingErasesTheSlotAndTellsTheSceneWindow) {
    mProtocol->SetName(2, "Bass");
    mProtocol->SetValidMask(0x0006);
    EXPECT_EQ(jobs::DeleteSceneSlot(mLink, 2, mReport), JobOutcome::kDone);
    const auto sent = SentFrames();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].sub, 0x0A);
    EXPECT_EQ(sent[0].data, (std::vector<uint8_t>{2}));
    EXPECT_EQ(mProtocol->ValidMask(), 0x0004);
    EXPECT_EQ(mProtocol->Name(2)[0], 0xFF) << "an erased name";
    ASSERT_TRUE(mMessages->WaitFor(1));
    bool deleted = false;
    for (const auto& message : mMessages->Take()) {
        deleted = deleted || (message.message == device::WM_FLASH_SCENE_DELETED &&
                              message.target == test_support::kSceneWnd && message.wParam == 2);
    }
    EXPECT_TRUE(deleted);
}

TEST_F(SceneSlotJobsTest, ASceneBeyondTheSlotsSendsNothing) {
    auto noRead = [] {
        ADD_FAILURE() << "nothing to read";
        return true;
    };
    for (int scene : {0, 11, -1, 255}) {
        SCOPED_TRACE(scene);
        EXPECT_NE(jobs::SaveSceneSlot(mLink, scene, NameOf("X"), mReport), JobOutcome::kDone);
        EXPECT_NE(jobs::LoadSceneSlot(mLink, scene, noRead, mReport), JobOutcome::kDone);
        EXPECT_NE(jobs::DeleteSceneSlot(mLink, scene, mReport), JobOutcome::kDone);
    }
    EXPECT_TRUE(SentFrames().empty());
}

TEST_F(SceneSlotJobsTest, ARunnerThatStopsGetsNothingSent) {
    mReport.mStop = true;
    EXPECT_EQ(jobs::SaveSceneSlot(mLink, 3, NameOf("A"), mReport), JobOutcome::kStopped);
    EXPECT_EQ(jobs::DeleteSceneSlot(mLink, 3, mReport), JobOutcome::kStopped);
    EXPECT_TRUE(SentFrames().empty());
}

TEST_F(SceneSlotJobsTest, APulledCableStopsEachJobAtOnce) {
    // The name goes out, the cable is pulled as the save is written.
    mAmplifier->UnplugAtReport(2);
    auto start = Clock::now();
    EXPECT_EQ(jobs::SaveSceneSlot(mLink, 5, NameOf("Gone"), mReport), JobOutcome::kDeviceGone);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)) << "no 20 s time-out";
    EXPECT_EQ(mProtocol->ValidMask(), 0) << "the save never arrived";
    EXPECT_EQ(mReport.Steps().back(), (std::pair<int, int>{1, 2}));

    bool read = false;
    EXPECT_EQ(jobs::LoadSceneSlot(
                  mLink, 1,
                  [&] {
                      read = true;
                      return true;
                  },
                  mReport),
              JobOutcome::kDeviceGone);
    EXPECT_FALSE(read) << "nothing is read from a pulled amplifier";
    EXPECT_EQ(jobs::DeleteSceneSlot(mLink, 1, mReport), JobOutcome::kDeviceGone);
}

TEST_F(SceneSlotJobsTest, ACableLostDuringTheWorkingStateReadEndsTheLoad) {
    EXPECT_EQ(jobs::LoadSceneSlot(
                  mLink, 1,
                  [&] {
                      mAmplifier->Unplug();
                      return false;
                  },
                  mReport),
              JobOutcome::kDeviceGone);
}

class PacedSceneSlotJobsTest : public SceneSlotJobsTest {
protected:
    static virtual_device::ProtocolOptions Paced() {
        virtual_device::ProtocolOptions options;
        options.sceneSaveTime = std::chrono::milliseconds(400);
        return options;
    }
    PacedSceneSlotJobsTest() : SceneSlotJobsTest(Paced()) {}
};

TEST_F(PacedSceneSlotJobsTest, TheSaveWaitsForTheFlashAndEndsWhenTheCableGoesMeanwhile) {
    auto start = Clock::now();
    EXPECT_EQ(jobs::SaveSceneSlot(mLink, 2, NameOf("Slow"), mReport), JobOutcome::kDone);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(400));

    std::thread puller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        mAmplifier->Unplug();
    });
    start = Clock::now();
    EXPECT_EQ(jobs::SaveSceneSlot(mLink, 3, NameOf("Cut"), mReport), JobOutcome::kDeviceGone);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    puller.join();
}

}  // namespace
