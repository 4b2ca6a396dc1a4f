#include "controller/noise_gate_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/log.h"
#include "controller/equalizer_manager.h"
#include "model/units.h"

namespace controller {
namespace noise_gate {

double ThresholdDbOf(int position) {
    return 1.5 * position - 76.5;
}

int ThresholdPositionOf(double db) {
    return static_cast<int>(std::lround((db + 76.5) / 1.5));
}

int ThresholdIndexOf(int position) {
    return kThresholdTop - position;
}

double GainDbOf(double position) {
    return position - kGainOffsetDb;
}

std::string DbText(double db) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1fdB", db);
    return text;
}

}  // namespace noise_gate

namespace {

using namespace noise_gate;

constexpr uint32_t kOnColor = 0xFFFFFFFF;
constexpr uint32_t kOffColor = 0xFFFF0000;

constexpr const char* kSwitch = "btn_noise_gate";
constexpr const char* kThresholdSlider = "slider_noise_threshold";
constexpr const char* kGainSlider = "slider_drc_gain";
constexpr const char* kThresholdEdit = "edit_noise_threshold";
constexpr const char* kGainEdit = "edit_drc_gain";

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

NoiseGatePanel::NoiseGatePanel(EqualizerManager& manager, toolkit::ControlAccess& window)
    : mManager(manager) {
    mControls.Bind(&window);
}

void NoiseGatePanel::Show() {
    const model::Profile& profile = mManager.WorkingProfile();
    ShowSwitch(profile.noiseGate != 0);
    mControls(kThresholdEdit).SetText(DbText(profile.noiseGateThreshold));
    mControls(kThresholdSlider).SetValue(ThresholdPositionOf(profile.noiseGateThreshold));
    mControls(kGainEdit).SetText(DbText(profile.noiseGateDrcGain));
    mControls(kGainSlider)
        .SetValue(static_cast<int>(profile.noiseGateDrcGain + static_cast<float>(kGainOffsetDb)));
}

void NoiseGatePanel::ShowSwitch(bool on) {
    toolkit::ControlHandle& button = mControls(kSwitch);
    button.SetText(on ? "${btn_noise_gate_on}" : "${btn_noise_gate_off}");
    button.SetSelected(on, false);
    button.SetTextColor(on ? kOnColor : kOffColor);
}

void NoiseGatePanel::EnableValues(bool on) {
    for (const char* name : {kThresholdSlider, kGainSlider, kThresholdEdit, kGainEdit}) {
        mControls(name).SetEnabled(on);
    }
}

// The toolkit may have flipped the button before its click arrives, so the
// state to leave is the one the profile (and the amplifier) holds.
void NoiseGatePanel::ToggleSwitch() {
    const bool on = mManager.WorkingProfile().noiseGate == 0;
    mManager.SetNoiseGate(on);
    ShowSwitch(on);
    EnableValues(on);
}

// The slider's range as the layout gives it, within what the device takes.
NoiseGatePanel::Range NoiseGatePanel::SliderRange(const char* slider, int deviceTop) {
    const toolkit::ControlHandle& control = mControls(slider);
    if (control.Maximum() <= control.Minimum()) {
        return {0, deviceTop};
    }
    return {std::clamp(control.Minimum(), 0, deviceTop),
            std::clamp(control.Maximum(), 0, deviceTop)};
}

void NoiseGatePanel::FocusEdit(const char* edit) {
    toolkit::ControlHandle& control = mControls(edit);
    control.SetFocus();
    control.SelectAllText();
}

void NoiseGatePanel::SendThreshold(int position) {
    const double db = ThresholdDbOf(position);
    mControls(kThresholdEdit).SetText(DbText(db));
    mManager.WorkingProfile().noiseGateThreshold = static_cast<float>(db);
    mManager.Link().Noise_Gate_Threshold_Ctrl(static_cast<uint8_t>(ThresholdIndexOf(position)),
                                              false);
}

void NoiseGatePanel::SendGain(int position) {
    mManager.Link().Noise_Gate_Drc_Gain_Ctrl(static_cast<uint8_t>(position), false);
}

void NoiseGatePanel::ApplyThresholdSlider() {
    const Range range = SliderRange(kThresholdSlider, kThresholdTop);
    const int p = std::clamp(mControls(kThresholdSlider).Value(), range.lowest, range.highest);
    app::Log("set Noise threshold slider to %.1fdB (%g)\n", ThresholdDbOf(p), double(p));
    SendThreshold(p);
    FocusEdit(kThresholdEdit);
}

void NoiseGatePanel::ApplyGainSlider() {
    const Range range = SliderRange(kGainSlider, kGainTop);
    const int p = std::clamp(mControls(kGainSlider).Value(), range.lowest, range.highest);
    const double db = GainDbOf(p);
    app::Log("set noise gate DrcGain slider to %.1fdB(%g)\n", db, double(p));
    mControls(kGainEdit).SetText(DbText(db));
    FocusEdit(kGainEdit);
    mManager.WorkingProfile().noiseGateDrcGain = static_cast<float>(db);
    SendGain(p);
}

void NoiseGatePanel::ApplyThresholdEdit() {
    toolkit::ControlHandle& edit = mControls(kThresholdEdit);
    const std::optional<double> typed = model::leadingNumber(edit.Text());
    if (!typed) {
        // Not a number: the threshold stays as it was.
        edit.SetText(DbText(mManager.WorkingProfile().noiseGateThreshold));
        return;
    }
    const Range range = SliderRange(kThresholdSlider, kThresholdTop);
    const int q = std::clamp(ThresholdPositionOf(*typed), range.lowest, range.highest);
    mControls(kThresholdSlider).SetValue(q);
    SendThreshold(q);
}

// A typed gain keeps its fraction; the device gets the whole position below.
void NoiseGatePanel::ApplyGainEdit() {
    toolkit::ControlHandle& edit = mControls(kGainEdit);
    const std::optional<double> typed = model::leadingNumber(edit.Text());
    if (!typed) {
        edit.SetText(DbText(mManager.WorkingProfile().noiseGateDrcGain));
        return;
    }
    const Range range = SliderRange(kGainSlider, kGainTop);
    const double q =
        std::clamp(*typed + kGainOffsetDb, double(range.lowest), double(range.highest));
    const double db = GainDbOf(q);
    edit.SetText(DbText(db));
    const int whole = static_cast<int>(std::floor(q));
    mControls(kGainSlider).SetValue(whole);
    mManager.WorkingProfile().noiseGateDrcGain = static_cast<float>(db);
    SendGain(whole);
}

void NoiseGatePanel::StepThreshold(bool up) {
    app::Log(up ? "SetNoiseThresholdUp %.1fdB \n" : "SetNoiseThresholdDown %.1fdB \n",
             double(mManager.WorkingProfile().noiseGateThreshold));
    const Range range = SliderRange(kThresholdSlider, kThresholdTop);
    toolkit::ControlHandle& slider = mControls(kThresholdSlider);
    const int p = slider.Value();
    if ((up && p >= range.highest) || (!up && p <= range.lowest)) {
        return;
    }
    slider.SetValue(std::clamp(p + (up ? 1 : -1), range.lowest, range.highest));
    ApplyThresholdSlider();
}

void NoiseGatePanel::StepGain(bool up) {
    app::Log(up ? "SetDrcGainUp %.1fdB \n" : "SetDrcGainDown %.1fdB \n",
             double(mManager.WorkingProfile().noiseGateDrcGain));
    const Range range = SliderRange(kGainSlider, kGainTop);
    toolkit::ControlHandle& slider = mControls(kGainSlider);
    const int p = slider.Value();
    if ((up && p >= range.highest) || (!up && p <= range.lowest)) {
        return;
    }
    slider.SetValue(std::clamp(p + (up ? 1 : -1), range.lowest, range.highest));
    ApplyGainSlider();
}

bool NoiseGatePanel::EditChanged(bool threshold) {
    const model::Profile& profile = mManager.WorkingProfile();
    return threshold ? mControls(kThresholdEdit).Text() != DbText(profile.noiseGateThreshold)
                     : mControls(kGainEdit).Text() != DbText(profile.noiseGateDrcGain);
}

bool NoiseGatePanel::Handle(const toolkit::Notification& n) {
    const std::string& type = n.type;
    const bool threshold =
        StartsWith(n.name, kThresholdEdit) || StartsWith(n.name, kThresholdSlider);
    const bool edit = StartsWith(n.name, kThresholdEdit) || StartsWith(n.name, kGainEdit);
    const bool slider = StartsWith(n.name, kThresholdSlider) || StartsWith(n.name, kGainSlider);
    if (type == toolkit::kNotifyClick && n.name == kSwitch) {
        ToggleSwitch();
        return true;
    }
    if (edit && (type == toolkit::kNotifyKillFocus || type == toolkit::kNotifyReturn)) {
        if (type == toolkit::kNotifyKillFocus && !EditChanged(threshold)) {
            return true;  // leaving an edit as it was sends nothing again
        }
        app::Log("on edit %s DUI_MSGTYPE_RETURN\n", n.name.c_str());
        threshold ? ApplyThresholdEdit() : ApplyGainEdit();
        return true;
    }
    if (edit &&
        (type == toolkit::kNotifyValueChangedRight || type == toolkit::kNotifyValueChangedLeft)) {
        app::Log(type == toolkit::kNotifyValueChangedRight
                     ? "on edit %s DUI_MSGTYPE_VALUECHANGED_RIGHT\n"
                     : "on edit %s DUI_MSGTYPE_VALUECHANGED_LEFT\n",
                 n.name.c_str());
        FocusEdit(threshold ? kGainEdit : kThresholdEdit);
        return true;
    }
    if (slider &&
        (type == toolkit::kNotifyValueChanged || type == toolkit::kNotifyMoveValueChanged)) {
        app::Log("on silder %s valuechanged\n", n.name.c_str());
        threshold ? ApplyThresholdSlider() : ApplyGainSlider();
        return true;
    }
    if (edit &&
        (type == toolkit::kNotifyValueChangedUp || type == toolkit::kNotifyValueChangedDown)) {
        const bool up = type == toolkit::kNotifyValueChangedUp;
        app::Log(up ? "on edit %s DUI_MSGTYPE_VALUECHANGED_UP\n"
                    : "on edit %s DUI_MSGTYPE_VALUECHANGED_DOWN\n",
                 n.name.c_str());
        threshold ? StepThreshold(up) : StepGain(up);
        return true;
    }
    return false;
}

}  // namespace controller
