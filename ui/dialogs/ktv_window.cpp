#include "ui/dialogs/ktv_window.h"

namespace ui {

CKtvWnd::CKtvWnd(controller::EqualizerManager& manager)
    : DialogFrame("KtvWnd", "msgwnd"), mManager(manager) {}

void CKtvWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_KTV");
    mPanel = std::make_unique<controller::KtvPanel>(mManager, *this);
    mPanel->Show();
}

void CKtvWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "confirm_btn")) {
        Close(1);
        return;
    }
    if (IsClickOn(notification, "closebtn")) {
        Close(0);
        return;
    }
    if (mPanel != nullptr) {
        mPanel->Handle(notification);
    }
    DefaultNotify(notification);
}

int OpenKtvWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CKtvWnd window(manager);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
