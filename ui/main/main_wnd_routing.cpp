// Every control notification of the main page becomes one controller call,
// through one routing table per kind of notification.
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <string>

#include "app/log.h"
#include "app/model_cfg.h"
#include "platform/text_util.h"
#include "ui/main/main_wnd.h"
#include "ui/main/main_wnd_routes.h"

namespace ui {
namespace {

using toolkit::Notification;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The index a control carries: its user data, else the number its name ends with.
int IndexOf(const Notification& n) {
    if (n.userDataInt >= 0) {
        return n.userDataInt;
    }
    size_t digits = n.name.find_last_not_of("0123456789");
    if (digits == std::string::npos || digits + 1 >= n.name.size()) {
        return -1;
    }
    return std::stoi(n.name.substr(digits + 1));
}

// The chart's notifications and what they are to the controller: the
// dragged element (0 a band, 1 the high-pass, 2 the low-pass) and whether the
// drag ended.
struct ChartNotification {
    const char* type;
    int kind;
    bool released;
};
constexpr ChartNotification kChartNotifications[] = {
    {"equalizer_eq", 0, false}, {"equalizer_eq_release", 0, true},
    {"equalizer_hp", 1, false}, {"equalizer_hp_release", 1, true},
    {"equalizer_lp", 2, false}, {"equalizer_lp_release", 2, true},
};

// The company's page, or the link button's own text when the model names none.
void OpenCompanyPage(const Notification& n) {
    std::u16string url(app::CurrentModelCfg().mCOMPANY_URL_STR);
    QString target = url.empty()
                         ? QString::fromUtf8(n.sender != nullptr ? n.sender->Text().c_str() : "")
                         : QString::fromUtf16(url.data(), static_cast<int>(url.size()));
    QDesktopServices::openUrl(QUrl(target));
}

}  // namespace

void CMainWnd::Notify(const Notification& n) {
    app::Log("Notify %s\n", n.type.c_str());
    const std::string& type = n.type;
    if (type == toolkit::kNotifyClick) {
        if (!OnClick(n)) {
            return;  // the minimise button is handled entirely
        }
    } else if (type == toolkit::kNotifyDbClick) {
        app::Log("on %s DUI_MSGTYPE_DBCLICK\n", n.name.c_str());
        RunRoute(MainWndRoutes::DoubleClicks(), n.name, *this, n, IndexOf(n));
    } else if (type == toolkit::kNotifySelectChanged) {
        OnSelectChanged(n);
    } else if (type == toolkit::kNotifyValueChanged || type == toolkit::kNotifyMoveValueChanged) {
        OnValueChanged(n);
    } else if (type == toolkit::kNotifyValueChangedUp || type == toolkit::kNotifyValueChangedDown) {
        OnValueStep(n, type == toolkit::kNotifyValueChangedUp);
    } else if (type == toolkit::kNotifyValueChangedLeft ||
               type == toolkit::kNotifyValueChangedRight) {
        const bool right = type == toolkit::kNotifyValueChangedRight;
        app::Log(right ? "on edit %s DUI_MSGTYPE_VALUECHANGED_RIGHT\n"
                       : "on edit %s DUI_MSGTYPE_VALUECHANGED_LEFT\n",
                 n.name.c_str());
        MoveFocusAlongTheEdits(n.name, right);
    } else if (type == toolkit::kNotifyReturn) {
        app::Log("on edit %s DUI_MSGTYPE_RETURN\n", n.name.c_str());
        OnCommit(n, true);
    } else if (type == toolkit::kNotifyKillFocus) {
        app::Log("on %s DUI_MSGTYPE_KILLFOCUS\n", n.name.c_str());
        OnCommit(n, false);
    } else if (type == toolkit::kNotifySetFocus) {
        app::Log("on %s DUI_MSGTYPE_SETFOCUS\n", n.name.c_str());
        OnSetFocus(n);
    } else if (type == toolkit::kNotifyItemSelect) {
        app::Log("on %s DUI_MSGTYPE_ITEMSELECT\n", n.name.c_str());
        OnItemSelect(n);
    } else if (type == toolkit::kNotifyWindowSize) {
        mManager->UpdateEqualizer(0);
    } else {
        RunRoute(MainWndRoutes::Charts(), n.name, *this, n, IndexOf(n));
    }
    if (n.name == "closebtn" && type == toolkit::kNotifyClick) {
        CloseProgram();
        return;
    }
    DefaultNotify(n);
}

// Returns false when the notification must not go on to the default handling.
bool CMainWnd::OnClick(const Notification& n) {
    if (platform::EqualsIgnoringCase(n.name, "minbtn")) {
        if (QWidget* widget = Widget()) {
            widget->showMinimized();
        }
        return false;
    }
    RunRoute(MainWndRoutes::Clicks(), n.name, *this, n, IndexOf(n));
    return true;
}

void CMainWnd::StepCurrentSpeakerDelay(bool up) {
    const int position = mManager->CurrentSpeakerPosition();
    if (position > 0) {
        mManager->StepSpeakerDelay(position, up);
    }
}

void CMainWnd::OnSelectChanged(const Notification& n) {
    const int index = IndexOf(n);
    app::Log("on option %s DUI_MSGTYPE_SELECTCHANGED index %d\n", n.name.c_str(), index);
    RunRoute(MainWndRoutes::Selections(), n.name, *this, n, index);
}

void CMainWnd::OnValueChanged(const Notification& n) {
    RunRoute(MainWndRoutes::Sliders(), n.name, *this, IndexOf(n));
}

void CMainWnd::OnValueStep(const Notification& n, bool up) {
    RunRoute(MainWndRoutes::Steps(), n.name, *this, IndexOf(n), up);
}

// Enter and focus loss both commit a typed value; Enter in a band edit first
// moves the focus along the band (the commit follows from the focus loss).
void CMainWnd::OnCommit(const Notification& n, bool isReturn) {
    if (isReturn && RunRoute(MainWndRoutes::BandReturns(), n.name, *this, IndexOf(n))) {
        return;
    }
    RunRoute(MainWndRoutes::Commits(), n.name, *this, IndexOf(n), isReturn);
}

void CMainWnd::FocusBandEdit(const char* format, int band) {
    char name[32];
    std::snprintf(name, sizeof name, format, band);
    if (toolkit::Control* edit = Find(name)) {
        edit->SetFocus();
        edit->SelectAllText();
    }
}

void CMainWnd::OnSetFocus(const Notification& n) {
    const std::string& name = n.name;
    const int index = IndexOf(n);
    if (!StartsWith(name, "edit_ch_delay_") && !StartsWith(name, "slider_ch_delay_")) {
        app::Log("on mSliderChDelay SetVisible false\n");
        mManager->HideDelaySliders();
    } else {
        mManager->ShowDelaySlider(index);
    }
    if (StartsWith(name, "eq_freq_") || StartsWith(name, "eq_q_") || StartsWith(name, "eq_gain_")) {
        app::Log("on eq %s setfocus index %d\n", name.c_str(), index);
        mManager->UpdateEqualizer(index);
    } else if (StartsWith(name, "spk_delay_")) {
        mManager->SetSpeakerFocus(index);
    } else if (StartsWith(name, "edit_ch_volume_") || StartsWith(name, "edit_ch_delay_") ||
               StartsWith(name, "slider_ch_volume_") || StartsWith(name, "slider_ch_delay_")) {
        if (index != mManager->CurrentChannel()) {
            char option[32];
            std::snprintf(option, sizeof option, "ch_enable_%d", index);
            if (toolkit::Control* select = Find(option)) {
                select->Activate();  // as if clicked: the channel becomes current
            } else {
                mManager->SetCurChannelChange(index);
            }
        }
    }
}

void CMainWnd::OnItemSelect(const Notification& n) {
    RunRoute(MainWndRoutes::ItemSelections(), n.name, *this, IndexOf(n));
}

// A band notification names its band in the chart's user data; a crossover
// drag needs no band, so only band notifications are dropped without one.
void CMainWnd::OnChartNotification(const Notification& n) {
    for (const ChartNotification& entry : kChartNotifications) {
        if (n.type != entry.type) {
            continue;
        }
        const int index = n.sender != nullptr ? n.sender->UserDataInt() : -1;
        app::Log("on DUI_MSGTYPE_EQUALIZERCHANGED index %d\n", index);
        if (entry.kind == 0 && index < 0) {
            return;
        }
        mManager->EqualizerCallback(index, entry.kind, entry.released);
        return;
    }
}

// The tables.

std::span<const MainWndRoutes::ByNotification> MainWndRoutes::Clicks() {
    static const ByNotification kClicks[] = {
        {"web_btn_1", [](CMainWnd&, const Notification& n, int) { OpenCompanyPage(n); }},
        {"ch_output_btn_",
         [](CMainWnd& w, const Notification& n, int i) {
             w.mMenuChannel = i;
             if (const toolkit::Control* button = w.Find(n.name)) {
                 w.OpenOutputMenu(i, *button);
             }
         }},
        {"btnConnect",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ConnectDevice(true); }},
        // The buttons and the window's keys (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y).
        {"btn_undo", [](CMainWnd& w, const Notification&, int) { w.mManager->Undo(); }},
        {"btn_redo", [](CMainWnd& w, const Notification&, int) { w.mManager->Redo(); }},
        {"btn_debug",
         [](CMainWnd& w, const Notification&, int) { w.mManager->OpenMemoryWindow(); }},
        {"btn_irc",
         [](CMainWnd& w, const Notification&, int) { w.mManager->RunAutoCalibration(); }},
        {"ch_select_0",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ShowChannelPage(0); }},
        {"ch_select_1",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ShowChannelPage(1); }},
        {"btn_reset_eq",
         [](CMainWnd& w, const Notification&, int) { w.mManager->SetOutputEqReset(); }},
        {"btn_bypass",
         [](CMainWnd& w, const Notification&, int) { w.mManager->SetOutputBypass(); }},
        {"btn_arg_eq", [](CMainWnd& w, const Notification&, int) { w.mManager->TogglePeqMode(); }},
        {"btn_link_output",
         [](CMainWnd& w, const Notification&, int) { w.mManager->SetOutputLink(); }},
        {"btn_lock_output",
         [](CMainWnd& w, const Notification&, int) { w.mManager->SetOutpuLock(); }},
        {"btn_reset_link", [](CMainWnd& w, const Notification&, int) { w.mManager->ResetLinks(); }},
        {"btn_reset_output",
         [](CMainWnd& w, const Notification&, int) { w.mManager->SetOutputReset(); }},
        {"ch_enable_",
         [](CMainWnd& w, const Notification&, int i) { w.mManager->SetCurChannelChange(i); }},
        {"ch_bridge_",
         [](CMainWnd& w, const Notification&, int i) { w.mManager->ToggleBridge(i); }},
        {"bridge_checkbox_",
         [](CMainWnd& w, const Notification&, int i) { w.mManager->ToggleBridge(i); }},
        {"speaker_",
         [](CMainWnd& w, const Notification&, int i) { w.mManager->SetSpeakerFocus(i); }},
        {"pt_enable_",
         [](CMainWnd& w, const Notification&, int i) { w.mManager->ToggleEqEnable(i); }},
        {"btn_delay_down",
         [](CMainWnd& w, const Notification&, int) { w.StepCurrentSpeakerDelay(false); }},
        {"btn_delay_up",
         [](CMainWnd& w, const Notification&, int) { w.StepCurrentSpeakerDelay(true); }},
        {"btn_amp_onoff", [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleAmp(); }},
        {"btn_rem_out1_onoff",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleRemOut1(); }},
        {"btn_rem_out2_onoff",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleRemOut2(); }},
        {"btn_2ohm_spk", [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleSpkOhm(); }},
        {"btn_2ohm_spk_13",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleSpkOhm13(); }},
        {"btn_2ohm_spk_21",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleSpkOhm21(); }},
        {"btn_noise_gate",
         [](CMainWnd& w, const Notification&, int) { w.mManager->ToggleNoiseGate(); }},
        {"win_btn_noise_gate",
         [](CMainWnd& w, const Notification&, int) { w.OpenNoiseGateWindow(); }},
        // Only on models with compressors; the controller checks the record.
        {"btn_compressor",
         [](CMainWnd& w, const Notification&, int) { w.mManager->OpenCompressorWindow(); }},
        {"btn_source",
         [](CMainWnd& w, const Notification& n, int) {
             if (const toolkit::Control* button = w.Find(n.name)) {
                 w.OpenSourceMenu(*button);
             }
         }},
        {"btn_option",
         [](CMainWnd& w, const Notification& n, int) {
             if (const toolkit::Control* button = w.Find(n.name)) {
                 w.OpenOptionMenu(*button);
             }
         }},
        {"btn_advance",
         [](CMainWnd& w, const Notification& n, int) {
             if (const toolkit::Control* button = w.Find(n.name)) {
                 w.OpenAdvanceMenu(*button);
             }
         }},
        {"btn_scene",
         [](CMainWnd& w, const Notification& n, int) {
             if (const toolkit::Control* button = w.Find(n.name)) {
                 w.OpenSceneMenu(*button);
             }
         }},
        // A slot never used shows "--:--" and loads nothing.
        {"autoSave*",
         [](CMainWnd& w, const Notification& n, int) {
             const std::string label = n.sender != nullptr ? n.sender->Text() : "";
             if (label != "--:--") {
                 w.mManager->LoadAutoSavedScene(label);
             }
         }},
    };
    return kClicks;
}

