// The pieces the soak drives, wired together as the program wires them: the
// main window's queue, the virtual amplifier behind the HID seam, the
// controller with its page of controls and the user-interface services, the
// mixer window once opened, and the probe on what the amplifier receives.
#pragma once

#include <memory>

#include "bench/soak/drag_chart.h"
#include "bench/soak/main_window_queue.h"
#include "bench/soak/page.h"
#include "bench/soak/soak_ui.h"
#include "bench/soak/write_probe.h"
#include "controller/equalizer_manager.h"
#include "controller/mixer.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace soak {

class SoakRig {
public:
    SoakRig();
    ~SoakRig();
    SoakRig(const SoakRig&) = delete;
    SoakRig& operator=(const SoakRig&) = delete;

    bool ConnectAndSynchronise();
    // From here on every output report the amplifier receives is counted.
    void ListenToWrites();
    // The mixer window of `source`, driving the mixer page.
    void OpenMixer(int source);

    controller::EqualizerManager& Manager() { return *mManager; }
    controller::Mixer& Mixer() { return *mMixer; }
    Page& MainPage() { return mPage; }
    Control& MixerSlider(int output, int row);
    DragChart& Chart() { return mUi.mChart; }
    WriteProbe& Probe() { return mProbe; }
    virtual_device::VirtualAmplifier& Amplifier() { return *mDemo.amplifier; }

    void HoldPointer() { mUi.mPointerHeld = true; }
    void ReleasePointer() { mUi.mPointerHeld = false; }

    // A notification as the window delivers it: the edit history watches it.
    template <typename Action>
    void Deliver(Action&& action) {
        mManager->History().BeforeNotification();
        action();
        mManager->History().AfterNotification();
        Pump();
    }

    // Handles what is posted to the main window, as its event loop would.
    void Pump();
    // Until the link is idle and nothing was posted for a moment.
    bool Settle();

private:
    std::shared_ptr<MainWindowQueue> mQueue = std::make_shared<MainWindowQueue>(1);
    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    virtual_device::DemoAmplifier mDemo = virtual_device::MakeDemoAmplifier(L"AMP-SOAK");
    Page mPage{1};
    Page mMixerPage{2};
    SoakUi mUi;
    std::unique_ptr<controller::EqualizerManager> mManager;
    std::unique_ptr<controller::Mixer> mMixer;
    WriteProbe mProbe;
};

}  // namespace soak
