#include "ui/dialogs/noise_gate_window.h"

namespace ui {

CNoiseGateWnd::CNoiseGateWnd(controller::EqualizerManager& manager)
    : DialogFrame("NoiseGateWnd", "noise_gate_wnd"), mManager(manager) {}

void CNoiseGateWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_NOISE_GATE");
    mPanel = std::make_unique<controller::NoiseGatePanel>(mManager, *this);
    mPanel->Show();
}

void CNoiseGateWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "minbtn")) {
        DefaultNotify(notification);
        return;
    }
    if (IsClickOn(notification, "confirm_btn")) {
        Close(1);
    } else if (mPanel != nullptr) {
        mPanel->Handle(notification);
    }
    DefaultNotify(notification);  // "closebtn" closes with 0
}

int OpenNoiseGateWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CNoiseGateWnd window(manager);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
