// The two-choice box: a message and two options. "confirm_btn" closes with
// 1 when the first option is selected, 2 when the second is, and does nothing
// while neither is; "cancel_btn" and "closebtn" close with 0.
#pragma once

#include <string>

#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CMsgCheckBoxWnd : public DialogFrame {
public:
    CMsgCheckBoxWnd() : DialogFrame("MsgCheckBoxWnd", "msgcbwnd") {}
    void SetTexts(const std::string& title, const std::string& message, const std::string& choice0,
                  const std::string& choice1);

protected:
    void Notify(const toolkit::Notification& notification) override;
};

int ShowChoiceBox(toolkit::Window* owner, const std::string& title, const std::string& message,
                  const std::string& choice0, const std::string& choice1);

}  // namespace ui
