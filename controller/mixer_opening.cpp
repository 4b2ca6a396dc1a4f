// Opening the mixer window, and what the mixer needs of the rest of the
// controller.
#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {

void EqualizerManager::OpenMixer() {
    if (mUi == nullptr) {
        return;
    }
    app::Log("open mixer of source %d\n", mProfile.source);
    mUi->OpenMixerWindow();
}

void EqualizerManager::SetBridge(int pair, bool on) {
    if (pair < 0 || pair >= app::CurrentModelCfg().mOUT_CHANNEL_NUMBER / 2) {
        return;
    }
    if ((mProfile.bridgeOutputs[static_cast<size_t>(pair)] != 0) == on) {
        return;  // already so: nothing to copy or send
    }
    SetBridgePair(pair, on, true);
}

void EqualizerManager::RefreshRouting(int output) {
    if (IsOutput(output)) {
        ShowRouting(output);
    }
}

}  // namespace controller
