// The user-interface services the controller calls, without windows: every
// question answered at once, the pointer held as the soak says, and the
// chart the soak drags on.
#pragma once

#include <array>
#include <string>

#include "bench/soak/drag_chart.h"
#include "controller/ui_services.h"

namespace soak {

class SoakUi final : public controller::UiServices {
public:
    void ShowMessage(const std::string& title, const std::string& text) override;
    std::string Translate(const std::string& text) override { return text; }
    void ShowLoading() override {}
    void HideLoading() override { ++mLoadingHidden; }
    void ShowProgress(int, int) override {}
    std::string ChooseFile(const controller::FileDialogRequest&) override { return {}; }
    bool IsPointerHeld() override { return mPointerHeld; }
    bool Confirm(const std::string&, const std::string&) override { return true; }
    int AskTwoChoices(const std::string&, const std::string&, const std::string&,
                      const std::string&) override {
        return 0;
    }
    int AskWithButtons(const std::string&, const std::string&,
                       const std::array<std::string, 3>&) override {
        return 0;
    }
    controller::EqChart* Chart() override { return &mChart; }
    int RunForceUpdateWindow(const std::string&, const std::string&) override { return 0; }
    bool ResumeForceUpdate() override { return false; }
    int RunUpdateFwWindow() override { return 0; }
    void CloseUpdateFwWindow() override {}
    void OpenSceneWindow(controller::SceneWindowMode) override {}
    void OpenPreferenceWindow() override {}
    void OpenMemoryWindow() override {}
    void OpenPowerOffDelayWindow() override {}
    void OpenMixerWindow() override {}
    void CloseMixerWindow() override {}

    DragChart mChart;
    bool mPointerHeld = false;
    int mLoadingHidden = 0;
};

}  // namespace soak