std::span<const MainWndRoutes::ByNotification> MainWndRoutes::Selections() {
    static const ByNotification kSelections[] = {
        {"ch_show_", [](CMainWnd& w, const Notification&, int i) { w.mManager->SetChShow(i); }},
        {"ch_mute", [](CMainWnd& w, const Notification&, int) { w.mManager->SetChMute(-1); }},
        {"ch_mute_", [](CMainWnd& w, const Notification&, int i) { w.mManager->SetChMute(i); }},
        {"ch_phase", [](CMainWnd& w, const Notification&, int) { w.mManager->SetChPhase(-1); }},
        {"ch_phase_", [](CMainWnd& w, const Notification&, int i) { w.mManager->SetChPhase(i); }},
        {"ch_solo_", [](CMainWnd& w, const Notification&, int i) { w.mManager->SetChSolo(i); }},
        {"main_mute*", [](CMainWnd& w, const Notification&, int) { w.mManager->SetMainMute(); }},
        {"enableAutoSave",
         [](CMainWnd& w, const Notification&, int) {
             const toolkit::Control* option = w.Find("enableAutoSave");
             w.mManager->SetAutoSave(option != nullptr && option->Selected());
         }},
        {"ch_synchronize_",
         [](CMainWnd& w, const Notification&, int i) {
             if (!app::CurrentModelCfg().mHAS_LINK_SEL_CH_BUTTON) {
                 return;
             }
             if (app::CurrentModelCfg().mHAS_LINK_GROUP) {
                 w.OpenLinkGroupMenu(i);
             } else {
                 w.mManager->ToggleLinkGroup(i);
             }
         }},
        {"delay_link_",
         [](CMainWnd& w, const Notification&, int i) {
             if (app::CurrentModelCfg().mHAS_LINK_SEL_CH_BUTTON) {
                 w.OpenDelayLinkMenu(i);
             }
         }},
        // The routing options carry input (from 1) and output in their names.
        {"option_ch_in*",
         [](CMainWnd& w, const Notification& n, int) {
             int input = -1;
             int output = -1;
             if (std::sscanf(n.name.c_str(), "option_ch_in%d_%d", &input, &output) == 2) {
                 w.mManager->SetInputIn(input, output);
             }
         }},
    };
    return kSelections;
}

