// What code outside the user interface (the controller) needs of windows and
// their controls, with no Qt type in sight: controls found by name, their
// text, value, state and items, window timers, and the notification record.
#pragma once

#include <cstdint>
#include <string>

#include "platform/message_post.h"

namespace toolkit {

enum class ControlKind {
    Label,
    Button,
    Option,
    Switch,
    Slider,
    Edit,
    Combo,
    List,
    Container,
    TabLayout,
    Progress,
    Image,
    Custom,
    MenuItem,
};

// One control of a window, addressed by its name. Texts are UTF-8 and kept
// untranslated: "${confirm}" is stored as written and shown translated.
// Operations that do not apply to a control's kind do nothing and read as
// empty, 0 or false.
class ControlHandle {
public:
    virtual ~ControlHandle() = default;

    virtual const std::string& Name() const = 0;
    virtual ControlKind Kind() const = 0;

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string UserData() const = 0;
    // The user data as an integer, -1 when it is not one.
    virtual int UserDataInt() const = 0;
    virtual void SetUserData(const std::string& data) = 0;
    virtual void SetToolTip(const std::string& text) = 0;

    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Options and switches; notify raises "selectchanged" when the state
    // changes.
    virtual bool Selected() const = 0;
    virtual void SetSelected(bool selected, bool notify = true) = 0;
    // 0xAARRGGBB; 0 when the theme's colour is in use.
    virtual uint32_t TextColor() const = 0;
    virtual void SetTextColor(uint32_t argb) = 0;
    // Background image by name in the skin ("" removes it).
    virtual void SetImage(const std::string& imageName) = 0;
    // Background colour, 0xAARRGGBB; an alpha of 0 shows no colour.
    virtual void SetBkColor(uint32_t argb) = 0;

    // Sliders and progress bars (for a tab layout: the shown page). Setting a
    // value never raises a notification.
    virtual int Value() const = 0;
    virtual void SetValue(int value) = 0;
    virtual int Minimum() const = 0;
    virtual int Maximum() const = 0;
    virtual void SetRange(int minimum, int maximum) = 0;

    // Combos and lists.
    virtual void ClearItems() = 0;
    virtual void AddItem(const std::string& text, const std::string& userData) = 0;
    virtual int ItemCount() const = 0;
    virtual std::string ItemText(int index) const = 0;
    virtual std::string ItemUserData(int index) const = 0;
    virtual int SelectedIndex() const = 0;
    // notify raises "itemselect".
    virtual void SelectItem(int index, bool notify = false) = 0;
    // A hidden item of a combo cannot be chosen; it keeps its index.
    virtual void SetItemVisible(int index, bool visible) = 0;
    virtual bool ItemVisible(int index) const = 0;

    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;
    // Edits: select the whole text.
    virtual void SelectAllText() = 0;
    // Acts as a user's click would: an option becomes selected and a "click"
    // notification follows.
    virtual void Activate() = 0;
};

// A notification: one user action on one control.
struct Notification {
    std::string type;  // "click", "selectchanged", "itemselect", ...
    ControlHandle* sender = nullptr;
    std::string name;
    std::string userData;
    int userDataInt = -1;
};

// Notification types raised by the toolkit's controls.
inline constexpr const char* kNotifyClick = "click";
inline constexpr const char* kNotifySelectChanged = "selectchanged";
inline constexpr const char* kNotifyItemSelect = "itemselect";
inline constexpr const char* kNotifyItemClick = "itemclick";
inline constexpr const char* kNotifyValueChanged = "valuechanged";
inline constexpr const char* kNotifyMoveValueChanged = "movevaluechanged";
inline constexpr const char* kNotifyReturn = "return";
inline constexpr const char* kNotifyKillFocus = "killfocus";
inline constexpr const char* kNotifySetFocus = "setfocus";
inline constexpr const char* kNotifyDbClick = "dbclick";
inline constexpr const char* kNotifyValueChangedUp = "valuechangedup";
inline constexpr const char* kNotifyValueChangedDown = "valuechangeddown";
inline constexpr const char* kNotifyValueChangedLeft = "valuechangedleft";
inline constexpr const char* kNotifyValueChangedRight = "valuechangedright";
inline constexpr const char* kNotifyWindowSize = "windowsize";  // from the window itself

// A window as seen from outside the user interface.
class ControlAccess {
public:
    virtual ~ControlAccess() = default;
    // nullptr when no control has that name.
    virtual ControlHandle* FindControl(const std::string& name) = 0;
    virtual platform::WindowHandle Handle() const = 0;
    virtual void SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;
    // Redraws every control's text in the current language.
    virtual void Retranslate() = 0;
};

// The record of the toolkit's menu-click message (posted to the menu's
// owner; the receiver owns it).
inline constexpr uint32_t WM_MENU_CLICK = 1027;
struct MenuClick {
    std::string name;
    std::string userData;
    std::string text;
};

}  // namespace toolkit
