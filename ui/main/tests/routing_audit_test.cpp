// The routing audit: every control of the main page a user can act on, and
// every item of the main window's menus, reaches an action through the
// routing tables. A control added to the skin without a route fails here.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "main_window_fixture.h"
#include "toolkit/popup_menu.h"
#include "ui/main/main_wnd_routes.h"

namespace ui {
namespace {

using testing::MainWindowTest;

// The notifications a control of each kind sends when the user acts on it;
// one routed kind is enough (an option may be routed by its click or by
// its change of state, an edit by its commit or by its steps).
std::vector<RouteKind> KindsServing(const toolkit::Control& control) {
    switch (control.Kind()) {
        case toolkit::ControlKind::Button:
        case toolkit::ControlKind::Switch:
            return {RouteKind::Click};
        case toolkit::ControlKind::Option:
            return {RouteKind::Selection, RouteKind::Click};
        case toolkit::ControlKind::Slider:
            return {RouteKind::Slider};
        case toolkit::ControlKind::Edit:
            return {RouteKind::Commit, RouteKind::Step};
        case toolkit::ControlKind::Combo:
            return {RouteKind::ItemSelect};
        case toolkit::ControlKind::Custom:
            return control.Name() == "equalizer" ? std::vector{RouteKind::Chart}
                                                 : std::vector<RouteKind>{};
        default:
            return {};  // labels, containers, images: nothing to act on
    }
}

// Controls of the skin that need no route of the main window, and why.
const std::map<std::string, const char*> kCaptionButtons = {
    {"minbtn", "the toolkit minimises the window"},
    {"closebtn", "the close sequence runs in Notify"},
};

// Controls of features this model's record switches off: they stay hidden,
// and the test checks both the switch and that the control cannot be seen.
struct SwitchedOff {
    const char* name;
    bool switchedOn;
    const char* reason;
};
std::vector<SwitchedOff> SwitchedOffControls() {
    const app::ModelCfg& cfg = app::CurrentModelCfg();
    return {
        {"btn_channel_select", false, "the channel routing view of another model"},
        {"btn_auto_on", cfg.mENABLE_AUTO_ON, "the amplifier's automatic switch-on"},
        {"option_noise", cfg.mENABLE_NOISE_SWITCH, "the noise switch"},
        {"btn_costom_eq", cfg.mENABLE_CUSTOM_EQ, "the custom EQ window"},
        {"btn_link_select", cfg.mSELECT_LINK_CHANNEL, "the window choosing the linked outputs"},
    };
}

const SwitchedOff* FindSwitchedOff(const std::vector<SwitchedOff>& list, const std::string& name) {
    for (const SwitchedOff& entry : list) {
        if (name == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

bool IsRouted(const toolkit::Control& control) {
    for (RouteKind kind : KindsServing(control)) {
        if (MainWndRoutes::IsRouted(kind, control.Name())) {
            return true;
        }
    }
    return false;
}

class RoutingAuditTest : public MainWindowTest {};

TEST_F(RoutingAuditTest, EveryControlOfTheMainPageIsRouted) {
    ASSERT_TRUE(StartAndSync());
    const std::vector<SwitchedOff> switchedOff = SwitchedOffControls();
    size_t audited = 0;
    for (const toolkit::Control* control : mWindow->Controls()) {
        if (KindsServing(*control).empty() || control->Name().empty() ||
            kCaptionButtons.count(control->Name()) != 0) {
            continue;
        }
        if (const SwitchedOff* feature = FindSwitchedOff(switchedOff, control->Name())) {
            EXPECT_FALSE(feature->switchedOn) << control->Name() << ": " << feature->reason
                                              << " is on in this model, so it needs a route";
            EXPECT_FALSE(control->Widget()->isVisible()) << control->Name() << " is shown";
            continue;
        }
        ++audited;
        EXPECT_TRUE(IsRouted(*control)) << control->Name() << " has no route";
    }
    // The catalogue holds hundreds of controls (21 bands, 10 outputs); a
    // walk that finds few has not seen the page.
    EXPECT_GT(audited, 300u);
}

TEST_F(RoutingAuditTest, EveryItemOfTheMenusIsRouted) {
    ASSERT_TRUE(StartAndSync());
    const char* menus[] = {
        "xml/option_menu.xml",           "xml/scene_menu.xml",  "xml/advance_menu.xml",
        "xml/source_menu.xml",           "xml/output_menu.xml", "xml/link_group_menu.xml",
        "xml/delay_link_group_menu.xml",
    };
    for (const char* layout : menus) {
        toolkit::PopupMenu menu;
        ASSERT_TRUE(menu.Load(*mWindow, layout)) << layout;
        const std::vector<std::string> items = menu.ItemNames();
        EXPECT_FALSE(items.empty()) << layout;
        for (const std::string& item : items) {
            if (item == "option_item_language_menu") {
                continue;  // it holds the language items' submenu
            }
            EXPECT_TRUE(MainWndRoutes::IsRouted(RouteKind::MenuItem, item))
                << item << " of " << layout << " has no route";
        }
    }
}

}  // namespace
}  // namespace ui
