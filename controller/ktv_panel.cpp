#include "controller/ktv_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/log.h"
#include "controller/equalizer_manager.h"
#include "device/mcu_subcommands.h"
#include "model/units.h"

namespace controller {
namespace ktv {
namespace {

using model::Profile;

// The command carries one unsigned byte, two for the echo delay and a signed
// byte for the two tone gains.
constexpr int kByteTop = 255;
constexpr int kWordTop = 65535;
constexpr int kSignedLowest = -128;
constexpr int kSignedTop = 127;

constexpr std::array<ValueSpec, kValues> kValueTable = {{
    {&Profile::micVolume, "slider_mic_volume", "edit_mic_volume", "%ddB", device::KTV_MIC_VOL, 0,
     kByteTop},
    {&Profile::bgmusicVolume, "slider_bgmusic_volume", "edit_bgmusic_volume", "%ddB",
     device::KTV_MUSIC_VOL, 0, kByteTop},
    {&Profile::voiceChanger, "slider_voice_changer", "edit_voice_changer", "%d",
     device::KTV_VOICE_CHANGER, 0, kByteTop},
    {&Profile::treble, "slider_treble", "edit_treble", "%d", device::KTV_TREBLE_GAIN, kSignedLowest,
     kSignedTop},
    {&Profile::bass, "slider_bass", "edit_bass", "%d", device::KTV_BASS_GAIN, kSignedLowest,
     kSignedTop},
    {&Profile::echoLevel, "slider_echo_level", "edit_echo_level", "%ddB", device::KTV_ECHO_LEVEL, 0,
     kByteTop},
    {&Profile::echoDelay, "slider_echo_delay", "edit_echo_delay", "%dms", device::KTV_ECHO_DELAY, 0,
     kWordTop},
    {&Profile::reverbLevel, "slider_reverb_level", "edit_reverb_level", "%d",
     device::KTV_REVERB_LEVEL, 0, kByteTop},
    {&Profile::reverbTime, "slider_reverb_time", "edit_reverb_time", "%dms",
     device::KTV_REVERB_TIME, 0, kByteTop},
}};

}  // namespace

const std::array<ValueSpec, kValues>& Values() {
    return kValueTable;
}

std::string ValueText(const ValueSpec& spec, int value) {
    char text[24];
    std::snprintf(text, sizeof text, spec.format, value);
    return text;
}

std::optional<int> TypedInteger(const std::string& text) {
    const std::optional<double> typed = model::leadingNumber(text);
    if (!typed) {
        return std::nullopt;
    }
    // Far beyond every range: limited here so the conversion stays defined.
    return static_cast<int>(std::trunc(std::clamp(*typed, -1.0e6, 1.0e6)));
}

}  // namespace ktv

namespace {

using ktv::Values;
using ktv::ValueSpec;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The value whose slider or edit raised the notification, by name prefix;
// -1 for none.
int IndexOf(const std::string& name, const char* ValueSpec::*control) {
    for (int i = 0; i < ktv::kValues; ++i) {
        if (StartsWith(name, Values()[i].*control)) {
            return i;
        }
    }
    return -1;
}

}  // namespace

KtvPanel::KtvPanel(EqualizerManager& manager, toolkit::ControlAccess& window) : mManager(manager) {
    mControls.Bind(&window);
}

void KtvPanel::Show() {
    const model::Profile& profile = mManager.WorkingProfile();
    mControls(ktv::kHowlingOption).SetSelected(profile.howlingControl != 0, false);
    for (const ValueSpec& spec : Values()) {
        const int value = profile.*spec.field;
        mControls(spec.slider).SetValue(value);
        mControls(spec.edit).SetText(ktv::ValueText(spec, value));
    }
}

// The slider's range as the layout gives it, within what the command carries.
KtvPanel::Range KtvPanel::RangeOf(const ValueSpec& spec) {
    const toolkit::ControlHandle& slider = mControls(spec.slider);
    if (slider.Maximum() <= slider.Minimum()) {
        return {spec.lowest, spec.highest};
    }
    return {std::clamp(slider.Minimum(), spec.lowest, spec.highest),
            std::clamp(slider.Maximum(), spec.lowest, spec.highest)};
}

void KtvPanel::ApplyHowling() {
    const int on = mControls(ktv::kHowlingOption).Selected() ? 1 : 0;
    mManager.Link().KTV_Ctrl(device::KTV_HOWLING, on, false);
    mManager.WorkingProfile().howlingControl = on;
}

void KtvPanel::Commit(int index, int value, bool moveSlider) {
    const ValueSpec& spec = Values()[index];
    mControls(spec.edit).SetText(ktv::ValueText(spec, value));
    if (moveSlider) {
        mControls(spec.slider).SetValue(value);
    }
    mManager.Link().KTV_Ctrl(spec.subCommand, value, false);
    mManager.WorkingProfile().*spec.field = value;
}

void KtvPanel::SelectEdit(int index) {
    toolkit::ControlHandle& edit = mControls(Values()[index].edit);
    edit.SetFocus();
    edit.SelectAllText();
}

void KtvPanel::ApplyEdit(int index) {
    const ValueSpec& spec = Values()[index];
    const Range range = RangeOf(spec);
    const std::optional<int> typed = ktv::TypedInteger(mControls(spec.edit).Text());
    if (!typed) {
        // A text without a number is no value: the edit shows the kept one
        // again and nothing goes to the amplifier.
        mControls(spec.edit).SetText(ktv::ValueText(spec, mManager.WorkingProfile().*spec.field));
        return;
    }
    Commit(index, std::clamp(*typed, range.lowest, range.highest), true);
}

void KtvPanel::ApplySlider(int index) {
    const ValueSpec& spec = Values()[index];
    const Range range = RangeOf(spec);
    Commit(index, std::clamp(mControls(spec.slider).Value(), range.lowest, range.highest), false);
    SelectEdit(index);
}

void KtvPanel::Step(int index, bool up) {
    const ValueSpec& spec = Values()[index];
    const Range range = RangeOf(spec);
    const int shown = ktv::TypedInteger(mControls(spec.edit).Text())
                          .value_or(mManager.WorkingProfile().*spec.field);
    Commit(index, std::clamp(shown + (up ? 1 : -1), range.lowest, range.highest), true);
    SelectEdit(index);
}

void KtvPanel::FocusNeighbour(int index, bool forward) {
    const int next = (index + (forward ? 1 : ktv::kValues - 1)) % ktv::kValues;
    SelectEdit(next);
}

// Whether the edit shows something other than the value it was given.
bool KtvPanel::EditChanged(int index) {
    const ValueSpec& spec = Values()[index];
    return mControls(spec.edit).Text() !=
           ktv::ValueText(spec, mManager.WorkingProfile().*spec.field);
}

bool KtvPanel::Handle(const toolkit::Notification& n) {
    const std::string& type = n.type;
    if (StartsWith(n.name, ktv::kHowlingOption)) {
        if (type != toolkit::kNotifySelectChanged) {
            return false;
        }
        ApplyHowling();
        return true;
    }
    if (const int slider = IndexOf(n.name, &ValueSpec::slider); slider >= 0) {
        if (type != toolkit::kNotifyValueChanged && type != toolkit::kNotifyMoveValueChanged) {
            return false;
        }
        ApplySlider(slider);
        return true;
    }
    const int edit = IndexOf(n.name, &ValueSpec::edit);
    if (edit < 0) {
        return false;
    }
    if (type == toolkit::kNotifyValueChangedUp || type == toolkit::kNotifyValueChangedDown) {
        Step(edit, type == toolkit::kNotifyValueChangedUp);
    } else if (type == toolkit::kNotifyReturn) {
        ApplyEdit(edit);
    } else if (type == toolkit::kNotifyKillFocus) {
        // Leaving an edit as it was sends nothing again.
        if (EditChanged(edit)) {
            ApplyEdit(edit);
        }
    } else if (type == toolkit::kNotifyValueChangedRight ||
               type == toolkit::kNotifyValueChangedLeft) {
        FocusNeighbour(edit, type == toolkit::kNotifyValueChangedRight);
    } else {
        return false;
    }
    return true;
}

}  // namespace controller
