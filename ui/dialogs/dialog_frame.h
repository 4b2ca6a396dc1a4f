// The common frame of the program's small modal windows: a popup owned by
// its owner window, the display scale of the monitor rule, centred over the
// owner, "closebtn" closing with code 0, and every notification logged.
#pragma once

#include <string>

#include "toolkit/window.h"

namespace ui {

class DialogFrame : public toolkit::Window {
public:
    DialogFrame(std::string className, std::string title);

    // Builds the window from its layout identifier over the owner and
    // centres it; a missing layout ends the program.
    void CreateOver(toolkit::Window* owner, const std::string& layoutId);

protected:
    // Logs "Notify %s\n"; the caller handles the rest.
    void LogNotification(const toolkit::Notification& notification) const;
    // Whether the notification is a click on the control of this name
    // (compared without regard to case).
    static bool IsClickOn(const toolkit::Notification& notification, const char* name);
};

}  // namespace ui
