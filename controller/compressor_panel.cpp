#include "controller/compressor_panel.h"

#include <algorithm>
#include <array>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

using namespace compressor;

constexpr uint32_t kOnColor = 0xFFFFFFFF;
constexpr uint32_t kOffColor = 0xFFFF0000;
constexpr const char* kBypass = "btn_bp";

// The rows in focus order (right goes down the table and wraps).
struct Row {
    Parameter parameter;
    const char* slider;
    const char* edit;
    const char* sliderLog;
    const char* stepLog;
};
constexpr std::array<Row, 5> kRows = {{
    {Parameter::kThreshold, "slider_noise", "edit_noise", "set Noise slider to %.1fdB\n",
     "SetNoiseUp %.1fdB \n"},
    {Parameter::kRatio, "slider_ratio", "edit_ratio", "set Ratio slider to %.1f\n",
     "SetRatioUp %.1f \n"},
    {Parameter::kAttack, "slider_attack_time", "edit_attack_time",
     "set AttackTime slider to %dms\n", "SetAttackTimeUp %dms \n"},
    {Parameter::kRelease, "slider_release_time", "edit_release_time",
     "set ReleaseTime slider to %dms\n", "SetReleaseTimeUp %dms \n"},
    {Parameter::kSoftKnee, "slider_soft_knee", "edit_soft_knee", "set SoftKnee slider to %.1fdB\n",
     "SetSoftKneeUp %.1fdB \n"},
}};

size_t RowIndexOf(Parameter parameter) {
    for (size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].parameter == parameter) {
            return i;
        }
    }
    return 0;
}

// The formats take an int for milliseconds and a double for the rest.
void LogNumber(const char* format, const ParameterSpec& spec, double value) {
    if (spec.whole) {
        app::Log(format, static_cast<int>(value));
    } else {
        app::Log(format, value);
    }
}

}  // namespace

CompressorPanel::CompressorPanel(EqualizerManager& manager, toolkit::ControlAccess& window,
                                 CompressorChart* chart)
    : CompressorValueEditor(manager, window), mChart(chart) {}

void CompressorPanel::Open() {
    const int outputs = std::min(app::CurrentModelCfg().mOUT_CHANNEL_NUMBER, model::kOutputSlots);
    mChannel = std::clamp(mManager.WorkingProfile().currOutChannel, 0, std::max(outputs - 1, 0));
    ShowBypass();
    for (const Row& row : kRows) {
        ShowValue({row.parameter, mChannel, row.slider, row.edit});
    }
    ShowCurve();
    mOpen = true;
}

void CompressorPanel::ShowBypass() {
    const bool on = mManager.WorkingProfile().compressorBypass[static_cast<size_t>(mChannel)] != 0;
    toolkit::ControlHandle& button = mControls(kBypass);
    button.SetSelected(on, false);
    button.SetText(on ? "${ui_compressor_bypass_on}" : "${ui_compressor_bypass_off}");
    button.SetTextColor(on ? kOnColor : kOffColor);
}

CompressorView CompressorPanel::View() {
    const model::Profile& p = mManager.WorkingProfile();
    const auto c = static_cast<size_t>(mChannel);
    const ParameterSpec& threshold = SpecOf(Parameter::kThreshold);
    const Positions range = RangeOf(mControls(kRows[0].slider), threshold);
    CompressorView view;
    view.lowDb = ValueAt(threshold, range.lowest);
    view.highDb = ValueAt(threshold, range.highest);
    view.shape = {p.compressorNoise[c], p.compressorRatio[c], p.compressorSoftKnee[c]};
    view.bypassed = p.compressorBypass[c] != 0;
    return view;
}

void CompressorPanel::ShowCurve() {
    if (mChart != nullptr) {
        mChart->ShowCompressor(View());
    }
}

std::optional<CompressorValueEditor::ValueTarget> CompressorPanel::TargetOf(
    const std::string& name) const {
    for (const Row& row : kRows) {
        if (name == row.slider || name == row.edit) {
            return ValueTarget{row.parameter, mChannel, row.slider, row.edit};
        }
    }
    return std::nullopt;
}

void CompressorPanel::LogEdit(const ValueTarget&, double) {}

void CompressorPanel::LogSlider(const ValueTarget& target, double value) {
    LogNumber(kRows[RowIndexOf(target.parameter)].sliderLog, SpecOf(target.parameter), value);
}

// The step lines carry the direction, 1 up or 0 down.
void CompressorPanel::LogStep(const ValueTarget& target, bool up) {
    LogNumber(kRows[RowIndexOf(target.parameter)].stepLog, SpecOf(target.parameter), up ? 1 : 0);
}

void CompressorPanel::Send(const ValueTarget&) {
    const model::Profile& p = mManager.WorkingProfile();
    const auto c = static_cast<size_t>(mChannel);
    mManager.Link().Compressor_Ctrl(
        static_cast<uint8_t>(p.scene), static_cast<uint8_t>(p.source),
        static_cast<uint8_t>(mChannel), static_cast<uint8_t>(p.compressorBypass[c]),
        p.compressorNoise[c], p.compressorRatio[c], p.compressorAttack[c], p.compressorRelease[c],
        p.compressorSoftKnee[c], false);
    ShowCurve();
}

std::optional<CompressorValueEditor::ValueTarget> CompressorPanel::Neighbour(
    const ValueTarget& target, bool right) {
    const size_t n = kRows.size();
    const size_t at = RowIndexOf(target.parameter);
    const Row& next = kRows[right ? (at + 1) % n : (at + n - 1) % n];
    return ValueTarget{next.parameter, mChannel, next.slider, next.edit};
}

bool CompressorPanel::Handle(const toolkit::Notification& n) {
    if (!mOpen) {
        return false;
    }
    if (n.name == kBypass) {
        // The window shows the bypass and does not change it (the stored
        // state goes with every other change); a click that flipped the
        // switch is taken back so it keeps telling the truth.
        if (n.type == toolkit::kNotifyClick || n.type == toolkit::kNotifySelectChanged) {
            ShowBypass();
            return true;
        }
        return false;
    }
    const std::optional<ValueTarget> target = TargetOf(n.name);
    return target && HandleValue(*target, n);
}

}  // namespace controller
