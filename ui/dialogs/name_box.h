// The name box: edits a scene name of at most 7 characters. Enter in the
// edit or "confirm_btn" stores the text and closes with 1; "cancel_btn" and
// "closebtn" close with 0, "third_btn" with 2, leaving the name as it was.
#pragma once

#include <string>

#include "ui/dialogs/dialog_frame.h"

namespace ui {

// The name buffer: 7 UTF-16 units and a terminator.
inline constexpr size_t kNameBufferUnits = 8;
inline constexpr int kMaxNameChars = 7;

class CNameMsgWnd : public DialogFrame {
public:
    explicit CNameMsgWnd(char16_t (&name)[kNameBufferUnits]);
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnKeyDown(int key) override;

private:
    void StoreName();
    char16_t (&mName)[kNameBufferUnits];
};

int ShowNameBox(toolkit::Window* owner, char16_t (&name)[kNameBufferUnits]);

}  // namespace ui
