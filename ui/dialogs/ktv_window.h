// The karaoke window: the microphone's feedback suppression and its volume,
// the music's volume, the voice changer, treble and bass, echo and reverb.
// Every change goes to the amplifier at once; its buttons only close it.
#pragma once

#include <memory>

#include "controller/equalizer_manager.h"
#include "controller/ktv_panel.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CKtvWnd : public DialogFrame {
public:
    explicit CKtvWnd(controller::EqualizerManager& manager);

    // Builds the window over its owner and shows the working profile's
    // karaoke values.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    controller::EqualizerManager& mManager;
    std::unique_ptr<controller::KtvPanel> mPanel;
};

// Opens the karaoke window over the owner and returns when it closed: 1
// after "confirm_btn", 0 otherwise.
int OpenKtvWindow(toolkit::Window* owner, controller::EqualizerManager& manager);

}  // namespace ui
