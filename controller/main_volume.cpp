// The main volume: its slider (with the rate limit of a drag), its edit and
// steps, the main mute, and the ACC delay beside them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "model/main_volume_map.h"
#include "model/units.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int64_t kMainVolumeRateLimitMs = 200;
constexpr int kCacheTimerMs = 100;

}  // namespace

// ---- main volume ----

void EqualizerManager::SetMainVolumeSlider() {
    const int x = mControls("slider_main_volume").Value();
    app::Log("SetMainVolumeSlider %g\n", static_cast<double>(x));
    bool send = true;
    const int64_t now = mNowMs();
    if (now - mLastMainVolumeSentMs > kMainVolumeRateLimitMs) {
        mLastMainVolumeSentMs = now;
        mMainVolumePending = false;
    } else {
        // Held back: the timer sends the last value once the drag pauses.
        send = false;
        mMainVolumePending = true;
        if (mPage != nullptr) {
            mPage->SetTimer(CACHE_MAIN_VOLUME_TIMER, kCacheTimerMs);
        }
    }
    ApplyMainVolume(x, send, true);
}

void EqualizerManager::OnMainVolumeTimerTick() {
    if (!mMainVolumePending) {
        return;
    }
    mMainVolumePending = false;
    app::Log("on volume silder CACHE_MAIN_VOLUME_TIMER\n");
    mLastMainVolumeSentMs = mNowMs();
    // The drag already put the focus on the edit; the user may have moved on.
    ApplyMainVolume(mProfile.mainVolume, true, false);
}

void EqualizerManager::SetMainVolumeEdit(bool keepFocus) {
    Ctl& edit = mControls("edit_main_volume");
    const std::string text = edit.Text();
    app::Log("SetMainVolumeEdit %s\n", text.c_str());
    const std::optional<double> typed =
        IsOffText(text) ? std::optional<double>(0.0) : model::leadingNumber(text);
    if (!typed) {
        // Not a number: the volume stays, and so does what the device plays.
        ShowMainVolume();
        if (keepFocus) {
            edit.SetFocus();
            edit.SelectAllText();
        }
        return;
    }
    const double lowest = Cfg().mMAIN_VOLUME_SLIDER_MIN;
    const double highest = Cfg().mMAIN_VOLUME_SLIDER_MAX;
    const int x = static_cast<int>(std::lround(std::clamp(*typed, lowest, highest)));
    mControls("slider_main_volume").SetValue(x);
    mLastMainVolumeSentMs = mNowMs();
    mMainVolumePending = false;
    ApplyMainVolume(x, true, keepFocus);
}

void EqualizerManager::SetMainVolumeUp(bool up) {
    app::Log("SetMainVolumeUp %d \n", up ? 1 : 0);
    Ctl& slider = mControls("slider_main_volume");
    const int before = slider.Value();
    const int after = std::clamp(before + (up ? 1 : -1), Cfg().mMAIN_VOLUME_SLIDER_MIN,
                                 Cfg().mMAIN_VOLUME_SLIDER_MAX);
    if (after == before) {
        return;
    }
    slider.SetValue(after);
    if (slider.Value() != before) {
        SetMainVolumeSlider();
    }
}

void EqualizerManager::ApplyMainVolume(int x, bool send, bool keepFocus) {
    app::Log("SetMainVolumeRelatedAfterDecidedValue %g\n", static_cast<double>(x));
    mProfile.mainVolume = x;
    if (send) {
        mDeviceLink->Main_Volume_Ctrl(model::MainVolumeAttenuationOf(x), false);
    }
    ShowMainVolume();
    if (keepFocus) {
        Ctl& edit = mControls("edit_main_volume");
        edit.SetFocus();
        edit.SelectAllText();
    }
    if (mProfile.mainVolumeMute == 1) {
        // Turning the volume is meant to be heard.
        mControls("main_mute").SetSelected(false, false);
        ApplyMainMute(false);
    }
}

