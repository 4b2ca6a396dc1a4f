// The main window's menus: the popup menus of the top bar and of the output
// strip, and the table that routes their items.
#include <QCursor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/log.h"
#include "app/model_cfg.h"
#include "model/output_type.h"
#include "toolkit/popup_menu.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/distances_window.h"
#include "ui/dialogs/filter_import_window.h"
#include "ui/dialogs/memory_window.h"
#include "ui/dialogs/poweroff_delay_window.h"
#include "ui/dialogs/preference_window.h"
#include "ui/main/main_wnd.h"
#include "ui/main/main_wnd_routes.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

}  // namespace

void CMainWnd::OnMenuClick(const std::unique_ptr<platform::PostedRecord>& record) {
    const toolkit::MenuClick* click = platform::RecordValue<toolkit::MenuClick>(record);
    if (click == nullptr) {
        return;
    }
    app::Log("on menu click %s\n", click->name.c_str());
    RunRoute(MainWndRoutes::MenuItems(), click->name, *this, *click);
}

// The menus of the top bar open below their button, left edges together.
bool CMainWnd::LoadMenu(const char* layout) {
    mMenu = std::make_unique<toolkit::PopupMenu>();
    if (!mMenu->Load(*this, layout)) {
        mMenu.reset();
        return false;
    }
    return true;
}

void CMainWnd::OpenMenuBelow(const toolkit::Control& button) {
    QWidget* widget = button.Widget();
    QPoint anchor =
        widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QCursor::pos();
    mMenu->Open(anchor, toolkit::MenuAlign::BelowLeft);
}

void CMainWnd::OpenSourceMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/source_menu.xml")) {
        return;
    }
    mManager->PrepareSourceMenu([this](const std::string& name) { return mMenu->FindItem(name); });
    OpenMenuBelow(button);
}

void CMainWnd::OpenOptionMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/option_menu.xml")) {
        return;
    }
    // The factory default is the amplifier's; without one there is nothing to reset.
    if (toolkit::ControlHandle* item = mMenu->FindItem("option_item_reset_default")) {
        item->SetEnabled(mManager->Link().IsConnected());
    }
    OpenMenuBelow(button);
}

// Each item is offered as the model's record allows; what the record switches
// off stays hidden. The windows not built yet are shown disabled.
void CMainWnd::OpenAdvanceMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/advance_menu.xml")) {
        return;
    }
    const app::ModelCfg& cfg = Cfg();
    struct ItemRule {
        const char* name;
        bool offered;
        bool built;
    };
    const ItemRule rules[] = {
        {"advance_item_autocal", cfg.mENABLE_AUTO_CALIBRATION, true},
        {"advance_item_distances", true, true},
        {"advance_item_mixer", cfg.mENABLE_INPUT_MIXER || cfg.mENABLE_MIXER_BUTTON, true},
        {"advance_item_noise_threshold", cfg.mENABLE_NOISE_THRESHOLD, true},
        {"advance_item_poweroff_delay", cfg.mENABLE_POWEROFF_DELAY, true},
        {"advance_item_ktv", cfg.mENABLE_KTV, true},
        {"advance_item_compressor",
         cfg.mENABLE_COMPRESSOR || cfg.mENABLE_COMPRESSOR2 || cfg.mENABLE_COMPRESSOR_ON, true},
        {"advance_item_compressors_on", cfg.mENABLE_COMPRESSOR2 || cfg.mENABLE_COMPRESSOR_ON, true},
        {"advance_item_cs_auto", cfg.mENABLE_CS_AUTO, true},
    };
    for (const ItemRule& rule : rules) {
        if (toolkit::ControlHandle* item = mMenu->FindItem(rule.name)) {
            item->SetVisible(rule.offered);
            item->SetEnabled(rule.offered && rule.built);
        }
    }
    OpenMenuBelow(button);
}

// The compressor item opens the compressor window of the current output on
// models with compressors of either type, the window of the on/off switches
// on a model that has only those.
void CMainWnd::OpenCompressorFromMenu() {
    if (Cfg().mENABLE_COMPRESSOR || Cfg().mENABLE_COMPRESSOR2) {
        mManager->OpenCompressorWindow();
    } else {
        mManager->OpenCompressorsOnWindow();
    }
}

// Every open window shows the new language at once; the choice is kept in
// the settings file.
void CMainWnd::SwitchLanguageTo(const std::string& language, const std::string& storedValue) {
    if (ui::SwitchLanguage(language, storedValue)) {
        if (QWidget* widget = Widget()) {
            widget->update();
        }
    }
}

void CMainWnd::OpenAbout() {
    const model::Profile& profile = mManager->WorkingProfile();
    DeviceVersion device;
    if (mManager->Link().IsConnected() && profile.deviceModel != -1) {
        device = {profile.deviceModel, profile.fwMainVersion, profile.fwSlaveVersion};
    }
    CAboutWnd about(app::CurrentModelCfg(), device);
    about.Prepare(this);
    about.RunModal();
}

