// What the program hears of the user's actions as a whole, apart from what
// each control says: when a window starts and ends handling a notification,
// and when the last mouse button goes up. The edit history builds its steps
// on these: everything a notification changes is one step, and a drag is one
// step from the press to the release. Free of Qt, so the controller can use it.
#pragma once

namespace toolkit {

class UserActionObserver {
public:
    virtual ~UserActionObserver() = default;
    // Around every notification a window handles. A notification raised
    // while another is handled (a modal window's, a control set by code)
    // nests inside it.
    virtual void BeforeNotification() = 0;
    virtual void AfterNotification() = 0;
    // The last mouse button went up, after the control under it handled it.
    virtual void PointerReleased() = 0;
};

// One observer at a time; nullptr stops the reports.
void SetUserActionObserver(UserActionObserver* observer);
UserActionObserver* CurrentUserActionObserver();

// A mouse button is down anywhere in the program.
bool IsPointerHeld();

}  // namespace toolkit
