#include "bench/soak/soak_rig.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench/soak/readings.h"
#include "controller/posted_messages.h"
#include "platform/message_post.h"

namespace soak {

SoakRig::SoakRig() {
    platform::SetMessageSink(mQueue);
    mBackend->Add(mDemo.amplifier);
    mManager = std::make_unique<controller::EqualizerManager>(mBackend);
    mManager->Init(mPage, mUi);
}

SoakRig::~SoakRig() {
    mDemo.amplifier->SetWriteListener(nullptr);
    mMixer.reset();
    mManager.reset();
    platform::SetMessageSink(nullptr);
}

bool SoakRig::ConnectAndSynchronise() {
    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    const int hiddenBefore = mUi.mLoadingHidden;
    mManager->ConnectDevice(false);
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        Pump();
        if (mManager->IsSynchronised() && mUi.mLoadingHidden > hiddenBefore) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void SoakRig::ListenToWrites() {
    mDemo.amplifier->SetWriteListener(
        [this](const std::vector<uint8_t>& report) { mProbe.OnReport(report); });
}

void SoakRig::OpenMixer(int source) {
    mMixer = std::make_unique<controller::Mixer>(*mManager, mMixerPage, source);
}

Control& SoakRig::MixerSlider(int output, int row) {
    return mMixerPage.Get("box_volume_" + std::to_string(output) + "_" + std::to_string(row));
}

void SoakRig::Pump() {
    platform::PostedMessage message;
    while (mQueue->Take(&message)) {
        controller::HandlePostedMessage(*mManager, mUi, message);
    }
}

bool SoakRig::Settle() {
    const bool idle = mManager->Link().WaitCmdQueueIdle(std::chrono::seconds(10));
    const auto until = Clock::now() + std::chrono::milliseconds(100);
    while (Clock::now() < until) {
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return idle;
}

}  // namespace soak
