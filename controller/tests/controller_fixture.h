// A controller on a page without a screen, connected through the real device
// link to a virtual amplifier that plays the demo tune.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "app/tests/scoped_temp_dir.h"
#include "controller/equalizer_manager.h"
#include "device/packet.h"
#include "fake_page.h"
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
    // Handles whatever is queued now and what arrives in the next moment.
    void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(100)) {
        Pump([] { return false; }, time);
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
    bool WaitQueueIdle() {
        for (int i = 0; i < 500; ++i) {
            if (mManager->Link().IsCmdQueueIdle()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // The DSP frames the amplifier received with this operation, as
    // (sub-command, data) pairs.
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> DspFrames(uint8_t operation) {
        std::vector<std::pair<uint8_t, std::vector<uint8_t>>> frames;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report.size() < 8 || report[4] != device::CMD_DSP || report[6] != operation) {
                continue;
            }
            const size_t length = report[3];
            frames.emplace_back(
                report[5], std::vector<uint8_t>(report.begin() + 7, report.begin() + 4 + length));
        }
        return frames;
    }

    // The data of every DSP set frame of one sub-command the amplifier
    // received since the last clear.
    std::vector<std::vector<uint8_t>> SetsOf(uint8_t subCommand) {
        std::vector<std::vector<uint8_t>> picked;
        for (auto& [sub, data] : DspFrames(device::OP_SET)) {
            if (sub == subCommand) {
                picked.push_back(data);
            }
        }
        return picked;
    }

    // Lets the link read one report: a spontaneous report waiting in the
    // amplifier is taken in place of the request's answer.
    void ReadSpontaneousReport() {
        mManager->Link().Get_Source();
        Settle();
    }

    virtual_device::AmplifierState Amp(int state = 0) { return mDemo.protocol->State(state); }

    ScopedTempDir mDir;
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
