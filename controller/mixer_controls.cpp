// The mixer's controls: which notification of which control starts which
// change, and the changes of the enable options, sliders, edits, phase and
// bridge switches.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "controller/mixer.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kFirstMixLevel = 100;

bool Starts(const std::string& name, std::string_view prefix) {
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0;
}

// The two indices of "box_enable_%d_%d" and its family, or false.
bool ParseCell(const std::string& name, std::string_view prefix, int* output, int* row) {
    const std::string format = std::string(prefix) + "%d_%d";
    return Starts(name, prefix) && std::sscanf(name.c_str(), format.c_str(), output, row) == 2;
}

bool ParseIndex(const std::string& name, std::string_view prefix, int* index) {
    const std::string format = std::string(prefix) + "%d";
    return Starts(name, prefix) && std::sscanf(name.c_str(), format.c_str(), index) == 1;
}

// The leading integer of a level text ("85", "85dB"); false when the text
// does not start with one.
bool LeadingNumber(const std::string& text, long* value) {
    const char* start = text.c_str();
    char* end = nullptr;
    const long parsed = std::strtol(start, &end, 10);
    if (end == start) {
        return false;
    }
    *value = parsed;
    return true;
}

bool IsCommit(const std::string& type) {
    return type == toolkit::kNotifyReturn || type == toolkit::kNotifyKillFocus;
}

}  // namespace

bool Mixer::Handle(const toolkit::Notification& n) {
    if (!mReady) {
        return false;
    }
    app::Log("Notify %s\n", n.type.c_str());
    const std::string& name = n.name;
    const std::string& type = n.type;
    int output = 0;
    int row = 0;
    int index = 0;
    if (type == toolkit::kNotifyClick && name == "btn_reset_input") {
        ClearMix();
        return true;
    }
    if (type == toolkit::kNotifySelectChanged) {
        if (ParseCell(name, "box_enable_", &output, &row)) {
            OnEnable(output, row);
            return true;
        }
        if (ParseIndex(name, "ch_bridge_", &index)) {
            OnBridge(index);
            return true;
        }
        if (ParseIndex(name, "in_phase_", &index)) {
            OnPhase(index);
            return true;
        }
        return false;
    }
    if (type == toolkit::kNotifyValueChanged || type == toolkit::kNotifyMoveValueChanged) {
        if (ParseCell(name, "box_volume_", &output, &row)) {
            OnSlider(output, row);
            return true;
        }
        return false;
    }
    if (ParseCell(name, "box_edit_", &output, &row)) {
        if (type == toolkit::kNotifyValueChangedUp || type == toolkit::kNotifyValueChangedDown) {
            OnEdit(output, row, type == toolkit::kNotifyValueChangedUp ? 1 : -1);
            return true;
        }
        if (type == toolkit::kNotifyValueChangedLeft || type == toolkit::kNotifyValueChangedRight) {
            MoveFocus(output, row, type == toolkit::kNotifyValueChangedRight);
            return true;
        }
        if (IsCommit(type)) {
            OnEdit(output, row, 0);
            return true;
        }
        if (type == toolkit::kNotifySetFocus) {
            Cell("box_edit_%d_%d", output, row).SelectAllText();
            return true;
        }
        return false;
    }
    if (type == toolkit::kNotifyItemSelect && ParseIndex(name, "cmb_csm_vice_source_", &index) &&
        (Cfg().mENABLE_CROSS_SOURCE_MIX || Cfg().mENABLE_SPLIT_CROSS_SOURCE_MIX)) {
        app::Log("on %s DUI_MSGTYPE_ITEMSELECT\n", name.c_str());
        OnCrossSourceChoice(index);
        return true;
    }
    return false;
}

void Mixer::OnEnable(int output, int row) {
    app::Log("CMixerWnd::OnEnableBtnClick\n");
    if (!IsValidCell(row, output)) {
        return;
    }
    const bool on = Cell("box_enable_%d_%d", output, row).Selected();
    const int stored = mManager.WorkingProfile().inputMixVolume[mSource][BitOfRow(row)][output];
    ChangeLevel(row, output, on ? (stored == 0 ? kFirstMixLevel : stored) : 0, true, false);
}

void Mixer::OnSlider(int output, int row) {
    const int level = Cell("box_volume_%d_%d", output, row).Value();
    app::Log("OnVolSliderChanged set in_ch %d out_ch %d volume to %d\n", row, output, level);
    ChangeLevel(row, output, level, false, false);
}

// A typed level (step 0) or one step up or down from the text. Text that is
// no number changes nothing: the cell shows its level again.
void Mixer::OnEdit(int output, int row, int step) {
    if (!IsValidCell(row, output)) {
        return;
    }
    toolkit::ControlHandle& edit = Cell("box_edit_%d_%d", output, row);
    long typed = 0;
    if (!LeadingNumber(edit.Text(), &typed)) {
        if (step == 0) {
            app::Log("OnVolEditChanged: \"%s\" is no level, ignored\n", edit.Text().c_str());
            ShowCell(row, output);
            return;
        }
        typed = EffectiveLevel(row, output);
    }
    const long level =
        std::clamp<long>(typed + step, SliderMinimum(row, output), SliderMaximum(row, output));
    app::Log("OnVolEditChanged set in_ch %d out_ch %d volume to %ld\n", row, output, level);
    const bool committedByFocusLoss = step == 0 && !edit.HasFocus();
    ChangeLevel(row, output, static_cast<int>(level), false, !committedByFocusLoss);
}

// Left and right walk the input rows' cells in reading order and wrap
// around; the cross-source rows are not visited.
void Mixer::MoveFocus(int output, int row, bool right) {
    if (mInputs <= 0 || mOutputs <= 0) {
        return;
    }
    int column = output + (right ? 1 : -1);
    int target = row;
    if (column >= mOutputs) {
        column = 0;
        target = row + 1 >= mInputs ? 0 : row + 1;
    } else if (column < 0) {
        column = mOutputs - 1;
        target = row - 1 < 0 ? mInputs - 1 : row - 1;
    }
    toolkit::ControlHandle& edit = Cell("box_edit_%d_%d", column, target);
    edit.SetFocus();
    edit.SelectAllText();
}

void Mixer::OnPhase(int row) {
    if (!IsRowActive(row)) {
        return;
    }
    const bool inverted = mControls.Indexed("in_phase_%d", row).Selected();
    mManager.WorkingProfile().inMixPhase[mSource][row] = inverted ? 1 : 0;
    const uint8_t r = static_cast<uint8_t>(row);
    const uint8_t phases[] = {static_cast<uint8_t>(inverted ? 1 : 0)};
    mManager.Link().Input_Phase_Ctrl({0, static_cast<uint8_t>(mSource), r, r}, phases, false);
}

void Mixer::OnBridge(int pair) {
    if (pair < 0 || pair >= mColumns / 2) {
        return;
    }
    const char* format = "ch_bridge_%d";
    char name[32];
    std::snprintf(name, sizeof name, format, pair);
    const bool on = !mControls.Exists(name) || mControls(name).Selected();
    mManager.SetBridge(pair, on);
    for (int row = 0; row < kMixerRows; ++row) {
        ShowCell(row, 2 * pair + 1);
    }
}

}  // namespace controller
