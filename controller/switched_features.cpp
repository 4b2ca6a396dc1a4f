// The controller's side of the features this model's record switches off:
// the compressors' on/off switch, the centre/surround block and the windows
// of the compressors, the karaoke effects and the upmix.
#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "jobs/reply_applier.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

}  // namespace

void EqualizerManager::SetCompressorOn(int channel, bool on) {
    if (channel < 0 || channel >= Cfg().mOUT_CHANNEL_NUMBER) {
        return;
    }
    app::Log("channel %d compressor seleted %d\n", channel, on ? 1 : 0);
    mProfile.channels[channel].compressorOn = on;
    const uint8_t state = on ? 1 : 0;
    const auto c = static_cast<uint8_t>(channel);
    mDeviceLink->Compressor_Ch_Ctrl({static_cast<uint8_t>(mProfile.scene), 0, c, c},
                                    std::span(&state, 1), false);
}

// The second type has no bypass, ratio or knee: its report leaves the
// first type's values of the channel as they were.
void EqualizerManager::OnCompressorReport(const device::CompressorRecord& record, bool secondType) {
    jobs::ApplyCompressorReport(ReportTargets(), record, secondType);
}

void EqualizerManager::SendCsAutoSettings() {
    const auto block = mCsAutoSettings.Bytes();
    mDeviceLink->CS_Auto_Setting_Ctrl(block, false);
}

void EqualizerManager::OpenCompressorWindow() {
    if ((Cfg().mENABLE_COMPRESSOR || Cfg().mENABLE_COMPRESSOR2) && mUi != nullptr) {
        mUi->OpenCompressorWindow();
    }
}

void EqualizerManager::OpenCompressorsOnWindow() {
    if ((Cfg().mENABLE_COMPRESSOR2 || Cfg().mENABLE_COMPRESSOR_ON) && mUi != nullptr) {
        mUi->OpenCompressorsOnWindow();
    }
}

void EqualizerManager::OpenKtvWindow() {
    if (Cfg().mENABLE_KTV && mUi != nullptr) {
        mUi->OpenKtvWindow();
    }
}

void EqualizerManager::OpenCsAutoWindow() {
    if (Cfg().mENABLE_CS_AUTO && mUi != nullptr) {
        mUi->OpenCsAutoWindow();
    }
}

}  // namespace controller
