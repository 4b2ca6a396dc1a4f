#include "controller/compressor_value_editor.h"

#include <algorithm>
#include <array>

#include "controller/equalizer_manager.h"
#include "model/units.h"

namespace controller {

using namespace compressor;

CompressorValueEditor::CompressorValueEditor(EqualizerManager& manager,
                                             toolkit::ControlAccess& window)
    : mManager(manager) {
    mControls.Bind(&window);
}

void CompressorValueEditor::ShowValue(const ValueTarget& target) {
    const ParameterSpec& spec = SpecOf(target.parameter);
    const double value = ValueOf(mManager.WorkingProfile(), target.channel, target.parameter);
    mControls(target.edit).SetText(EditText(spec, value));
    mControls(target.slider).SetValue(PositionOf(spec, value));
}

void CompressorValueEditor::FocusEdit(const std::string& edit) {
    toolkit::ControlHandle& control = mControls(edit);
    control.SetFocus();
    control.SelectAllText();
}

void CompressorValueEditor::StoreAndSend(const ValueTarget& target, double value) {
    Store(mManager.WorkingProfile(), target.channel, target.parameter, value);
    Send(target);
}

// A text without a number is no choice of the user's: rather than read it
// as 0 (for a threshold the loudest setting there is), the value stays.
void CompressorValueEditor::CommitEdit(const ValueTarget& target) {
    toolkit::ControlHandle& edit = mControls(target.edit);
    const std::optional<double> typed = model::leadingNumber(edit.Text());
    if (!typed) {
        ShowValue(target);
        edit.SelectAllText();
        return;
    }
    LogEdit(target, *typed);
    const ParameterSpec& spec = SpecOf(target.parameter);
    toolkit::ControlHandle& slider = mControls(target.slider);
    const double value = Limited(spec, RangeOf(slider, spec), *typed);
    edit.SetText(EditText(spec, value));
    slider.SetValue(PositionOf(spec, value));
    StoreAndSend(target, value);
}

void CompressorValueEditor::ApplySlider(const ValueTarget& target) {
    const ParameterSpec& spec = SpecOf(target.parameter);
    toolkit::ControlHandle& slider = mControls(target.slider);
    const Positions range = RangeOf(slider, spec);
    const double value = ValueAt(spec, std::clamp(slider.Value(), range.lowest, range.highest));
    LogSlider(target, value);
    mControls(target.edit).SetText(EditText(spec, value));
    FocusEdit(target.edit);
    StoreAndSend(target, value);
}

void CompressorValueEditor::Step(const ValueTarget& target, bool up) {
    LogStep(target, up);
    const ParameterSpec& spec = SpecOf(target.parameter);
    toolkit::ControlHandle& slider = mControls(target.slider);
    slider.SetValue(
        Stepped(slider.Value(), up, spec.step, DropsRemainder(), RangeOf(slider, spec)));
    ApplySlider(target);
}

bool CompressorValueEditor::ShowsStoredValue(const ValueTarget& target) {
    const double value = ValueOf(mManager.WorkingProfile(), target.channel, target.parameter);
    return mControls(target.edit).Text() == EditText(SpecOf(target.parameter), value);
}

void CompressorValueEditor::OnReturn(const ValueTarget& target, bool) {
    CommitEdit(target);
}

// Leaving an edit as it was sends nothing again.
void CompressorValueEditor::OnLeave(const ValueTarget& target, bool) {
    if (!ShowsStoredValue(target)) {
        CommitEdit(target);
    }
}

void CompressorValueEditor::OnSlider(const ValueTarget& target, bool) {
    ApplySlider(target);
}

void CompressorValueEditor::MoveFocus(const ValueTarget& target, bool right) {
    if (const std::optional<ValueTarget> next = Neighbour(target, right)) {
        FocusEdit(next->edit);
    }
}

bool CompressorValueEditor::HandleValue(const ValueTarget& target, const toolkit::Notification& n) {
    struct Route {
        const char* type;
        bool onEdit;
        void (CompressorValueEditor::*act)(const ValueTarget&, bool);
        bool flag;  // up, or rightwards
    };
    static constexpr std::array<Route, 8> kRoutes = {{
        {toolkit::kNotifyReturn, true, &CompressorValueEditor::OnReturn, false},
        {toolkit::kNotifyKillFocus, true, &CompressorValueEditor::OnLeave, false},
        {toolkit::kNotifyValueChangedUp, true, &CompressorValueEditor::Step, true},
        {toolkit::kNotifyValueChangedDown, true, &CompressorValueEditor::Step, false},
        {toolkit::kNotifyValueChangedRight, true, &CompressorValueEditor::MoveFocus, true},
        {toolkit::kNotifyValueChangedLeft, true, &CompressorValueEditor::MoveFocus, false},
        {toolkit::kNotifyValueChanged, false, &CompressorValueEditor::OnSlider, false},
        {toolkit::kNotifyMoveValueChanged, false, &CompressorValueEditor::OnSlider, false},
    }};
    const bool onEdit = n.name == target.edit;
    if (!onEdit && n.name != target.slider) {
        return false;
    }
    for (const Route& route : kRoutes) {
        if (route.onEdit == onEdit && n.type == route.type) {
            (this->*route.act)(target, route.flag);
            return true;
        }
    }
    return false;
}

}  // namespace controller
