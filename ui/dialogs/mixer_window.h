// The mixer window: the input-to-output matrix of the current source, with
// the inputs' phase switches and clip lamps, the outputs' clip lamps and
// bridge switches, and the cross-source rows. The controller's Mixer does
// the work; this window lays the rows out for the source, sizes itself for
// them and runs the clip-lamp timer while it is open.
#pragma once

#include <memory>

#include "controller/equalizer_manager.h"
#include "controller/mixer.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CMixerWnd : public DialogFrame {
public:
    CMixerWnd(controller::EqualizerManager& manager, int source);
    ~CMixerWnd() override;

    // Builds the window over its owner, fills it and starts the lamp timer.
    void Prepare(toolkit::Window* owner);
    int Run();

    const controller::Mixer& Mixer() const { return *mMixer; }

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnTimer(int id) override;

private:
    void StackRows();
    void ShowTitle();

    controller::EqualizerManager& mManager;
    const int mSource;
    std::unique_ptr<controller::Mixer> mMixer;
    bool mTimerStarted = false;
};

// Runs the mixer window of the working profile's source over the owner and
// returns its result. While it runs it is the program's one open mixer.
int OpenMixerWindow(toolkit::Window* owner, controller::EqualizerManager& manager);
// Closes the open mixer window with result 1; nothing when none is open.
void CloseOpenMixerWindow();
// The open mixer window, or nullptr.
CMixerWnd* OpenMixer();

}  // namespace ui
