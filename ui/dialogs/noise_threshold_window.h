// The input noise threshold window: a bar for the noise on each input of the
// current source, refreshed twice a second while an amplifier is connected,
// and the threshold below which the inputs count as silent.
#pragma once

#include <memory>

#include "controller/equalizer_manager.h"
#include "controller/noise_threshold_panel.h"
#include "controller/ui_services.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CNoiseThresholdWnd : public DialogFrame {
public:
    CNoiseThresholdWnd(controller::EqualizerManager& manager, controller::UiServices& ui);
    ~CNoiseThresholdWnd() override;

    // Builds the window over its owner, fits it to the source's inputs and
    // starts the poll.
    void Prepare(toolkit::Window* owner);
    const controller::NoiseThresholdPanel* Panel() const { return mPanel.get(); }

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;
    void OnTimer(int id) override;
    void OnKeyDown(int key) override;
    void OnCloseRequest() override;

private:
    void FitToInputs();
    void CloseWith(int code);

    controller::EqualizerManager& mManager;
    controller::UiServices& mUi;
    std::unique_ptr<controller::NoiseThresholdPanel> mPanel;
};

// Opens the window over the owner and returns when it closed.
int OpenNoiseThresholdWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                             controller::UiServices& ui);

}  // namespace ui
