#include "ui/dialogs/distances_window.h"

#include "ui/dialogs/message_box.h"

namespace ui {

CDistancesWnd::CDistancesWnd(controller::EqualizerManager& manager, controller::UiServices& ui)
    : DialogFrame("DistancesWnd", "distanceswnd"), mManager(manager), mUi(ui) {}

void CDistancesWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_DISTANCES");
    mPanel = std::make_unique<controller::DistancesPanel>(mManager, mUi, *this);
    mPanel->Open();
}

void CDistancesWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (mPanel == nullptr || !mPanel->IsOpen()) {
        DefaultNotify(notification);
        return;
    }
    if (IsClickOn(notification, controller::distances::kApplyButton)) {
        // A distance that cannot be read keeps the window open to correct it.
        if (mPanel->Apply()) {
            Close(kBoxConfirm);
        }
        return;
    }
    if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
        return;
    }
    mPanel->Handle(notification);
    DefaultNotify(notification);
}

int OpenDistancesWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                        controller::UiServices& ui) {
    CDistancesWnd window(manager, ui);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