std::span<const MainWndRoutes::ByIndex> MainWndRoutes::Sliders() {
    static const ByIndex kSliders[] = {
        {"eq_slider_", [](CMainWnd& w, int i) { w.mManager->SetEqSlider(i); }},
        {"slider_ch_volume",
         [](CMainWnd& w, int) { w.mManager->SetChVolumeSlider(-1, true, false, false); }},
        {"slider_ch_volume_",
         [](CMainWnd& w, int i) { w.mManager->SetChVolumeSlider(i, true, false, false); }},
        {"slider_ch_delay_", [](CMainWnd& w, int i) { w.mManager->SetChDelaySlider(i); }},
        {"slider_main_volume*", [](CMainWnd& w, int) { w.mManager->SetMainVolumeSlider(); }},
        {"slider_acc*", [](CMainWnd& w, int) { w.mManager->SetAccSlider(); }},
    };
    return kSliders;
}

std::span<const MainWndRoutes::ByIndexAndFlag> MainWndRoutes::Steps() {
    static const ByIndexAndFlag kSteps[] = {
        {"eq_freq_", [](CMainWnd& w, int i, bool up) { w.mManager->SetEqFreqUp(i, up); }},
        {"eq_q_", [](CMainWnd& w, int i, bool up) { w.mManager->SetEqQUp(i, up); }},
        {"eq_gain_", [](CMainWnd& w, int i, bool up) { w.mManager->SetEqGainUp(i, up); }},
        {"hp_freq", [](CMainWnd& w, int, bool up) { w.mManager->SetHpFreqUp(up); }},
        {"lp_freq", [](CMainWnd& w, int, bool up) { w.mManager->SetLpFreqUp(up); }},
        {"edit_ch_volume",
         [](CMainWnd& w, int, bool up) {
             w.mManager->SetChVolumeUp(w.mManager->CurrentChannel(), up);
         }},
        {"edit_ch_volume_", [](CMainWnd& w, int i, bool up) { w.mManager->SetChVolumeUp(i, up); }},
        {"edit_ch_delay_", [](CMainWnd& w, int i, bool up) { w.mManager->SetChDelayUp(i, up); }},
        {"spk_delay_", [](CMainWnd& w, int i, bool up) { w.mManager->StepSpeakerDelay(i, up); }},
        {"edit_main_volume*", [](CMainWnd& w, int, bool up) { w.mManager->SetMainVolumeUp(up); }},
        {"edit_acc*", [](CMainWnd& w, int, bool up) { w.mManager->SetAccUp(up); }},
    };
    return kSteps;
}

