// The manual update window: the user chooses one image file (microcontroller,
// bootloader or DSP flash, told apart by its name) and sends it to the
// amplifier. The transfer runs on a worker that reports by posted messages;
// the device restarts by itself at the end, and the controller closes the
// window with 1 when it is connected again.
#pragma once

#include <atomic>
#include <string>

#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "controller/upgrade_worker.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CUpdateFwWnd : public DialogFrame {
public:
    CUpdateFwWnd(controller::EqualizerManager& manager, controller::UiServices& ui);
    // Ends the transfer after the block under way and waits for the worker.
    ~CUpdateFwWnd() override;

    // Builds the window over its owner showing this file (may be empty).
    void Prepare(toolkit::Window* owner, const std::string& path);
    // "file_btn": the open-file dialog.
    void ChooseImage();
    // "update_btn": sends the chosen file, if the device is connected.
    void BeginUpdate();

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;
    // The system's close acts as "cancel_btn": not while an image is sent.
    void OnCloseRequest() override;

private:
    void ShowPath(const std::string& path);
    void ShowTips(const std::string& text);
    void EnableControls(bool enabled);
    void Finish(const char* key);

    controller::EqualizerManager& mManager;
    controller::UiServices& mUi;
    std::string mChosenPath;
    std::string mUpgImagePath;
    bool mRunning = false;
    controller::UpgradeWorker mWorker;
};

// Runs the window over the owner until it closes; the code it was closed with.
int RunUpdateFwWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                      controller::UiServices& ui);
// Ends the open window with this code (nothing when none is open).
void CloseOpenUpdateFwWindow(int code);

}  // namespace ui
