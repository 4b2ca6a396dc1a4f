// The automatic calibration window: the channels, the test modules and the
// EQ mode of a run, the chart of the measured, corrected and target curves,
// the run's status and progress, and the buttons that start or stop the run
// and apply or discard its result. While it is open the main window is
// minimised; the window stands on its own so that it stays in view.
#pragma once

#include <memory>

#include "controller/auto_cal_panel.h"
#include "controller/equalizer_manager.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CAutoCalWnd : public DialogFrame, private controller::AutoCalQuestions {
public:
    explicit CAutoCalWnd(controller::EqualizerManager& manager,
                         controller::AutoCalTimings timings = {});
    // Stops a run under way, waits for its worker and lets go of the link's
    // calibration reports.
    ~CAutoCalWnd() override;

    // Builds the window centred over the owner (which it does not belong
    // to) and prepares the run's controls and curves.
    void Prepare(toolkit::Window* owner);
    const controller::AutoCalPanel* Panel() const { return mPanel.get(); }

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;
    void OnCloseRequest() override;

private:
    // controller::AutoCalQuestions: the boxes appear over this window.
    bool Ask(const std::string& text, const std::string& first, const std::string& second) override;
    void Tell(const std::string& text) override;
    bool Confirm(const std::string& text) override;

    void CloseAsked();

    controller::EqualizerManager& mManager;
    controller::AutoCalTimings mTimings;
    std::unique_ptr<controller::AutoCalPanel> mPanel;
};

// Runs the window while the owner is minimised, until it closes; 1 when the
// amplifier may have taken a new calibration, else 0.
int RunAutoCalWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                     controller::AutoCalTimings timings = {});
// Ends the open window with 0 (nothing when none is open).
void CloseOpenAutoCalWindow();
// The open window, or nullptr.
CAutoCalWnd* OpenAutoCalWindow();

}  // namespace ui
