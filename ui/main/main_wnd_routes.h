// The main window's routing tables, one per kind of notification, and the
// question the routing audit asks of them: does a notification of this kind
// from this control reach an action?
#pragma once

#include <span>
#include <string>

#include "toolkit/control_access.h"
#include "ui/main/route_table.h"

namespace ui {

enum class RouteKind {
    Click,        // buttons, options, switches
    DoubleClick,  // the device list
    Selection,    // options changing state
    Slider,       // slider moves and drags
    Step,         // the up and down steps of a value edit
    Commit,       // Enter or focus loss in an edit
    ItemSelect,   // combos
    Chart,        // the EQ chart's drags
    MenuItem,     // items of the popup menus
};

struct MainWndRoutes {
    using ByNotification = RouteOf<const toolkit::Notification&, int>;
    using ByIndex = RouteOf<int>;
    using ByIndexAndFlag = RouteOf<int, bool>;
    using ByMenuItem = RouteOf<const toolkit::MenuClick&>;

    static std::span<const ByNotification> Clicks();
    static std::span<const ByNotification> DoubleClicks();
    static std::span<const ByNotification> Selections();
    static std::span<const ByIndex> Sliders();
    static std::span<const ByIndexAndFlag> Steps();    // the flag: up
    static std::span<const ByIndex> BandReturns();     // Enter in a band edit
    static std::span<const ByIndexAndFlag> Commits();  // the flag: Enter
    static std::span<const ByIndex> ItemSelections();
    static std::span<const ByNotification> Charts();
    static std::span<const ByMenuItem> MenuItems();

    static bool IsRouted(RouteKind kind, const std::string& name);
};

}  // namespace ui
