#include "controller/cs_auto_panel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/log.h"
#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "model/units.h"

namespace controller {
namespace cs_auto {

std::string LevelText(double level) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", level);
    return text;
}

int IndexAfter(const std::string& name, const std::string& prefix, int count) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return -1;
    }
    int index = 0;
    for (size_t at = prefix.size(); at < name.size(); ++at) {
        if (name[at] < '0' || name[at] > '9' || index >= count) {
            return -1;
        }
        index = index * 10 + (name[at] - '0');
    }
    return index < count ? index : -1;
}

}  // namespace cs_auto

namespace {

using model::CsAutoSettings;
using namespace cs_auto;

constexpr const char* kSwitch = "btn_auto_";
constexpr const char* kSlider = "slider_auto_";
constexpr const char* kEdit = "edit_auto_";

struct Selection {
    const char* combo;
    const char* logLine;
    uint8_t CsAutoSettings::*field;
};

constexpr std::array<Selection, 4> kSelections = {{
    {"combo_mode", "set combo mode to %s index %d\n", &CsAutoSettings::mode},
    {"combo_front", "set combo front to %s index %d\n", &CsAutoSettings::front},
    {"combo_surround", "set combo surround to %s index %d\n", &CsAutoSettings::surround},
    {"combo_subwoofer", "set combo subwoofer to %s index %d\n", &CsAutoSettings::subwoofer},
}};

std::string Indexed(const char* prefix, int index) {
    return prefix + std::to_string(index);
}

// The slider position that shows a level.
int PositionOf(double level) {
    const double position = std::clamp(level * kSliderScale, -1.0e6, 1.0e6);
    return static_cast<int>(std::lround(position));
}

}  // namespace

CsAutoPanel::CsAutoPanel(EqualizerManager& manager, UiServices& ui, toolkit::ControlAccess& window)
    : mManager(manager), mUi(ui) {
    mControls.Bind(&window);
}

model::CsAutoSettings& CsAutoPanel::Block() {
    return mManager.CsAutoSettings();
}

void CsAutoPanel::Open() {
    Block().scene = static_cast<uint8_t>(mManager.WorkingProfile().scene);
    ShowBlock();
    mOpen = true;
}

void CsAutoPanel::ShowBlock() {
    const CsAutoSettings& block = Block();
    for (int i = 0; i < CsAutoSettings::kSwitches; ++i) {
        mControls(Indexed(kSwitch, i)).SetSelected(block.autoEnable[i] != 0, false);
    }
    for (int i = 0; i < CsAutoSettings::kLevels; ++i) {
        ShowLevel(i, block.autoLevel[i]);
    }
    for (const Selection& selection : kSelections) {
        mControls(selection.combo).SelectItem(block.*selection.field, false);
    }
}

void CsAutoPanel::ShowLevel(int index, float level) {
    mControls(Indexed(kEdit, index)).SetText(LevelText(level));
    mControls(Indexed(kSlider, index)).SetValue(PositionOf(level));
}

void CsAutoPanel::Send() {
    mManager.SendCsAutoSettings();
}

void CsAutoPanel::ApplySwitch(int index) {
    const bool on = mControls(Indexed(kSwitch, index)).Selected();
    Block().autoEnable[index] = on ? 1 : 0;
    app::Log("cs auto %d seleted %d\n", index, on ? 1 : 0);
    Send();
}

void CsAutoPanel::ApplySlider(int index) {
    const double level = double(mControls(Indexed(kSlider, index)).Value()) / kSliderScale;
    app::Log("set auto %d slider to %.3f\n", index, level);
    mControls(Indexed(kEdit, index)).SetText(LevelText(level));
    Block().autoLevel[index] = static_cast<float>(level);
    Send();
}

