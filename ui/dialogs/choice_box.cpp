#include "ui/dialogs/choice_box.h"

#include <QLabel>

#include "ui/dialogs/message_box.h"

namespace ui {

void CMsgCheckBoxWnd::SetTexts(const std::string& title, const std::string& message,
                               const std::string& choice0, const std::string& choice1) {
    if (toolkit::Control* label = Find("MessageTitle"); label != nullptr && !title.empty()) {
        label->SetText(title);
    }
    if (toolkit::Control* label = Find("MessageText"); label != nullptr && !message.empty()) {
        label->SetText(message);
        // A long message wraps within the label's width and may grow it
        // downwards, up to the options.
        if (auto* text = qobject_cast<QLabel*>(label->Widget())) {
            text->setWordWrap(true);
        }
    }
    if (!choice0.empty() && !choice1.empty()) {
        if (toolkit::Control* option = Find("check_box_0"))
            option->SetText(choice0);
        if (toolkit::Control* option = Find("check_box_1"))
            option->SetText(choice1);
    }
}

void CMsgCheckBoxWnd::Notify(const toolkit::Notification& notification) {
    if (IsClickOn(notification, "confirm_btn")) {
        toolkit::Control* first = Find("check_box_0");
        toolkit::Control* second = Find("check_box_1");
        if (first != nullptr && first->Selected()) {
            Close(kBoxConfirm);
        } else if (second != nullptr && second->Selected()) {
            Close(kBoxThird);
        }
    } else if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
    }
}

int ShowChoiceBox(toolkit::Window* owner, const std::string& title, const std::string& message,
                  const std::string& choice0, const std::string& choice1) {
    CMsgCheckBoxWnd box;
    box.CreateOver(owner, "XML_CHECKBOX_MSG");
    box.SetTexts(title, message, choice0, choice1);
    return box.RunModal();
}

}  // namespace ui