std::span<const MainWndRoutes::ByIndex> MainWndRoutes::BandReturns() {
    static const ByIndex kBandReturns[] = {
        {"eq_freq_", [](CMainWnd& w, int i) { w.FocusBandEdit("eq_q_%d", i); }},
        {"eq_q_", [](CMainWnd& w, int i) { w.FocusBandEdit("eq_gain_%d", i); }},
        {"eq_gain_",
         [](CMainWnd& w, int i) {
             const int bands = w.mManager->WorkingProfile().bandCount(w.mManager->CurrentChannel());
             // In GEQ editing the frequency edits are disabled and take no
             // focus: the next gain edit does, so the focus loss commits.
             w.FocusBandEdit(w.mManager->IsPeqMode() ? "eq_freq_%d" : "eq_gain_%d",
                             i + 1 < bands ? i + 1 : 0);
         }},
    };
    return kBandReturns;
}

std::span<const MainWndRoutes::ByIndexAndFlag> MainWndRoutes::Commits() {
    static const ByIndexAndFlag kCommits[] = {
        {"eq_freq_", [](CMainWnd& w, int i, bool) { w.mManager->SetChEqEdit(i); }},
        {"eq_q_", [](CMainWnd& w, int i, bool) { w.mManager->SetChEqEdit(i); }},
        {"eq_gain_", [](CMainWnd& w, int i, bool) { w.mManager->SetChEqEdit(i); }},
        {"hp_freq",
         [](CMainWnd& w, int, bool isReturn) { w.mManager->SetCrossoverFreqEdit(true, isReturn); }},
        {"lp_freq", [](CMainWnd& w, int,
                       bool isReturn) { w.mManager->SetCrossoverFreqEdit(false, isReturn); }},
        {"edit_ch_delay_",
         [](CMainWnd& w, int i, bool isReturn) { w.mManager->SetChDelayEdit(i, isReturn); }},
        {"edit_ch_volume",
         [](CMainWnd& w, int, bool isReturn) { w.mManager->SetChVolumeEdit(-1, isReturn); }},
        {"edit_ch_volume_",
         [](CMainWnd& w, int i, bool isReturn) { w.mManager->SetChVolumeEdit(i, isReturn); }},
        {"spk_delay_",
         [](CMainWnd& w, int i, bool isReturn) {
             if (isReturn) {
                 w.mManager->SetSpeakerDelayEdit(i);  // focus loss commits only on other models
             }
         }},
        {"edit_main_volume",
         [](CMainWnd& w, int, bool isReturn) { w.mManager->SetMainVolumeEdit(isReturn); }},
        {"edit_acc", [](CMainWnd& w, int, bool isReturn) { w.mManager->SetAccEdit(isReturn); }},
        {"edit_device_name_", [](CMainWnd& w, int, bool) { w.mManager->CommitDeviceName(); }},
        {"edit_device_name", [](CMainWnd& w, int, bool) { w.mManager->CommitDeviceName(); }},
    };
    return kCommits;
}

