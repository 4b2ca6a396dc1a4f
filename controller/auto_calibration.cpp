// The controller's side of the automatic calibration: opening the window
// and reading the amplifier's state again after it took a calibration.
#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {

void EqualizerManager::RunAutoCalibration() {
    if (!app::CurrentModelCfg().mENABLE_AUTO_CALIBRATION || mUi == nullptr) {
        return;
    }
    if (mUi->RunAutoCalWindow() != 1) {
        return;
    }
    app::Log("Auto cal finished, need to sync data from dsp again!\n");
    DisconnectDevice();
    ConnectDevice(false);
}

}  // namespace controller
