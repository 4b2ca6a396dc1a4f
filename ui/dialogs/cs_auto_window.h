// The centre/surround upmix window: eleven switches, nine levels and four
// selections, all one block the controller keeps and sends whole on every
// change, and a button that puts the defaults back. Its buttons only close
// it: cancel and close with 0, confirm with 1, the third button with 2.
#pragma once

#include <memory>

#include "controller/cs_auto_panel.h"
#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CSAutoWnd : public DialogFrame {
public:
    CSAutoWnd(controller::EqualizerManager& manager, controller::UiServices& ui);

    // Builds the window over its owner and shows the block.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    controller::EqualizerManager& mManager;
    controller::UiServices& mUi;
    std::unique_ptr<controller::CsAutoPanel> mPanel;
};

// Opens the upmix window over the owner and returns the code it was closed
// with.
int OpenCsAutoWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                     controller::UiServices& ui);

}  // namespace ui
