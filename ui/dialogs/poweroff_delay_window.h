// The power-off delay window: how long the amplifier stays on after its
// switch-on signal goes away, 0..1000 ms, typed, stepped or dragged. Every
// change is kept in the working profile and sent to the amplifier at once;
// a typed text without a number sends nothing and shows the delay again.
#pragma once

#include "controller/equalizer_manager.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

inline constexpr int kPowerOffDelayMaxMs = 1000;

class CPowerOffDelayWnd : public DialogFrame {
public:
    explicit CPowerOffDelayWnd(controller::EqualizerManager& manager);
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnKeyDown(int key) override;

private:
    void ApplyEdit();
    void Step(int by);
    void ApplySlider();
    // Keeps and sends the delay and shows it in the edit, focused and
    // selected for the next entry.
    void Apply(int milliseconds, bool moveSlider);
    void ShowDelay(int milliseconds);
    void ShowProblem(bool shown);

    controller::EqualizerManager& mManager;
};

// Opens the power-off delay window over the owner and returns when it closed.
int OpenPowerOffDelayWindow(toolkit::Window* owner, controller::EqualizerManager& manager);

}  // namespace ui
