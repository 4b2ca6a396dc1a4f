// The forced-update window: flashes the microcontroller image the program
// carries, then, once the device has restarted and is connected again, the
// DSP flash image, and on request restores the factory defaults at the end.
// Each transfer runs on a worker of its own that reports by posted messages;
// the controller hands every new connection to the window while it is open.
#pragma once

#include <string>

#include "controller/equalizer_manager.h"
#include "controller/upgrade_worker.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CForceUpdateWnd : public DialogFrame {
public:
    explicit CForceUpdateWnd(controller::EqualizerManager& manager);
    // Stops and waits for a worker still running.
    ~CForceUpdateWnd() override;

    // Builds the window over its owner with the two image files; an empty
    // name leaves that image out.
    void Prepare(toolkit::Window* owner, const std::string& mcuImage,
                 const std::string& flashImage);
    // "update_btn": the next image, if the device is connected.
    void BeginUpdate();
    // The device is connected again (after a restart or a re-plugged cable):
    // the next image, the factory default, or the end of the update.
    void OnDeviceReconnected();
    // What the window hands back when closed with this code.
    int ResultOf(int closeCode) const { return mUpgResultOk ? 1 : closeCode; }

    // 0 idle, 1 microcontroller image, 2 DSP flash image, 3 factory default.
    int Stage() const { return mUpgStage; }

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;
    // The system's close acts as "cancel_btn", also while the window waits
    // for the device to come back; not while an image is sent.
    void OnCloseRequest() override;

private:
    bool HasFile(const char* control) const;
    void ShowTips(const std::string& text);
    void ShowProgress(int percent);
    void SetBars(int percent);
    void EnableButtons(bool enabled);
    bool ButtonsEnabled() const;
    void OnStageFailed(const char* key);
    void ResetMcuFactoryDefault();

    controller::EqualizerManager& mManager;
    device::DeviceLink& mLink;
    int mUpgStage = 0;
    bool mUpgResultOk = false;
    // The transfer of the current stage failed: the next reconnection lets
    // the user try that image again rather than going on.
    bool mStageFailed = false;
    std::string mMcuImagePath;
    std::string mFlashImagePath;
    controller::UpgradeWorker mWorker;
};

// Runs the window over the owner until it closes; its result (1 when the
// update ran to its end with the factory default, else 0).
int RunForceUpdateWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                         const std::string& mcuImage, const std::string& flashImage);
// Hands the new connection to the open window; false when none is open.
bool ResumeOpenForceUpdateWindow();

}  // namespace ui
