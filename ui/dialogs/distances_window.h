// The distances window: the installer types how far each output's speaker is
// from the listener, sees the delay each distance gives, and Apply sets them
// all so that every speaker's sound arrives together. Cancel and the close
// button change nothing.
#pragma once

#include <memory>

#include "controller/distances_panel.h"
#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CDistancesWnd : public DialogFrame {
public:
    CDistancesWnd(controller::EqualizerManager& manager, controller::UiServices& ui);

    // Builds the window over its owner and shows the kept distances.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    controller::EqualizerManager& mManager;
    controller::UiServices& mUi;
    std::unique_ptr<controller::DistancesPanel> mPanel;
};

// Opens the distances window over the owner; 1 when the delays were set,
// else 0.
int OpenDistancesWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                        controller::UiServices& ui);

}  // namespace ui
