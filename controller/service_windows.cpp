// The controller's side of the service windows: the USB audio mode of the
// preference window, the DSP memory window and the power-off delay.
#include <algorithm>

#include "app/log.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

constexpr int kPowerOffDelayMaxMs = 1000;

}  // namespace

void EqualizerManager::SetUsbMode(bool scp) {
    ApplyUsbOption(scp);
}

void EqualizerManager::OpenMemoryWindow() {
    app::Log("%s\n", "EqualizerManager::OpenMemoryWindow");
    if (mUi != nullptr) {
        mUi->OpenMemoryWindow();
    }
}

void EqualizerManager::SetPowerOffDelay(int milliseconds) {
    const int delay = std::clamp(milliseconds, 0, kPowerOffDelayMaxMs);
    mProfile.powerOffDelay = static_cast<uint32_t>(delay);
    mDeviceLink->Set_Power_Off_Time(delay, false);
}

}  // namespace controller
