#include "controller/posted_messages.h"

#include <cstdio>

#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "device/mcu_subcommands.h"
#include "device/window_messages.h"

namespace controller {
namespace {

void ShowFirmwareNewer(EqualizerManager& manager, UiServices& ui) {
    const model::Profile& profile = manager.WorkingProfile();
    const app::ModelCfg& cfg = app::CurrentModelCfg();
    std::string format = ui.Translate("${dsp_fw_new_tips}");
    char text[512];
    std::snprintf(text, sizeof text, format.c_str(), profile.fwMainVersion, profile.fwSlaveVersion,
                  cfg.mINNER_FW_MAIN_VER, cfg.mINNER_FW_SLAVE_VER);
    ui.ShowMessage("${tips}", text);
}

}  // namespace

bool HandlePostedMessage(EqualizerManager& manager, UiServices& ui,
                         const platform::PostedMessage& message) {
    const uint8_t sub = static_cast<uint8_t>(message.wParam);
    switch (message.message) {
        case device::WM_READ_DSP_VALUE:
            manager.ReadDspValueCallback(sub, message.lParam, message.record);
            return true;
        case device::WM_READ_MCU_VALUE:
            manager.ReadMcuValueCallback(sub, message.lParam, message.record);
            return true;
        case device::WM_READ_FLASH_VALUE:
            if (sub == device::FLASH_SCENE_NAME || sub == device::FLASH_SCENE_VALID) {
                manager.ReadSenceValueCallback(sub, message.record);
            }
            return true;
        case device::WM_READ_KTV_VALUE:
            manager.ReadKtvValueCallback(sub, message.lParam);
            return true;
        case device::WM_DEVICE_STATUS_UNNORMAL:
            manager.OnDeviceStatusUnnormal();
            return true;
        case WM_DEVICE_REBOOT:
            ui.HideLoading();
            ui.ShowMessage("${tips}", "${device_reboot}");
            return true;
        case WM_CONNECT_FAIL:
            ui.ShowMessage("${tips}", "${device_connect_fail}");
            return true;
        case WM_SYNC_DONE:
            manager.OnSyncDone();
            return true;
        case WM_DISCONNECT:
            manager.DisconnectDevice();
            return true;
        case WM_FORCE_UPDATE:
            manager.StartForceUpdate();
            return true;
        case WM_FW_NEWER:
            ShowFirmwareNewer(manager, ui);
            return true;
        case WM_SHOW_LOADING:
            ui.ShowLoading();
            return true;
        case WM_HIDE_LOADING:
            ui.HideLoading();
            manager.SetCurChannelChange(0);
            return true;
        case WM_END_NAME_EDIT:
            manager.EndNameEdit();
            return true;
        case WM_JOB_PROGRESS:
            ui.ShowProgress(static_cast<int>(message.wParam), static_cast<int>(message.lParam));
            return true;
        case WM_JOB_MARKER:
            manager.OnJobMarker(message.wParam);
            return true;
        case WM_CONTROLLER_STEP:
            manager.OnControllerStep(message.wParam);
            return true;
        default:
            return false;
    }
}

}  // namespace controller
