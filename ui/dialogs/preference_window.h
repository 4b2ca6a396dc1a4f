// The preference window: whether outputs of a link group also follow each
// other's phase and mute, and which USB audio mode (USB audio or SCP) the
// amplifier's shared socket serves. The link options live in the controller
// and take effect at the next link operation; the USB mode is sent to the
// amplifier at once.
#pragma once

#include "controller/equalizer_manager.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CPreferenceWnd : public DialogFrame {
public:
    explicit CPreferenceWnd(controller::EqualizerManager& manager);

    // Builds the window over its owner and shows the controller's options
    // without raising a change.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;
    // The title-bar close and Alt+F4 close the window as its close button
    // does; they do not end the program.
    void OnCloseRequest() override;

private:
    void OnOptionChanged(const toolkit::Notification& notification);

    controller::EqualizerManager& mManager;
};

// Opens the preference window over the owner and returns when it closed.
int OpenPreferenceWindow(toolkit::Window* owner, controller::EqualizerManager& manager);

}  // namespace ui