// The service windows run over the main window until the user closes them.
void CMainWnd::OpenPreferenceWindow() {
    ui::OpenPreferenceWindow(this, *mManager);
}

void CMainWnd::OpenMemoryWindow() {
    ui::OpenMemoryWindow(this, mManager->Link());
}

// Without an amplifier the delays go into the working profile only.
void CMainWnd::OpenDistancesWindow() {
    ui::OpenDistancesWindow(this, *mManager, *this);
}

void CMainWnd::OpenPowerOffDelayWindow() {
    ui::OpenPowerOffDelayWindow(this, *mManager);
}

bool CMainWnd::AskToApplyFilters(const model::FilterImportSummary& summary) {
    return ui::RunFilterImportWindow(this, summary);
}

// The scene menu opens as the option menu does. The items that need the
// amplifier are disabled while none is connected.
void CMainWnd::OpenSceneMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/scene_menu.xml")) {
        return;
    }
    const bool connected = mManager->Link().IsConnected();
    for (const char* name :
         {"scene_item_load_scene", "scene_item_saveas_scene", "scene_item_delete_scene"}) {
        if (toolkit::ControlHandle* item = mMenu->FindItem(name)) {
            item->SetEnabled(connected);
        }
    }
    OpenMenuBelow(button);
}

// Whether a point on the screen lies in the right half of the main window.
bool CMainWnd::InRightHalf(QPoint point) const {
    QWidget* widget = Widget();
    return widget != nullptr && widget->mapFromGlobal(point).x() > widget->width() / 2;
}

// The group menus open above the channel's link option. The click has
// already flipped the option; it shows the channel's group again until an
// item is chosen, so a menu closed without a choice changes nothing.
void CMainWnd::OpenGroupMenu(int channel, const char* anchorFormat, const char* layout,
                             bool grouped, bool rightAligned) {
    char name[32];
    std::snprintf(name, sizeof name, anchorFormat, channel);
    toolkit::Control* anchorControl = Find(name);
    if (anchorControl != nullptr) {
        anchorControl->SetSelected(grouped, false);
    }
    mMenuChannel = channel;
    mMenu = std::make_unique<toolkit::PopupMenu>();
    if (!mMenu->Load(*this, layout)) {
        mMenu.reset();
        return;
    }
    QWidget* widget = anchorControl != nullptr ? anchorControl->Widget() : nullptr;
    QPoint anchor = widget != nullptr ? widget->mapToGlobal(QPoint(0, 0)) : QCursor::pos();
    mMenu->Open(anchor, rightAligned && InRightHalf(anchor) ? toolkit::MenuAlign::AboveRight
                                                            : toolkit::MenuAlign::AboveLeft);
}

void CMainWnd::OpenDelayLinkMenu(int channel) {
    const size_t slot = static_cast<size_t>(channel);
    OpenGroupMenu(
        channel, "delay_link_%d", "xml/delay_link_group_menu.xml",
        slot < model::kOutputSlots && mManager->WorkingProfile().delayLinkGroup[slot] >= 1, false);
}

// Only models with link groups offer it; the others link by a plain toggle.
void CMainWnd::OpenLinkGroupMenu(int channel) {
    const size_t slot = static_cast<size_t>(channel);
    OpenGroupMenu(channel, "ch_synchronize_%d", "xml/link_group_menu.xml",
                  slot < model::kOutputSlots && mManager->WorkingProfile().linkGroup[slot] >= 1,
                  true);
}

void CMainWnd::OpenOutputMenu(int channel, const toolkit::Control& button) {
    mMenu = std::make_unique<toolkit::PopupMenu>();
    if (!mMenu->Load(*this, "xml/output_menu.xml")) {
        mMenu.reset();
        return;
    }
    const model::Profile& profile = mManager->WorkingProfile();
    for (int t = 0; t <= model::kMaxOutputType; ++t) {
        const char* key = model::outputTypeKey(t);
        toolkit::ControlHandle* item = key != nullptr ? mMenu->FindItem(key) : nullptr;
        if (item == nullptr) {
            continue;
        }
        item->SetImage(t > 0 && profile.containsOutputType(t) ? "right.png" : "");
        item->SetEnabled(profile.outputTypeSelectable(t, channel));
    }
    mMenu->SetRightHandPlacement(channel >= Cfg().mOUT_CHANNEL_NUMBER / 2);
    QWidget* widget = button.Widget();
    QPoint anchor =
        widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QCursor::pos();
    mMenu->Open(anchor, toolkit::MenuAlign::BelowLeft);
}