void EqualizerManager::ShowMainVolume() {
    Ctl& slider = mControls("slider_main_volume");
    if (slider.Value() != mProfile.mainVolume) {
        slider.SetValue(mProfile.mainVolume);
    }
    std::string text;
    if (Cfg().mVOLUME_SHOW_NO_OFF && mProfile.mainVolume == 0) {
        app::Log("SetMainVolumeEditText OFF\n");
        text = "${off}";
    } else {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, Cfg().mVOLUME_SHOW_NO_DB ? "%g" : "%gdB",
                      static_cast<double>(mProfile.mainVolume));
        text = buffer;
    }
    app::Log("SetMainVolumeEditText %s\n", text.c_str());
    mControls("edit_main_volume").SetText(text);
    mControls("main_mute").SetSelected(mProfile.mainVolumeMute != 0, false);
}

void EqualizerManager::OnMainVolumeReport(int deviceVolume) {
    if (mPage != nullptr) {
        mPage->KillTimer(GET_MAIN_VOLUME_TIMER);
    }
    mMainVolumePolls = 0;
    app::Log("DSP_VOLUME %d \n", deviceVolume);
    const int slider =
        model::MainVolumeSliderOf(deviceVolume, mControls("slider_main_volume").Value());
    app::Log("DSP_VOLUME %d \n", slider);
    mProfile.mainVolume = slider;
    ShowMainVolume();
}

// ---- main mute ----

void EqualizerManager::SetMainMute() {
    ApplyMainMute(mControls("main_mute").Selected());
}

void EqualizerManager::ApplyMainMute(bool on) {
    mProfile.mainVolumeMute = on ? 1 : 0;
    app::Log("set main mute to %d\n", mProfile.mainVolumeMute);
    mDeviceLink->Mute_Ctrl(static_cast<uint8_t>(mProfile.mainVolumeMute), false);
}

// ---- ACC delay ----

void EqualizerManager::SetAccSlider() {
    const int value = mControls("slider_acc").Value();
    app::Log("SetAccSlider %g\n", static_cast<double>(value));
    ApplyAcc(value, true);
}

void EqualizerManager::SetAccEdit(bool keepFocus) {
    Ctl& edit = mControls("edit_acc");
    Ctl& slider = mControls("slider_acc");
    const std::string text = edit.Text();
    app::Log("SetAccEdit %s\n", text.c_str());
    const std::optional<double> typed =
        IsOffText(text) ? std::optional<double>(slider.Minimum()) : model::leadingNumber(text);
    if (!typed) {
        ShowAcc();  // not a number: the delay stays
        if (keepFocus) {
            edit.SetFocus();
            edit.SelectAllText();
        }
        return;
    }
    const double clamped =
        std::clamp(*typed, static_cast<double>(kAccSliderMin), static_cast<double>(kAccSliderMax));
    slider.SetValue(static_cast<int>(std::lround(clamped)));
    ApplyAcc(slider.Value(), keepFocus);
}

void EqualizerManager::SetAccUp(bool up) {
    app::Log("SetAccUp %d \n", up ? 1 : 0);
    Ctl& slider = mControls("slider_acc");
    slider.SetValue(std::clamp(slider.Value() + (up ? 1 : -1), kAccSliderMin, kAccSliderMax));
    ApplyAcc(slider.Value(), true);
}

void EqualizerManager::ApplyAcc(int value, bool keepFocus) {
    app::Log("SetAccRelatedAfterDecidedValue %d\n", value);
    mProfile.acc = value;
    mDeviceLink->Set_Acc(static_cast<uint8_t>(value), false);
    ShowAcc();
    if (keepFocus) {
        Ctl& edit = mControls("edit_acc");
        edit.SetFocus();
        edit.SelectAllText();
    }
}

void EqualizerManager::ShowAcc() {
    Ctl& slider = mControls("slider_acc");
    if (slider.Value() != mProfile.acc) {
        slider.SetValue(mProfile.acc);
    }
    mControls("edit_acc")
        .SetText(mProfile.acc == slider.Minimum() ? "${off}" : std::to_string(mProfile.acc));
}

bool EqualizerManager::IsOffText(const std::string& text) const {
    return text == "${off}" || (mUi != nullptr && text == mUi->Translate("${off}"));
}

}  // namespace controller
