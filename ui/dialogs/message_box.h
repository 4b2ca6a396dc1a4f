// The message box every part of the program uses to tell the user something
// or to ask: up to three buttons, result 1 for "confirm_btn", 0 for
// "cancel_btn" or "closebtn", 2 for "third_btn". Texts may be language keys.
#pragma once

#include <array>
#include <string>

#include "ui/dialogs/dialog_frame.h"

namespace ui {

inline constexpr int kBoxConfirm = 1;
inline constexpr int kBoxCancel = 0;
inline constexpr int kBoxThird = 2;

class CMsgWnd : public DialogFrame {
public:
    CMsgWnd() : DialogFrame("MsgWnd", "msgwnd") {}
    // Sets the title and message (each only when not empty).
    void SetTexts(const std::string& title, const std::string& message);
    // "confirm_btn" gets label 0; below 2 buttons "cancel_btn" is hidden,
    // else it gets label 1; from 3 on "third_btn" gets label 2 and shows.
    void SetButtons(const std::array<std::string, 3>& labels, int count);

protected:
    void Notify(const toolkit::Notification& notification) override;
};

int ShowMessageBox(toolkit::Window* owner, const std::string& title, const std::string& message,
                   const std::array<std::string, 3>& labels, int count);
// The common case: one "${confirm}" button.
int ShowMessage(toolkit::Window* owner, const std::string& title, const std::string& message);
// The confirmation box: the layout's own "confirm_btn" and "cancel_btn".
int ShowConfirmBox(toolkit::Window* owner, const std::string& title, const std::string& message);

}  // namespace ui
