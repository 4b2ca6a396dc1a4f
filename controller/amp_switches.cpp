// The amplifier's switches: the amplifier itself, the two remote outputs,
// the speaker impedances and the noise gate. Each shows its state as a
// switch button does everywhere: on is selected with a white text, off not
// selected with a red one, and each state has its own text.
#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {

struct SwitchLook {
    const char* name;
    const char* onText;
    const char* offText;
    const char* log;  // nullptr: the view is not logged
};

namespace {

constexpr uint32_t kSwitchOnColor = 0xFFFFFFFF;
constexpr uint32_t kSwitchOffColor = 0xFFFF0000;

constexpr SwitchLook kAmp{"btn_amp_onoff", "${amp_on}", "${amp_off}", nullptr};
constexpr SwitchLook kRemOut1{"btn_rem_out1_onoff", "${rem_out1_on}", "${rem_out1_off}",
                              "SetRemOut1OnOffButton : %d\n"};
constexpr SwitchLook kRemOut2{"btn_rem_out2_onoff", "${rem_out2_on}", "${rem_out2_off}",
                              "SetRemOut2OnOffButton : %d\n"};
constexpr SwitchLook kSpkOhm{"btn_2ohm_spk", "${btn_2ohm_spk}", "${btn_4ohm_spk}",
                             "SetSpkOhmButton : %d\n"};
constexpr SwitchLook kSpkOhm13{"btn_2ohm_spk_13", "${btn_2ohm_spk_13}", "${btn_4ohm_spk_13}",
                               "SetSpkOhmButton13 : %d\n"};
constexpr SwitchLook kSpkOhm21{"btn_2ohm_spk_21", "${btn_2ohm_spk_21}", "${btn_4ohm_spk_21}",
                               "SetSpkOhmButton21 : %d\n"};
constexpr SwitchLook kNoiseGate{"btn_noise_gate", "${btn_noise_gate_on}", "${btn_noise_gate_off}",
                                "SetNoiseGateButton : %d\n"};

}  // namespace

void EqualizerManager::ShowSwitch(const SwitchLook& look, bool on) {
    if (look.log != nullptr) {
        app::Log(look.log, on ? 1 : 0);
    }
    Ctl& button = mControls(look.name);
    button.SetText(on ? look.onText : look.offText);
    button.SetSelected(on, false);
    if (app::CurrentModelCfg().mSWITCH_BUTTON_TEXT_COLOR) {
        button.SetTextColor(on ? kSwitchOnColor : kSwitchOffColor);
    }
}

// A click asks for the opposite of what the switch showed. The toolkit has
// already flipped a checkable button when its click arrives, so the state
// it showed is the one kept in the profile (and held by the device).
bool EqualizerManager::ToggledState(const SwitchLook& look, int32_t shown) {
    if (!mControls.Exists(look.name)) {
        return true;
    }
    return shown == 0;
}

// ---- views ----

void EqualizerManager::SetAmpOnOffButton(bool on) {
    ShowSwitch(kAmp, on);
}
void EqualizerManager::SetRemOut1OnOffButton(bool on) {
    ShowSwitch(kRemOut1, on);
}
void EqualizerManager::SetRemOut2OnOffButton(bool on) {
    ShowSwitch(kRemOut2, on);
}
void EqualizerManager::SetSpkOhmButton(bool on) {
    ShowSwitch(kSpkOhm, on);
}
void EqualizerManager::SetSpkOhmButton13(bool on) {
    ShowSwitch(kSpkOhm13, on);
}
void EqualizerManager::SetSpkOhmButton21(bool on) {
    ShowSwitch(kSpkOhm21, on);
}
void EqualizerManager::SetNoiseGateButton(bool on) {
    ShowSwitch(kNoiseGate, on);
}

void EqualizerManager::ShowSwitches() {
    SetAmpOnOffButton(mProfile.ampOn != 0);
    SetRemOut1OnOffButton(mProfile.remOut1On != 0);
    SetRemOut2OnOffButton(mProfile.remOut2On != 0);
    SetSpkOhmButton(mProfile.spkOhm != 0);
    SetSpkOhmButton13(mProfile.spkOhm13 != 0);
    SetSpkOhmButton21(mProfile.spkOhm21 != 0);
    SetNoiseGateButton(mProfile.noiseGate != 0);
}

// ---- clicks ----

void EqualizerManager::ToggleAmp() {
    const bool on = ToggledState(kAmp, mProfile.ampOn);
    mProfile.ampOn = on ? 1 : 0;
    SetAmpOnOffButton(on);
    mDeviceLink->Amp_Mute_Ctrl(on ? 0 : 1, false);  // the device takes a mute
}

void EqualizerManager::ToggleRemOut1() {
    const bool on = ToggledState(kRemOut1, mProfile.remOut1On);
    mProfile.remOut1On = on ? 1 : 0;
    SetRemOut1OnOffButton(on);
    SendRemOuts();
}

void EqualizerManager::ToggleRemOut2() {
    const bool on = ToggledState(kRemOut2, mProfile.remOut2On);
    mProfile.remOut2On = on ? 1 : 0;
    SetRemOut2OnOffButton(on);
    SendRemOuts();
}

void EqualizerManager::SendRemOuts() {
    mDeviceLink->Rem_Out_Ctrl(mProfile.remOut1On != 0 ? 1 : 0, mProfile.remOut2On != 0 ? 1 : 0,
                              false);
}

void EqualizerManager::ToggleSpkOhm() {
    const bool on = ToggledState(kSpkOhm, mProfile.spkOhm);
    mProfile.spkOhm = on ? 1 : 0;
    SetSpkOhmButton(on);
    mDeviceLink->Spk_Ohm_Ctrl(on ? 1 : 0, false);
}

void EqualizerManager::ToggleSpkOhm13() {
    const bool on = ToggledState(kSpkOhm13, mProfile.spkOhm13);
    mProfile.spkOhm13 = on ? 1 : 0;
    SetSpkOhmButton13(on);
    SendSpkOhm13_21();
}

void EqualizerManager::ToggleSpkOhm21() {
    const bool on = ToggledState(kSpkOhm21, mProfile.spkOhm21);
    mProfile.spkOhm21 = on ? 1 : 0;
    SetSpkOhmButton21(on);
    SendSpkOhm13_21();
}

void EqualizerManager::SendSpkOhm13_21() {
    mDeviceLink->Spk_Ohm13_21_Ctrl(mProfile.spkOhm13 != 0 ? 1 : 0, mProfile.spkOhm21 != 0 ? 1 : 0,
                                   false);
}

void EqualizerManager::ToggleNoiseGate() {
    SetNoiseGate(ToggledState(kNoiseGate, mProfile.noiseGate));
}

void EqualizerManager::SetNoiseGate(bool on) {
    mProfile.noiseGate = on ? 1 : 0;
    SetNoiseGateButton(on);
    mDeviceLink->Noise_Gate_Ctrl(on ? 1 : 0, false);
}

}  // namespace controller
