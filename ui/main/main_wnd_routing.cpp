// Every control notification of the main page becomes one controller call.
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "platform/text_util.h"
#include "ui/main/main_wnd.h"

namespace ui {
namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The index a control carries: its user data, else the number its name ends with.
int IndexOf(const toolkit::Notification& n) {
    if (n.userDataInt >= 0) {
        return n.userDataInt;
    }
    size_t digits = n.name.find_last_not_of("0123456789");
    if (digits == std::string::npos || digits + 1 >= n.name.size()) {
        return -1;
    }
    return std::stoi(n.name.substr(digits + 1));
}

}  // namespace

void CMainWnd::Notify(const toolkit::Notification& n) {
    app::Log("Notify %s\n", n.type.c_str());
    const std::string& type = n.type;
    if (type == toolkit::kNotifyClick) {
        if (!OnClick(n)) {
            return;  // the minimise button is handled entirely
        }
    } else if (type == toolkit::kNotifyDbClick) {
        app::Log("on %s DUI_MSGTYPE_DBCLICK\n", n.name.c_str());
        if (n.name == "btn_devices") {
            mManager->EditDeviceName();
        }
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
    }
    if (n.name == "closebtn" && type == toolkit::kNotifyClick) {
        CloseProgram();
        return;
    }
    DefaultNotify(n);
}

// Returns false when the notification must not go on to the default handling.
bool CMainWnd::OnClick(const toolkit::Notification& n) {
    const std::string& name = n.name;
    const int index = IndexOf(n);
    if (platform::EqualsIgnoringCase(name, "minbtn")) {
        if (QWidget* widget = Widget()) {
            widget->showMinimized();
        }
        return false;
    }
    if (platform::EqualsIgnoringCase(name, "web_btn_1")) {
        std::u16string url(app::CurrentModelCfg().mCOMPANY_URL_STR);
        QString target =
            url.empty() ? QString::fromUtf8(n.sender != nullptr ? n.sender->Text().c_str() : "")
                        : QString::fromUtf16(url.data(), static_cast<int>(url.size()));
        QDesktopServices::openUrl(QUrl(target));
    }
    if (StartsWith(name, "ch_output_btn")) {
        mMenuChannel = index;
        if (const toolkit::Control* button = Find(name)) {
            OpenOutputMenu(index, *button);
        }
    } else if (name == "btnConnect") {
        mManager->ConnectDevice(true);
    } else if (name == "ch_select_0" || name == "ch_select_1") {
        mManager->ShowChannelPage(name == "ch_select_1" ? 1 : 0);
    } else if (StartsWith(name, "ch_enable_")) {
        mManager->SetCurChannelChange(index);
    } else if (StartsWith(name, "ch_bridge_") || StartsWith(name, "bridge_checkbox_")) {
        mManager->ToggleBridge(index);
    } else if (StartsWith(name, "speaker_")) {
        mManager->SetSpeakerFocus(index);
    } else if (name == "btn_delay_down" || name == "btn_delay_up") {
        const int position = mManager->CurrentSpeakerPosition();
        if (position > 0) {
            mManager->StepSpeakerDelay(position, name == "btn_delay_up");
        }
    }
    return true;
}

void CMainWnd::OnSelectChanged(const toolkit::Notification& n) {
    const std::string& name = n.name;
    const int index = IndexOf(n);
    app::Log("on option %s DUI_MSGTYPE_SELECTCHANGED index %d\n", name.c_str(), index);
    if (StartsWith(name, "ch_show_")) {
        mManager->SetChShow(index);
    } else if (name == "ch_mute") {
        mManager->SetChMute(-1);
    } else if (StartsWith(name, "ch_mute_")) {
        mManager->SetChMute(index);
    } else if (name == "ch_phase") {
        mManager->SetChPhase(-1);
    } else if (StartsWith(name, "ch_phase_")) {
        mManager->SetChPhase(index);
    } else if (StartsWith(name, "ch_solo_")) {
        mManager->SetChSolo(index);
    }
}

void CMainWnd::OnValueChanged(const toolkit::Notification& n) {
    const std::string& name = n.name;
    if (name == "slider_ch_volume") {
        mManager->SetChVolumeSlider(-1, true, false, false);
    } else if (StartsWith(name, "slider_ch_volume_")) {
        mManager->SetChVolumeSlider(IndexOf(n), true, false, false);
    } else if (StartsWith(name, "slider_ch_delay_")) {
        mManager->SetChDelaySlider(IndexOf(n));
    }
}

