#include "ui/dialogs/force_update_window.h"

#include <cstdio>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "toolkit/text_resources.h"

namespace ui {
namespace {

CForceUpdateWnd* sOpenWindow = nullptr;

constexpr const char* kButtons[] = {"update_btn", "cancel_btn", "closebtn"};

}  // namespace

CForceUpdateWnd::CForceUpdateWnd(controller::EqualizerManager& manager)
    : DialogFrame("ForceUpdateWnd", "updatefwwnd"), mManager(manager), mLink(manager.Link()) {}

CForceUpdateWnd::~CForceUpdateWnd() {
    mWorker.Stop();
    mWorker.Join();
}

void CForceUpdateWnd::Prepare(toolkit::Window* owner, const std::string& mcuImage,
                              const std::string& flashImage) {
    CreateOver(owner, "XML_FORCE_UPDATE");
    // A name shown means that image is flashed.
    if (toolkit::Control* file = Find("mcu_file")) {
        file->SetText(mcuImage);
    }
    if (toolkit::Control* file = Find("flash_file")) {
        file->SetText(flashImage);
    }
    if (!mcuImage.empty()) {
        mMcuImagePath = mcuImage;
    }
    if (!flashImage.empty()) {
        mFlashImagePath = flashImage;
    }
    if (toolkit::Control* box = Find("check_box_facotry")) {
        box->SetVisible(app::CurrentModelCfg().mHIDE_FORCE_UPDATE_BOX == 0);
    }
    SetBars(0);
}

bool CForceUpdateWnd::HasFile(const char* control) const {
    const toolkit::Control* file = Find(control);
    return file != nullptr && !file->Text().empty();
}

void CForceUpdateWnd::ShowTips(const std::string& text) {
    if (toolkit::Control* tips = Find("update_tips")) {
        tips->SetText(text);
    }
}

void CForceUpdateWnd::SetBars(int percent) {
    for (const char* name : {"mcu_progress", "flash_progress"}) {
        if (toolkit::Control* bar = Find(name)) {
            bar->SetValue(percent);
        }
    }
}

void CForceUpdateWnd::EnableButtons(bool enabled) {
    for (const char* name : kButtons) {
        if (toolkit::Control* button = Find(name)) {
            button->SetEnabled(enabled);
        }
    }
}

bool CForceUpdateWnd::ButtonsEnabled() const {
    const toolkit::Control* cancel = Find("cancel_btn");
    return cancel == nullptr || cancel->Enabled();
}

void CForceUpdateWnd::BeginUpdate() {
    app::Log("%s\n", __PRETTY_FUNCTION__);
    if (!mLink.IsConnected() || mWorker.IsRunning()) {
        return;
    }
    mLink.DisableCmdCtrl();
    if (mUpgStage == 0 && HasFile("mcu_file")) {
        mUpgStage = 1;
        SetBars(0);
    } else if (mUpgStage == 1 && HasFile("flash_file")) {
        mUpgStage = 2;
    } else {
        ShowTips("${update_no_file}");
        SetBars(0);
        return;
    }
    // Also when the user starts the DSP image again after a failed transfer.
    EnableButtons(false);
    mStageFailed = false;
    const bool mcu = mUpgStage == 1;
    ShowTips(mcu ? "${update_check_mcu}" : "${update_check_flash}");
    mWorker.StartTransfer(mLink, mManager.UpgradeSetupForDevice(),
                          mcu ? mMcuImagePath : mFlashImagePath, Handle(),
                          mcu ? controller::WM_UPG_START_MCU : controller::WM_UPG_START_FLASH);
}

void CForceUpdateWnd::OnDeviceReconnected() {
    if (mWorker.IsRunning()) {
        // The transfer that was cut reports its failure next.
        app::Log("device back while the transfer ends\n");
        return;
    }
    if (mStageFailed) {
        // The device stays in its upgrade program after a cut transfer: the
        // user may send the same image again.
        EnableButtons(true);
        return;
    }
    if (mUpgStage == 1 && !mFlashImagePath.empty()) {
        BeginUpdate();
        return;
    }
    if (mUpgStage == 1 || mUpgStage == 2) {
        const toolkit::Control* box = Find("check_box_facotry");
        if (box != nullptr && box->Visible() && box->Selected()) {
            ShowTips("${update_factory}");
            ResetMcuFactoryDefault();
            return;
        }
        ShowTips("${update_finish}");
    } else {
        mUpgResultOk = true;
        if (mUpgStage == 3) {
            ShowTips("${update_finish}");
        }
    }
    EnableButtons(true);
    mUpgStage = 0;
}

void CForceUpdateWnd::ResetMcuFactoryDefault() {
    app::Log("%s\n", "CForceUpdateWnd::ResetMcuFactoryDefault");
    mUpgStage = 3;
    mWorker.StartFactoryReset(mLink, Handle());
}

// A failed image waits for the device: when it is still connected nothing
// else will come, so the user may try again at once.
void CForceUpdateWnd::OnStageFailed(const char* key) {
    ShowTips(key);
    mStageFailed = true;
    mUpgStage = mUpgStage == 2 ? 1 : 0;
    if (mLink.IsConnected() && !mLink.IsDeviceGone()) {
        EnableButtons(true);
    }
}

void CForceUpdateWnd::ShowProgress(int percent) {
    const bool mcu = mUpgStage == 1;
    if (!mcu && mUpgStage != 2) {
        return;
    }
    const std::string format =
        toolkit::Translate(mcu ? "${update_progress_mcu}" : "${update_progress_flash}");
    char text[256];
    std::snprintf(text, sizeof text, format.c_str(), percent);
    ShowTips(text);
    if (toolkit::Control* bar = Find(mcu ? "mcu_progress" : "flash_progress")) {
        bar->SetValue(percent);
    }
}

void CForceUpdateWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                std::unique_ptr<platform::PostedRecord>& record) {
    DialogFrame::OnMessage(message, wParam, lParam, record);
    switch (message) {
        case controller::WM_UPG_PROGRESS:
            ShowProgress(static_cast<int>(wParam));
            break;
        case controller::WM_UPG_START_MCU:
            ShowTips("${update_start_mcu}");
            break;
        case controller::WM_UPG_START_FLASH:
            ShowTips("${update_start_flash}");
            break;
        case controller::WM_UPG_OK:
            // The device restarts now; the window waits for it to be back.
            ShowTips(mUpgStage == 1 ? "${update_reboot_mcu}" : "${update_reboot_flash}");
            break;
        case controller::WM_UPG_FAIL:
            OnStageFailed("${update_fail}");
            break;
        case controller::WM_UPG_LOAD_FAIL:
            OnStageFailed("${load_fw_fail}");
            break;
        case controller::WM_DEVICE_REBOOT:
            ShowTips("${update_factory_reboot}");
            break;
        default:
            break;
    }
}

void CForceUpdateWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "update_btn")) {
        BeginUpdate();
        return;
    }
    if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(0);
        return;
    }
    DefaultNotify(notification);
}

// Never while an image is sent; but a device that does not come back must
// not keep the window open for good.
void CForceUpdateWnd::OnCloseRequest() {
    if (ButtonsEnabled() || !mWorker.IsRunning()) {
        Close(0);
    }
}

int RunForceUpdateWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                         const std::string& mcuImage, const std::string& flashImage) {
    CForceUpdateWnd window(manager);
    window.Prepare(owner, mcuImage, flashImage);
    sOpenWindow = &window;
    const int code = window.RunModal();
    sOpenWindow = nullptr;
    return window.ResultOf(code);
}

bool ResumeOpenForceUpdateWindow() {
    if (sOpenWindow == nullptr) {
        return false;
    }
    sOpenWindow->OnDeviceReconnected();
    return true;
}

}  // namespace ui
