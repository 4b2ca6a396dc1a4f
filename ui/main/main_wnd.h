// The one top-level window of the program. It lays out the skin, keeps the
// program to one running instance, watches amplifiers come and go, and turns
// every control notification into one call of the tuning controller. The
// messages that the device link and the controller's jobs post arrive here
// and are handed to the controller.
#pragma once

#include <QPoint>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "controller/auto_cal_worker.h"
#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "device/hid_seam.h"
#include "toolkit/popup_menu.h"
#include "toolkit/window.h"
#include "ui/dialogs/loading_window.h"
#include "ui/main/display_restart.h"
#include "ui/main/usb_monitor.h"

namespace ui {

struct MainWndRoutes;

class CMainWnd final : public toolkit::Window, public controller::UiServices {
public:
    explicit CMainWnd(std::shared_ptr<device::HidBackend> backend);
    ~CMainWnd() override;

    // Builds the window from "XML_MAIN", centres it and connects to the
    // first amplifier. False when the layout could not be built. The
    // program checks for a running copy before it makes this window.
    bool Start();

    controller::EqualizerManager& Manager() { return *mManager; }
    int MenuChannel() const { return mMenuChannel; }
    toolkit::PopupMenu* OpenMenu() { return mMenu.get(); }
    bool IsLoadingShown() const { return mLoading.IsShown(); }

    // The close sequence: disconnect, end any box, then tell the program
    // (which leaves its event loop).
    void CloseProgram();
    void SetOnClosed(std::function<void()> onClosed) { mOnClosed = std::move(onClosed); }
    // The monitors changed and now ask for `newScale` percent: another scale
    // than the windows run at restarts the program (a new copy first, then
    // this one closes); a copy that cannot start leaves this one open.
    void OnDisplayChanged(int newScale);
    // How the new copy is started; tests record or refuse it.
    void SetRestartStarter(DisplayRestart::Starter start) {
        mDisplayRestart.SetStarter(std::move(start));
    }
    // The calibration worker's pauses; tests shorten them.
    void SetAutoCalTimings(const controller::AutoCalTimings& timings) { mAutoCalTimings = timings; }

    // controller::UiServices
    void ShowMessage(const std::string& title, const std::string& text) override;
    std::string Translate(const std::string& text) override;
    void ShowLoading() override;
    void HideLoading() override;
    void ShowProgress(int done, int total) override;
    std::string ChooseFile(const controller::FileDialogRequest& request) override;
    // Tests answer the file dialogs themselves; the platform's dialog otherwise.
    using FileChooser = std::function<std::string(const controller::FileDialogRequest&)>;
    void SetFileChooser(FileChooser chooser) { mFileChooser = std::move(chooser); }
    bool Confirm(const std::string& title, const std::string& text) override;
    bool IsPointerHeld() override;
    int AskTwoChoices(const std::string& title, const std::string& text, const std::string& first,
                      const std::string& second) override;
    int AskWithButtons(const std::string& title, const std::string& text,
                       const std::array<std::string, 3>& labels) override;
    controller::EqChart* Chart() override;
    int RunForceUpdateWindow(const std::string& mcuImage, const std::string& flashImage) override;
    bool ResumeForceUpdate() override;
    int RunUpdateFwWindow() override;
    void CloseUpdateFwWindow() override;
    void OpenSceneWindow(controller::SceneWindowMode mode) override;
    void OpenNoiseGateWindow() override;
    void OpenNoiseThresholdWindow() override;
    // The compressor window and the multi-channel compressor window.
    void OpenCompressorWindow() override;
    void OpenCompressorsOnWindow() override;
    // The karaoke window and the centre/surround upmix window.
    void OpenKtvWindow() override;
    void OpenCsAutoWindow() override;
    void OpenPreferenceWindow() override;
    void OpenMemoryWindow() override;
    void OpenPowerOffDelayWindow() override;
    // "advance_item_distances": delays from the measured distances.
    void OpenDistancesWindow();
    void OpenMixerWindow() override;
    void CloseMixerWindow() override;
    int RunAutoCalWindow() override;
    void CloseAutoCalWindow() override;
    bool AskToApplyFilters(const model::FilterImportSummary& summary) override;

protected:
    void OnCreate() override;
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;
    void OnTimer(int id) override;
    void OnCloseRequest() override;

private:
    friend struct MainWndRoutes;  // the routing tables call the window's handlers

    bool OnClick(const toolkit::Notification& n);
    void OnSelectChanged(const toolkit::Notification& n);
    void OnValueChanged(const toolkit::Notification& n);
    void OnValueStep(const toolkit::Notification& n, bool up);
    void OnCommit(const toolkit::Notification& n, bool isReturn);
    void OnSetFocus(const toolkit::Notification& n);
    void OnItemSelect(const toolkit::Notification& n);
    void OnChartNotification(const toolkit::Notification& n);
    void StepCurrentSpeakerDelay(bool up);
    void FocusBandEdit(const char* format, int band);
    void MoveFocusAlongTheEdits(const std::string& from, bool forward);
    void OnDeviceChange(uintptr_t event, const std::unique_ptr<platform::PostedRecord>& record);
    void OnMenuClick(const std::unique_ptr<platform::PostedRecord>& record);
    void OpenOutputMenu(int channel, const toolkit::Control& button);
    bool LoadMenu(const char* layout);
    void OpenMenuBelow(const toolkit::Control& button);
    void OpenSourceMenu(const toolkit::Control& button);
    void OpenOptionMenu(const toolkit::Control& button);
    void OpenAdvanceMenu(const toolkit::Control& button);
    void OpenAbout();
    void OpenCompressorFromMenu();
    void SwitchLanguageTo(const std::string& language, const std::string& storedValue);
    void OpenSceneMenu(const toolkit::Control& button);
    void OpenDelayLinkMenu(int channel);
    void OpenLinkGroupMenu(int channel);
    // The link-group menu opens to the left of an option in the window's right half.
    void OpenGroupMenu(int channel, const char* anchorFormat, const char* layout, bool grouped,
                       bool rightAligned);
    bool InRightHalf(QPoint point) const;
    // Ends every modal window over the main window; the update windows only
    // with withUpdateWindows (the controller decides when they close).
    void CloseBoxesOverMainWindow(bool withUpdateWindows = true);
    // A restart for a display change waits while this is true.
    bool IsBusyForRestart() const;

    std::unique_ptr<controller::EqualizerManager> mManager;
    std::unique_ptr<UsbMonitor> mUsbMonitor;
    std::unique_ptr<toolkit::PopupMenu> mMenu;
    LoadingCover mLoading;
    int mMenuChannel = 0;
    int mFactoryEq = 0;
    bool mClosing = false;
    std::function<void()> mOnClosed;
    DisplayRestart mDisplayRestart;
    FileChooser mFileChooser;
    controller::AutoCalTimings mAutoCalTimings;
};

}  // namespace ui