void CMainWnd::OnValueStep(const toolkit::Notification& n, bool up) {
    const std::string& name = n.name;
    if (name == "edit_ch_volume") {
        mManager->SetChVolumeUp(mManager->CurrentChannel(), up);
    } else if (StartsWith(name, "edit_ch_volume_")) {
        mManager->SetChVolumeUp(IndexOf(n), up);
    } else if (StartsWith(name, "edit_ch_delay_")) {
        mManager->SetChDelayUp(IndexOf(n), up);
    } else if (StartsWith(name, "spk_delay_")) {
        mManager->StepSpeakerDelay(IndexOf(n), up);
    }
}

void CMainWnd::OnCommit(const toolkit::Notification& n, bool isReturn) {
    const std::string& name = n.name;
    if (StartsWith(name, "edit_ch_delay_")) {
        mManager->SetChDelayEdit(IndexOf(n), isReturn);
    } else if (name == "edit_ch_volume") {
        mManager->SetChVolumeEdit(-1, isReturn);
    } else if (StartsWith(name, "edit_ch_volume_")) {
        mManager->SetChVolumeEdit(IndexOf(n), isReturn);
    } else if (StartsWith(name, "spk_delay_")) {
        if (isReturn) {
            mManager->SetSpeakerDelayEdit(IndexOf(n));
        }
    } else if (StartsWith(name, "edit_device_name")) {
        mManager->CommitDeviceName();
    }
}

void CMainWnd::OnSetFocus(const toolkit::Notification& n) {
    const std::string& name = n.name;
    const int index = IndexOf(n);
    if (!StartsWith(name, "edit_ch_delay_") && !StartsWith(name, "slider_ch_delay_")) {
        app::Log("on mSliderChDelay SetVisible false\n");
        mManager->HideDelaySliders();
    } else {
        mManager->ShowDelaySlider(index);
    }
    if (StartsWith(name, "spk_delay_")) {
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

// The numeric edits form one ring that the arrow keys walk: crossover, main
// volume, the current output's band frequencies, Qs and gains, then every
// output's trim and delay.
void CMainWnd::MoveFocusAlongTheEdits(const std::string& from, bool forward) {
    const int bands = mManager->WorkingProfile().bandCount(mManager->CurrentChannel());
    const int outputs = app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
    std::vector<std::string> ring = {"hp_freq", "lp_freq", "edit_main_volume"};
    for (const char* column : {"eq_freq_%d", "eq_q_%d", "eq_gain_%d"}) {
        for (int b = 0; b < bands; ++b) {
            char name[32];
            std::snprintf(name, sizeof name, column, b);
            ring.emplace_back(name);
        }
    }
    for (const char* column : {"edit_ch_volume_%d", "edit_ch_delay_%d"}) {
        for (int c = 0; c < outputs; ++c) {
            char name[32];
            std::snprintf(name, sizeof name, column, c);
            ring.emplace_back(name);
        }
    }
    auto at = std::find(ring.begin(), ring.end(), from);
    if (at == ring.end()) {
        return;  // arrows in other edits do nothing
    }
    auto enabled = [this](const std::string& name) {
        const toolkit::Control* control = Find(name);
        return control != nullptr && control->Enabled();
    };
    std::string target;
    if (forward && from == "edit_main_volume" && bands > 0) {
        target = enabled("eq_freq_0") ? "eq_freq_0" : "eq_gain_0";
    } else if (!forward && from == "eq_gain_0" && bands > 0) {
        const std::string lastQ = "eq_q_" + std::to_string(bands - 1);
        target = enabled(lastQ) ? lastQ : "edit_main_volume";
    } else if (!forward && from == "eq_freq_0") {
        target = "edit_main_volume";
    } else {
        const long index = at - ring.begin();
        const long size = static_cast<long>(ring.size());
        target = ring[static_cast<size_t>((index + (forward ? 1 : size - 1)) % size)];
    }
    if (toolkit::Control* control = Find(target)) {
        control->SetFocus();
    }
}

void CMainWnd::OnItemSelect(const toolkit::Notification& n) {
    if (StartsWith(n.name, "comb_ch_unit")) {
        mManager->OnDelayUnitChanged();
    } else if (n.name == "btn_devices") {
        mManager->SetDevice();
    } else if (n.name == "btn_input_source") {
        mManager->SetInputSource();
    }
}

}  // namespace ui
