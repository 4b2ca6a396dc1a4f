#include "controller/compressors_on_panel.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

using namespace compressor;

constexpr const char* kEnablePrefix = "box_enable_";

// The rows of every column, in focus order.
struct Row {
    Parameter parameter;
    const char* name;  // the part of the controls' names that tells the row
};
constexpr std::array<Row, 3> kRows = {{
    {Parameter::kThreshold, "threshold"},
    {Parameter::kAttack, "attack_time"},
    {Parameter::kRelease, "release_time"},
}};

std::string Named(const char* kind, const char* row, int column) {
    char name[48];
    std::snprintf(name, sizeof name, "%s_%s_%d", kind, row, column);
    return name;
}

compressor::ValueTarget TargetAt(size_t row, int column) {
    return {kRows[row].parameter, column, Named("slider", kRows[row].name, column),
            Named("edit", kRows[row].name, column)};
}

size_t RowIndexOf(Parameter parameter) {
    for (size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].parameter == parameter) {
            return i;
        }
    }
    return 0;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

CompressorsOnPanel::CompressorsOnPanel(EqualizerManager& manager, toolkit::ControlAccess& window)
    : CompressorValueEditor(manager, window) {}

int CompressorsOnPanel::Columns() {
    return std::clamp(app::CurrentModelCfg().mMIXER_MAX_OUTPUT_CH, 0, model::kOutputSlots);
}

int CompressorsOnPanel::ShownColumns() {
    return std::clamp(app::CurrentModelCfg().mOUT_CHANNEL_NUMBER, 0, Columns());
}

void CompressorsOnPanel::Open() {
    const model::Profile& profile = mManager.WorkingProfile();
    for (int i = 0; i < Columns(); ++i) {
        mControls.Indexed("column_%d", i).SetVisible(i < ShownColumns());
        mControls.Indexed("box_enable_%d", i)
            .SetSelected(profile.channels[static_cast<size_t>(i)].compressorOn, false);
        for (size_t row = 0; row < kRows.size(); ++row) {
            ShowValue(TargetAt(row, i));
        }
    }
    mOpen = true;
}

// The column from the control's user data; the row from its name.
std::optional<CompressorValueEditor::ValueTarget> CompressorsOnPanel::TargetOf(
    const toolkit::Notification& n) const {
    const int column = n.userDataInt;
    if (column < 0 || column >= ShownColumns()) {
        return std::nullopt;
    }
    for (size_t row = 0; row < kRows.size(); ++row) {
        if (n.name.find(kRows[row].name) != std::string::npos) {
            return TargetAt(row, column);
        }
    }
    return std::nullopt;
}

bool CompressorsOnPanel::HandleEnableBox(const toolkit::Notification& n) {
    if (n.type != toolkit::kNotifySelectChanged) {
        return false;
    }
    const char* digits = n.name.c_str() + std::char_traits<char>::length(kEnablePrefix);
    char* end = nullptr;
    const long column = std::strtol(digits, &end, 10);
    if (end == digits || *end != '\0' || column < 0 || column >= ShownColumns()) {
        return false;
    }
    const bool on = n.sender != nullptr ? n.sender->Selected() : mControls(n.name).Selected();
    mManager.SetCompressorOn(static_cast<int>(column), on);
    return true;
}

bool CompressorsOnPanel::Handle(const toolkit::Notification& n) {
    if (!mOpen) {
        return false;
    }
    if (StartsWith(n.name, kEnablePrefix)) {
        return HandleEnableBox(n);
    }
    const std::optional<ValueTarget> target = TargetOf(n);
    return target && HandleValue(*target, n);
}

void CompressorsOnPanel::LogEdit(const ValueTarget& target, double typed) {
    app::Log("SetEdit %g %s\n", typed, SpecOf(target.parameter).unit);
}

void CompressorsOnPanel::LogSlider(const ValueTarget& target, double value) {
    app::Log("SetSlider %g %s\n", value, SpecOf(target.parameter).unit);
}

void CompressorsOnPanel::LogStep(const ValueTarget& target, bool) {
    app::Log("SetSliderUp %s\n", target.edit.c_str());
}

void CompressorsOnPanel::Send(const ValueTarget& target) {
    const model::Profile& p = mManager.WorkingProfile();
    const auto c = static_cast<size_t>(target.channel);
    const device::Compressor2Entry entry{
        p.compressorNoise[c], p.compressorAttack[c],
        static_cast<uint32_t>(std::max(p.compressorRelease[c], 0))};
    const auto column = static_cast<uint8_t>(target.channel);
    mManager.Link().Compressor_Ctrl2(
        {static_cast<uint8_t>(p.scene), static_cast<uint8_t>(p.source), column, column},
        std::span(&entry, 1), false);
}

// Across the columns of the model's outputs, then on to the next row; past
// the last row back to the first.
std::optional<CompressorValueEditor::ValueTarget> CompressorsOnPanel::Neighbour(
    const ValueTarget& target, bool right) {
    const int columns = ShownColumns();
    if (columns <= 0) {
        return std::nullopt;
    }
    const int rows = static_cast<int>(kRows.size());
    const int at = static_cast<int>(RowIndexOf(target.parameter)) * columns + target.channel;
    const int cells = rows * columns;
    const int next = right ? (at + 1) % cells : (at + cells - 1) % cells;
    return TargetAt(static_cast<size_t>(next / columns), next % columns);
}

}  // namespace controller