// The menu items: the first row whose name matches wins.
std::span<const MainWndRoutes::ByMenuItem> MainWndRoutes::MenuItems() {
    // The item's name is the language key of its output type.
    static constexpr auto kOutputType = [](CMainWnd& w, const toolkit::MenuClick& item) {
        w.mManager->SetOutputValue(w.mMenuChannel, item.name, false);
        if (w.mManager->WorkingProfile().bridgeOutputs[static_cast<size_t>(w.mMenuChannel / 2)] !=
            0) {
            w.mManager->SetOutputValue(w.mMenuChannel ^ 1, item.name, false);
        }
    };
    static const ByMenuItem kItems[] = {
        {"output_menu*", kOutputType},
        {"output_item*", kOutputType},
        {"source_item_*",
         [](CMainWnd& w, const toolkit::MenuClick& item) {
             const int source = std::atoi(item.userData.c_str());
             app::Log("source:%d\n", source);
             w.mManager->SetInputSourceTo(source);
         }},
        {"link_group_*",
         [](CMainWnd& w, const toolkit::MenuClick& item) {
             app::Log("%d: %s\n", w.mMenuChannel, item.name.c_str());
             char* end = nullptr;
             const long group = std::strtol(item.userData.c_str(), &end, 10);
             if (end != item.userData.c_str()) {
                 w.mManager->SetLinkGroup(w.mMenuChannel, static_cast<int>(group));
             }
         }},
        {"delay_link_group_*",
         [](CMainWnd& w, const toolkit::MenuClick& item) {
             app::Log("%d: %s\n", w.mMenuChannel, item.name.c_str());
             char* end = nullptr;
             const long group = std::strtol(item.userData.c_str(), &end, 10);
             if (end != item.userData.c_str()) {
                 w.mManager->SetDelayLinkGroup(w.mMenuChannel, static_cast<int>(group));
             }
         }},
        {"option_item_reset_default*",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->ResetMcuFactoryDefault(); }},
        {"option_item_firmware_upgrade*",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->OpenFirmwareUpdate(); }},
        {"option_item_about*", [](CMainWnd& w, const toolkit::MenuClick&) { w.OpenAbout(); }},
        // The languages: each item switches to its own unless it is current;
        // the toggle goes from Chinese to English and from any other to Chinese.
        {"option_item_language_en",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.SwitchLanguageTo("en", "0"); }},
        {"option_item_language_cn",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.SwitchLanguageTo("cn_zh", "1"); }},
        {"option_item_language_ru",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.SwitchLanguageTo("ru", "2"); }},
        {"option_item_language_de",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.SwitchLanguageTo("de", "3"); }},
        {"option_item_language",
         [](CMainWnd& w, const toolkit::MenuClick&) {
             const bool chinese = QString::fromStdString(toolkit::Texts().CurrentLanguage())
                                      .compare("cn_zh", Qt::CaseInsensitive) == 0;
             chinese ? w.SwitchLanguageTo("en", "0") : w.SwitchLanguageTo("cn_zh", "1");
         }},
        {"option_item_preference*",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.OpenPreferenceWindow(); }},
        // Offered only by a model whose record has the power-off delay.
        {"advance_item_poweroff_delay",
         [](CMainWnd& w, const toolkit::MenuClick&) {
             if (Cfg().mENABLE_POWEROFF_DELAY) {
                 w.OpenPowerOffDelayWindow();
             }
         }},
        {"advance_item_autocal",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->RunAutoCalibration(); }},
        {"advance_item_mixer",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->OpenMixer(); }},
        {"advance_item_distances",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.OpenDistancesWindow(); }},
        // The scene menu: the amplifier's scene slots.
        {"scene_item_load_scene",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->LoadSenceConfigFromDSP(); }},
        {"scene_item_saveas_scene",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->SaveSenceConfigToDSP(); }},
        {"scene_item_delete_scene",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->DeleteDSPSenceConfig(); }},
        {"scene_item_load_file",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->LoadSenceConfigFromFile(); }},
        {"scene_item_save_file",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->SaveSenceConfigToFile(); }},
        {"scene_item_load_whole",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->LoadWholeConfigFromFile(); }},
        {"scene_item_save_whole",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->SaveWholeConfigToFile(); }},
        // Filter files of the current output.
        {"scene_item_import_filters",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->ImportFilters(); }},
        {"scene_item_export_filters",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->ExportFilters(); }},
        // The advance menu.
        {"advance_item_noise_threshold",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.OpenNoiseThresholdWindow(); }},
        // Offered only by models whose record has these features; the
        // controller checks the record again before opening a window.
        {"advance_item_compressors_on",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->OpenCompressorsOnWindow(); }},
        {"advance_item_compressor",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.OpenCompressorFromMenu(); }},
        {"advance_item_ktv",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->OpenKtvWindow(); }},
        {"advance_item_cs_auto",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->OpenCsAutoWindow(); }},
    };
    return kItems;
}

}  // namespace ui