std::span<const MainWndRoutes::ByIndex> MainWndRoutes::ItemSelections() {
    static const ByIndex kItems[] = {
        {"comb_ch_unit", [](CMainWnd& w, int) { w.mManager->OnDelayUnitChanged(); }},
        {"comb_eq_type", [](CMainWnd& w, int) { w.mManager->SetEqType(); }},
        {"hp_type", [](CMainWnd& w, int) { w.mManager->SetCrossoverType(true); }},
        {"lp_type", [](CMainWnd& w, int) { w.mManager->SetCrossoverType(false); }},
        {"hp_slop", [](CMainWnd& w, int) { w.mManager->SetCrossoverSlope(true); }},
        {"lp_slop", [](CMainWnd& w, int) { w.mManager->SetCrossoverSlope(false); }},
        {"btn_devices", [](CMainWnd& w, int) { w.mManager->SetDevice(); }},
        {"btn_input_source", [](CMainWnd& w, int) { w.mManager->SetInputSource(); }},
    };
    return kItems;
}

std::span<const MainWndRoutes::ByNotification> MainWndRoutes::DoubleClicks() {
    static const ByNotification kDoubleClicks[] = {
        {"btn_devices",
         [](CMainWnd& w, const Notification&, int) { w.mManager->EditDeviceName(); }},
    };
    return kDoubleClicks;
}