void CsAutoPanel::Step(int index, bool up) {
    app::Log("SetChVolumeUp %d \n", up ? 1 : 0);
    toolkit::ControlHandle& slider = mControls(Indexed(kSlider, index));
    const int position = slider.Value();
    if ((up && position >= slider.Maximum()) || (!up && position <= slider.Minimum())) {
        return;
    }
    slider.SetValue(std::clamp(position + (up ? 1 : -1), slider.Minimum(), slider.Maximum()));
    ApplySlider(index);
}

void CsAutoPanel::ApplyEdit(int index) {
    toolkit::ControlHandle& slider = mControls(Indexed(kSlider, index));
    const std::optional<double> typed =
        model::leadingNumber(mControls(Indexed(kEdit, index)).Text());
    if (!typed) {
        // A text without a number is no level: the kept one shows again and
        // nothing is sent.
        ShowLevel(index, Block().autoLevel[index]);
        return;
    }
    const double level = std::clamp(*typed, double(slider.Minimum()) / kSliderScale,
                                    double(slider.Maximum()) / kSliderScale);
    Block().autoLevel[index] = static_cast<float>(level);
    ShowLevel(index, Block().autoLevel[index]);
    Send();
}

void CsAutoPanel::ApplyCombo(int which) {
    const Selection& selection = kSelections[which];
    const toolkit::ControlHandle& combo = mControls(selection.combo);
    const int index = combo.SelectedIndex();
    if (index < 0 || index > UINT8_MAX) {
        return;  // nothing chosen: the block keeps its selection
    }
    app::Log(selection.logLine, mUi.Translate(combo.ItemText(index)).c_str(), index);
    Block().*selection.field = static_cast<uint8_t>(index);
    Send();
}

void CsAutoPanel::Restore() {
    app::Log("on %s\n", "CSAutoWnd::RestoreCSAuto");
    if (!mUi.Confirm("${tips}", "${restore_cs_auto}")) {
        return;
    }
    Block().Restore();  // the scene stays the working profile's
    ShowBlock();
    Send();
}

bool CsAutoPanel::Handle(const toolkit::Notification& n) {
    if (!mOpen) {
        return false;
    }
    const std::string& type = n.type;
    if (type == toolkit::kNotifyClick && n.name == kRestoreButton) {
        Restore();
        return true;
    }
    if (const int i = IndexAfter(n.name, kSwitch, CsAutoSettings::kSwitches);
        i >= 0 && type == toolkit::kNotifySelectChanged) {
        app::Log("on option %s DUI_MSGTYPE_SELECTCHANGED index %d\n", n.name.c_str(),
                 n.userDataInt);
        ApplySwitch(i);
        return true;
    }
    if (const int i = IndexAfter(n.name, kSlider, CsAutoSettings::kLevels);
        i >= 0 &&
        (type == toolkit::kNotifyValueChanged || type == toolkit::kNotifyMoveValueChanged)) {
        const std::wstring wide(n.name.begin(), n.name.end());
        app::Log("on cs auto silder %ls valuechanged index %d\n", wide.c_str(), i);
        ApplySlider(i);
        return true;
    }
    if (const int i = IndexAfter(n.name, kEdit, CsAutoSettings::kLevels); i >= 0) {
        if (type == toolkit::kNotifyValueChangedUp || type == toolkit::kNotifyValueChangedDown) {
            const bool up = type == toolkit::kNotifyValueChangedUp;
            app::Log(up ? "on edit %s DUI_MSGTYPE_VALUECHANGED_UP\n"
                        : "on edit %s DUI_MSGTYPE_VALUECHANGED_DOWN\n",
                     n.name.c_str());
            Step(i, up);
            return true;
        }
        if (type == toolkit::kNotifyReturn) {
            app::Log("on edit %s DUI_MSGTYPE_RETURN\n", n.name.c_str());
            ApplyEdit(i);
            return true;
        }
        return false;
    }
    for (size_t which = 0; which < kSelections.size(); ++which) {
        if (n.name == kSelections[which].combo && type == toolkit::kNotifyItemSelect) {
            ApplyCombo(static_cast<int>(which));
            return true;
        }
    }
    return false;
}

}  // namespace controller
