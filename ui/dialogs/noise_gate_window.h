// The noise gate window: the output noise gate's switch, threshold and the
// gain of its dynamic-range stage. Every change goes to the amplifier at
// once; its buttons only close the window.
#pragma once

#include <memory>

#include "controller/equalizer_manager.h"
#include "controller/noise_gate_panel.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CNoiseGateWnd : public DialogFrame {
public:
    explicit CNoiseGateWnd(controller::EqualizerManager& manager);

    // Builds the window over its owner and shows the working profile's gate.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    controller::EqualizerManager& mManager;
    std::unique_ptr<controller::NoiseGatePanel> mPanel;
};

// Opens the noise gate window over the owner and returns when it closed:
// 1 after "confirm_btn", 0 otherwise.
int OpenNoiseGateWindow(toolkit::Window* owner, controller::EqualizerManager& manager);

}  // namespace ui
