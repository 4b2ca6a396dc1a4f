// The compressor window of the current output: its bypass state, the
// threshold, ratio, attack time, release time and soft knee, each on a
// slider and an edit, and the curve of the compressor's static
// characteristic. Every change goes to the amplifier at once; its buttons
// only close the window.
#pragma once

#include <memory>

#include "controller/compressor_panel.h"
#include "controller/equalizer_manager.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class UICompressorCurve;

class CCompressorWnd : public DialogFrame {
public:
    explicit CCompressorWnd(controller::EqualizerManager& manager);

    // Builds the window over its owner and shows the current output's
    // compressor.
    void Prepare(toolkit::Window* owner);
    const controller::CompressorPanel* Panel() const { return mPanel.get(); }
    // The curve, or nullptr when the layout has none.
    UICompressorCurve* Curve() const;

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    controller::EqualizerManager& mManager;
    std::unique_ptr<controller::CompressorPanel> mPanel;
};

// Opens the window over the owner and returns when it closed: 1 after
// "confirm_btn", 0 otherwise.
int OpenCompressorWindow(toolkit::Window* owner, controller::EqualizerManager& manager);

}  // namespace ui