std::span<const MainWndRoutes::ByNotification> MainWndRoutes::Charts() {
    static const ByNotification kCharts[] = {
        {"equalizer", [](CMainWnd& w, const Notification& n, int) { w.OnChartNotification(n); }},
    };
    return kCharts;
}

namespace {

template <typename Table>
bool AnyRouteMatches(const Table& table, const std::string& name) {
    for (const auto& route : table) {
        if (RouteMatches(route.name, name)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool MainWndRoutes::IsRouted(RouteKind kind, const std::string& name) {
    switch (kind) {
        case RouteKind::Click:
            return AnyRouteMatches(Clicks(), name);
        case RouteKind::DoubleClick:
            return AnyRouteMatches(DoubleClicks(), name);
        case RouteKind::Selection:
            return AnyRouteMatches(Selections(), name);
        case RouteKind::Slider:
            return AnyRouteMatches(Sliders(), name);
        case RouteKind::Step:
            return AnyRouteMatches(Steps(), name);
        case RouteKind::Commit:
            return AnyRouteMatches(Commits(), name);
        case RouteKind::ItemSelect:
            return AnyRouteMatches(ItemSelections(), name);
        case RouteKind::Chart:
            return AnyRouteMatches(Charts(), name);
        case RouteKind::MenuItem:
            return AnyRouteMatches(MenuItems(), name);
    }
    return false;
}

}  // namespace ui
