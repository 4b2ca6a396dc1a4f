#include "ui/dialogs/message_box.h"

namespace ui {

void CMsgWnd::SetTexts(const std::string& title, const std::string& message) {
    if (toolkit::Control* label = Find("MessageTitle"); label != nullptr && !title.empty()) {
        label->SetText(title);
    }
    if (toolkit::Control* label = Find("MessageText"); label != nullptr && !message.empty()) {
        label->SetText(message);
    }
}

void CMsgWnd::SetButtons(const std::array<std::string, 3>& labels, int count) {
    if (toolkit::Control* confirm = Find("confirm_btn")) {
        confirm->SetText(labels[0]);
    }
    if (toolkit::Control* cancel = Find("cancel_btn")) {
        if (count < 2) {
            cancel->SetVisible(false);
        } else {
            cancel->SetText(labels[1]);
        }
    }
    if (toolkit::Control* third = Find("third_btn"); third != nullptr && count >= 3) {
        third->SetText(labels[2]);
        third->SetVisible(true);
    }
}

void CMsgWnd::Notify(const toolkit::Notification& notification) {
    if (IsClickOn(notification, "confirm_btn")) {
        Close(kBoxConfirm);
    } else if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
    } else if (IsClickOn(notification, "third_btn")) {
        Close(kBoxThird);
    }
}

int ShowMessageBox(toolkit::Window* owner, const std::string& title, const std::string& message,
                   const std::array<std::string, 3>& labels, int count) {
    CMsgWnd box;
    box.CreateOver(owner, "XML_MSG");
    box.SetTexts(title, message);
    box.SetButtons(labels, count);
    return box.RunModal();
}

int ShowMessage(toolkit::Window* owner, const std::string& title, const std::string& message) {
    return ShowMessageBox(owner, title, message, {"${confirm}", "", ""}, 1);
}

int ShowConfirmBox(toolkit::Window* owner, const std::string& title, const std::string& message) {
    CMsgWnd box;
    box.CreateOver(owner, "XML_MSG");
    box.SetTexts(title, message);
    return box.RunModal();
}

}  // namespace ui
