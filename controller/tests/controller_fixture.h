// A controller on a page without a screen, connected through the real device
// link to a virtual amplifier that plays the demo tune.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "controller/equalizer_manager.h"
#include "device/packet.h"
#include "fake_page.h"
#include "testkit/sent_frames.h"
#include "testkit/temp_dir.h"
#include "testkit/wait.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace test_support {

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (mDir.path() / "config").c_str(), 1);
        platform::SetMessageSink(mSink);
        mPath = mBackend->Add(mDemo.amplifier);
        mManager = std::make_unique<controller::EqualizerManager>(mBackend);
        mManager->Init(mPage, mUi);
    }
    void TearDown() override {
        mManager.reset();
        platform::SetMessageSink(nullptr);
    }

    bool Pump(const std::function<bool()>& done,
              std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        return PumpUntil(*mSink, *mManager, mUi, done, limit);
    }
    // Handles every posted message and waits for the link to send what they
    // queued, until neither is left: what the controller does next can no
    // longer come from anything done before.
    void Settle() {
        ASSERT_TRUE(Drain(*mSink, *mManager, mUi)) << "the link's queue never drained";
    }

    bool ConnectAndSync() {
        mManager->UpdateDeviceList();
        mManager->SelectFirstDevice();
        const int hiddenBefore = mUi.mLoadingHidden;
        mManager->ConnectDevice(false);
        return Pump(
            [&] { return mManager->IsSynchronised() && mUi.mLoadingHidden > hiddenBefore; });
    }

    // Waits until the command thread has sent every queued command.
    bool WaitQueueIdle() { return testkit::WaitQueueDrained(mManager->Link()); }

    // The DSP frames the amplifier received with this operation, as
    // (sub-command, data) pairs.
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> DspFrames(uint8_t operation) {
        std::vector<std::pair<uint8_t, std::vector<uint8_t>>> frames;
        for (testkit::SentFrame& frame : testkit::SentFrames(*mDemo.amplifier)) {
            if (frame.type == device::CMD_DSP && frame.operation == operation) {
                frames.emplace_back(frame.sub, std::move(frame.data));
            }
        }
        return frames;
    }

    // The data of every DSP set frame of one sub-command the amplifier
    // received since the last clear.
    std::vector<std::vector<uint8_t>> SetsOf(uint8_t subCommand) {
        return testkit::DspSetsOf(*mDemo.amplifier, subCommand);
    }

    // Lets the link read one report: a spontaneous report waiting in the
    // amplifier is taken in place of the request's answer.
    void ReadSpontaneousReport() {
        mManager->Link().Get_Source();
        Settle();
    }

    virtual_device::AmplifierState Amp(int state = 0) { return mDemo.protocol->State(state); }

    testkit::TempWorkingDir mDir;
    std::shared_ptr<QueueSink> mSink = std::make_shared<QueueSink>();
    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    virtual_device::DemoAmplifier mDemo = virtual_device::MakeDemoAmplifier(L"AMP-A");
    std::string mPath;
    FakePage mPage;
    FakeUi mUi;
    std::unique_ptr<controller::EqualizerManager> mManager;
};

}  // namespace test_support
