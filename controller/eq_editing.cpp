// The EQ bands of the current channel: typed into the band edits, stepped,
// moved with the band sliders, switched on and off, given a type, bypassed,
// reset and dragged on the chart; stored, passed to the link group (inside
// one link stage) and the link partner, and sent.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "model/units.h"

namespace controller {
namespace {

using Ctl = toolkit::ControlHandle;

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr float kQLowest = 0.5f;
constexpr float kQHighest = 9.0f;
constexpr float kQStep = 0.05f;
constexpr int kHighestHz = model::kMaxFrequencyHz;

bool Near(float a, float b, float tolerance) {
    return std::fabs(a - b) <= tolerance;
}

// A band is unchanged when frequency, Q (within 0.025) and gain (within
// 0.01 dB) are, and it is on.
bool SameBand(const model::EqBand& a, const model::EqBand& b) {
    return a.freq == b.freq && Near(a.eqFactor, b.eqFactor, 0.025f) &&
           Near(a.eqGain, b.eqGain, 0.01f) && a.enable == b.enable && a.type == b.type;
}

}  // namespace

// ---- reading the band's column ----

// The band as its three edits give it; a text that is not a number keeps
// the stored value.
static model::EqBand BandFromEdits(ControlLookup& controls, const model::EqBand& stored, int band,
                                   std::optional<float> gainFromSlider) {
    model::EqBand value = stored;
    Ctl& freqEdit = controls.Indexed("eq_freq_%d", band);
    const std::optional<int> hz = model::parseFrequencyText(freqEdit.Text());
    if (hz && *hz >= Cfg().mEQ_FREQ_MIN && *hz <= kHighestHz) {
        value.freq = *hz;
    }
    freqEdit.SetText(std::to_string(value.freq));
    Ctl& qEdit = controls.Indexed("eq_q_%d", band);
    if (const std::optional<double> q = model::leadingNumber(qEdit.Text())) {
        value.eqFactor = std::clamp(static_cast<float>(*q), kQLowest, kQHighest);
    }
    qEdit.SetText(model::formatQText(value.eqFactor));
    Ctl& gainEdit = controls.Indexed("eq_gain_%d", band);
    Ctl& slider = controls.Indexed("eq_slider_%d", band);
    std::optional<double> typedGain;
    if (gainFromSlider) {
        typedGain = *gainFromSlider;
    } else {
        typedGain = model::leadingNumber(gainEdit.Text());
    }
    const double typed = typedGain.value_or(static_cast<double>(slider.Value()) / 10.0);
    int tenths = static_cast<int>(std::lround(typed * 10.0));
    if (slider.Maximum() > slider.Minimum()) {
        tenths = std::clamp(tenths, slider.Minimum(), slider.Maximum());
    }
    slider.SetValue(tenths);
    value.eqGain = static_cast<float>(tenths) / 10.0f;
    if (!typedGain || std::fabs(value.eqGain - typed) > 0.001 || gainFromSlider) {
        gainEdit.SetText(model::formatBandGainText(value.eqGain));
    }
    value.enable = true;
    return value;
}

void EqualizerManager::SetChEqEdit(int band) {
    app::Log("SetChEqEdit band=%d\n", band);
    const int c = mProfile.currOutChannel;
    const model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= model::kBandsPerChannel) {
        return;
    }
    const bool inUse = band < mProfile.bandCount(c);
    const model::EqBand value =
        BandFromEdits(mControls, inUse ? bands[band] : model::EqBand{}, band, std::nullopt);
    app::Log("freqValue(%d) ,qValue(%f) ,gainValue(%.1f)\n", value.freq,
             static_cast<double>(value.eqFactor), static_cast<double>(value.eqGain));
    if (!inUse) {
        return;
    }
    ApplyBand(c, band, value, true);
}

void EqualizerManager::SetEqSlider(int band) {
    const int c = mProfile.currOutChannel;
    const model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(c)) {
        return;
    }
    const float gain = static_cast<float>(mControls.Indexed("eq_slider_%d", band).Value()) / 10.0f;
    ApplyBand(c, band, BandFromEdits(mControls, bands[band], band, gain), true);
}

// ---- steps ----

void EqualizerManager::SetEqFreqUp(int band, bool up) {
    app::Log("SetEqFreqUp index(%d) up(%d)\n", band, up ? 1 : 0);
    const int c = mProfile.currOutChannel;
    const model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(c) || !IsPeqMode()) {
        return;
    }
    const int hz = bands[band].freq;
    if ((up && hz >= kHighestHz) || (!up && hz <= Cfg().mEQ_FREQ_MIN)) {
        return;
    }
    Ctl& edit = mControls.Indexed("eq_freq_%d", band);
    edit.SetText(std::to_string(model::stepFrequency(hz, up)));
    SetChEqEdit(band);
    edit.SetFocus();
}

void EqualizerManager::SetEqQUp(int band, bool up) {
    app::Log("SetEqQUp index(%d) up(%d)\n", band, up ? 1 : 0);
    const int c = mProfile.currOutChannel;
    const model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(c) || !IsPeqMode()) {
        return;
    }
    const float q = bands[band].eqFactor;
    if ((up && Near(q, kQHighest, 0.025f)) || (!up && Near(q, kQLowest, 0.025f))) {
        return;
    }
    Ctl& edit = mControls.Indexed("eq_q_%d", band);
    edit.SetText(model::formatQText(std::clamp(q + (up ? kQStep : -kQStep), kQLowest, kQHighest)));
    SetChEqEdit(band);
    edit.SetFocus();
}

void EqualizerManager::SetEqGainUp(int band, bool up) {
    app::Log("SetEqGainUp index(%d) up(%d)\n", band, up ? 1 : 0);
    const int c = mProfile.currOutChannel;
    const model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(c) || bands[band].type != 0) {
        return;
    }
    Ctl& slider = mControls.Indexed("eq_slider_%d", band);
    const int tenths =
        std::clamp(slider.Value() + (up ? 1 : -1), slider.Minimum(), slider.Maximum());
    if (tenths == slider.Value()) {
        return;
    }
    Ctl& edit = mControls.Indexed("eq_gain_%d", band);
    edit.SetText(model::formatBandGainText(static_cast<float>(tenths) / 10.0f));
    SetChEqEdit(band);
    edit.SetFocus();
}

// ---- storing a band and passing it on ----

// The band's new value for the channel, its link group (same stage) and its
// link partner, with the bypass rules; sendNow sends every changed band.
void EqualizerManager::ApplyBand(int channel, int band, const model::EqBand& value, bool sendNow) {
    model::EqBand* bands = mProfile.eqArray(channel);
    if (mProfile.channels[channel].bypass) {
        // The view showed this channel flat: editing starts from there.
        UnbypassByZeroing(channel, band);
    }
    if (SameBand(bands[band], value)) {
        return;
    }
    bands[band] = value;
    mControls.Indexed("pt_enable_%d", band).SetSelected(value.eqGain != 0.0f, false);
    for (int follower : EqFollowers(channel)) {
        if (follower == channel || band >= mProfile.bandCount(follower)) {
            continue;
        }
        mProfile.eqArray(follower)[band] = value;
        if (sendNow) {
            SendEqBand(follower, band);
        }
    }
    UpdateAutoBypass(channel, band);
    UpdateEqualizer(band);
    if (sendNow) {
        SendEqBand(channel, band);
    }
}

// A bypassed channel shows every band flat; the first edit makes that true:
// every band with a gain goes to 0 (and on), on the channel, its bypassed
// link group members of the same stage and its partner.
void EqualizerManager::UnbypassByZeroing(int channel, int keepBand) {
    for (int c : EqFollowers(channel)) {
        if (!mProfile.channels[c].bypass) {
            continue;
        }
        model::EqBand* bands = mProfile.eqArray(c);
        for (int b = 0; b < mProfile.bandCount(c); ++b) {
            if (b != keepBand && (bands[b].eqGain != 0.0f || !bands[b].enable)) {
                bands[b].eqGain = 0.0f;
                bands[b].enable = true;
                SendEqBand(c, b);
            }
        }
        SetBypassOf(c, false);
    }
    ShowEqBands(channel);
}

// The channel counts as flat when no band has a gain left; its EQ is then
// bypassed, and un-bypassed when a gain comes back.
void EqualizerManager::UpdateAutoBypass(int channel, int band) {
    const model::EqBand* bands = mProfile.eqArray(channel);
    float total = 0.0f;
    for (int b = 0; b < mProfile.bandCount(channel); ++b) {
        total += bands[b].enable ? std::fabs(bands[b].eqGain) : 0.0f;
    }
    // Gains shown as 0.0 count as none; a 0.5 dB band is a real setting.
    const bool flat = std::fabs(bands[band].eqGain) < 0.05f && total < 0.05f;
    ShowBypassButton(flat);
    if (flat != mProfile.channels[channel].bypass) {
        for (int c : EqFollowers(channel)) {
            SetBypassOf(c, flat);
        }
    }
}

void EqualizerManager::SetBypassOf(int channel, bool bypassed) {
    if (mProfile.channels[channel].bypass == bypassed) {
        return;
    }
    mProfile.channels[channel].bypass = bypassed;
    SendBypass(channel);
}

// ---- band enable and type ----

void EqualizerManager::ToggleEqEnable(int band) {
    app::Log("OnEqEnable mEqIndex %d\n", band);
    const int c = mProfile.currOutChannel;
    model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(c)) {
        return;
    }
    Ctl& slider = mControls.Indexed("eq_slider_%d", band);
    Ctl& gainEdit = mControls.Indexed("eq_gain_%d", band);
    model::EqBand& b = bands[band];
    const int storedTenths = static_cast<int>(std::lround(b.eqGain * 10.0f));
    bool changed = false;
    if (b.enable && slider.Value() != 0) {
        b.enable = false;  // the stored gain is kept for switching it on again
        slider.SetValue(0);
        gainEdit.SetText(model::formatBandGainText(0.0f));
        changed = true;
    } else if (!b.enable && storedTenths != slider.Value()) {
        b.enable = true;
        slider.SetValue(storedTenths);
        gainEdit.SetText(model::formatBandGainText(b.eqGain));
        changed = true;
    }
    if (changed) {
        SendEqBand(c, band);
        for (int follower : EqFollowers(c)) {
            if (follower != c && band < mProfile.bandCount(follower)) {
                mProfile.eqArray(follower)[band].enable = b.enable;
                SendEqBand(follower, band);
            }
        }
    }
    UpdateEqualizer(-1);
    mControls.Indexed("pt_enable_%d", band).SetSelected(slider.Value() != 0, false);
    bool anyOn = false;
    for (int i = 0; i < mProfile.bandCount(c); ++i) {
        anyOn = anyOn || mControls.Indexed("pt_enable_%d", i).Selected();
    }
    ShowBypassButton(!anyOn);
}

void EqualizerManager::SetEqType() {
    app::Log("on eq comb_eq_type valuechanged\n");
    Ctl& combo = mControls("comb_eq_type");
    const int index = combo.SelectedIndex();
    app::Log("eq type %s\n", combo.ItemText(index).c_str());
    EqChart* chart = mUi != nullptr ? mUi->Chart() : nullptr;
    const int band = chart != nullptr ? chart->CurrentControlIndex() : -1;
    const int c = mProfile.currOutChannel;
    model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(c) || index < 0) {
        return;
    }
    const int type = std::clamp(std::atoi(combo.ItemUserData(index).c_str()), 0, 7);
    app::Log("SetEqType band=%d\n", band);
    for (int follower : EqFollowers(c)) {
        if (band >= mProfile.bandCount(follower)) {
            continue;
        }
        model::EqBand& b = mProfile.eqArray(follower)[band];
        b.type = static_cast<uint8_t>(type);
        if (type != 0) {
            b.eqGain = 0.0f;  // only the peaking band has a gain
        }
    }
    ShowEqBands(c);
    UpdateEqualizer(band);
    for (int follower : EqFollowers(c)) {
        SendEqBand(follower, band);
    }
}

// ---- bypass, reset and the editing mode ----

bool EqualizerManager::AskToConfirm(const std::string& text) {
    return mUi != nullptr && mUi->Confirm("${tips}", text);
}

void EqualizerManager::SetOutputBypass() {
    app::Log("on %s\n", "EqualizerManager::SetOutputBypass");
    const int c = mProfile.currOutChannel;
    const model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr) {
        return;
    }
    bool slidersMoved = false;
    bool gainsStored = false;
    for (int b = 0; b < mProfile.bandCount(c); ++b) {
        slidersMoved = slidersMoved || mControls.Indexed("eq_slider_%d", b).Value() != 0;
        gainsStored = gainsStored || bands[b].eqGain != 0.0f;
    }
    bool bypass = false;
    if (slidersMoved) {
        if (!AskToConfirm("${bypass_all_eq_tips}")) {
            return;
        }
        bypass = true;
    } else if (gainsStored && !AskToConfirm("${restore_all_eq_tips}")) {
        return;
    }
    ShowBypassButton(bypass);
    mProfile.channels[c].bypass = bypass;
    SendBypass(c);
    for (int follower : EqFollowers(c)) {
        if (follower != c) {
            mProfile.channels[follower].bypass = bypass;
            SendBypass(follower);
        }
    }
    ShowEqBands(c);
    UpdateEqualizer(-1);
}

void EqualizerManager::SetOutputEqReset() {
    app::Log("on %s\n", "EqualizerManager::SetOutputEqReset");
    const int c = mProfile.currOutChannel;
    if (mProfile.eqArray(c) == nullptr || !AskToConfirm("${reset_all_eq_tips}")) {
        return;
    }
    const int partner = LinkPartner(c);
    std::vector<uint8_t> reset = {static_cast<uint8_t>(c)};
    for (int follower : EqFollowers(c)) {
        model::Profile::fillDefaultBands(mProfile.eqArray(follower), mProfile.bandCount(follower));
        mProfile.channels[follower].bypass = false;
        if (follower != c && follower != partner) {
            SendEqBands(follower);  // group members are reset band by band
        }
    }
    if (partner >= 0) {
        reset.push_back(static_cast<uint8_t>(partner));
    }
    ShowEqBands(c);
    ShowBypassButton(false);
    UpdateEqualizer(-1);
    mDeviceLink->PEQ_Reset_Ctrl(static_cast<uint8_t>(mProfile.scene), reset, false);
}

bool EqualizerManager::IsPeqMode() const {
    return mProfile.peqMode;
}

void EqualizerManager::TogglePeqMode() {
    const bool peq = mProfile.peqMode;
    if (!AskToConfirm(peq ? "${geq_mode_tips}" : "${peq_mode_tips}")) {
        ShowPeqMode();  // the button shows the mode that stays
        return;
    }
    mProfile.peqMode = !peq;
    ShowPeqMode();
    ShowEqBands(mProfile.currOutChannel);
}

void EqualizerManager::ShowPeqMode() {
    Ctl& button = mControls("btn_arg_eq");
    button.SetSelected(mProfile.peqMode, false);
    button.SetText(mProfile.peqMode ? "${peq_mode}" : "${geq_mode}");
    if (EqChart* chart = mUi != nullptr ? mUi->Chart() : nullptr) {
        chart->setDragAllDirection(mProfile.peqMode);
    }
}

void EqualizerManager::ShowBypassButton(bool bypassed) {
    mControls("btn_bypass").SetText(bypassed ? "${restore_eq}" : "${bypass_eq}");
}

// ---- the chart ----

void EqualizerManager::EqualizerCallback(int index, int kind, bool released) {
    app::Log("%s cmd %d index %d\n", "EqualizerCallback", kind, index);
    EqChart* chart = mUi != nullptr ? mUi->Chart() : nullptr;
    const int c = mProfile.currOutChannel;
    if (chart == nullptr || !IsOutput(c)) {
        return;
    }
    if (kind == 1 || kind == 2) {
        const bool highPass = kind == 1;
        const int hz = highPass ? chart->HpFreq() : chart->LpFreq();
        app::Log("EqualizerCallback mLpFreq(%d)\n", hz);
        if (hz < 0) {
            return;
        }
        const model::FilterSection now =
            highPass ? mProfile.channels[c].crossover.hp : mProfile.channels[c].crossover.lp;
        StoreCrossover(c, highPass, hz, now.type, now.slope);
        if (DragMaySend(released)) {
            PassCrossover(highPass);
        } else {
            mControls(highPass ? "hp_freq" : "lp_freq")
                .SetText(model::formatFrequencyText(highPass
                                                        ? mProfile.channels[c].crossover.hp.fs
                                                        : mProfile.channels[c].crossover.lp.fs));
            UpdateEqualizer(-1);
        }
        return;
    }
    model::EqBand* bands = mProfile.eqArray(c);
    if (bands == nullptr || index < 0 || index >= mProfile.bandCount(c)) {
        return;
    }
    // The chart's pixels give any gain and Q; they are kept to the steps the
    // edits show and the device takes (0.1 dB, 0.01), so that screen, profile
    // and amplifier hold one value.
    model::EqBand value = chart->Band(index);
    value.freq = std::clamp(value.freq, Cfg().mEQ_FREQ_MIN, kHighestHz);
    value.eqFactor = std::clamp(std::round(value.eqFactor * 100.0f) / 100.0f, kQLowest, kQHighest);
    value.eqGain = std::clamp(std::round(value.eqGain * 10.0f) / 10.0f, -18.0f, 12.0f);
    value.enable = true;
    // The chart was given a disabled band (and every band of a bypassed
    // channel) flat: only a point the user moved away from that is a change.
    // Hovering onto such a band must neither switch it on nor lose its gain.
    model::EqBand shown = bands[index];
    if (!shown.enable || mProfile.channels[c].bypass) {
        shown.eqGain = 0.0f;
    }
    shown.enable = true;
    const bool changed = !SameBand(shown, value);
    // Hovering onto a band only selects it: nothing to send, and the drag's
    // 500 ms window is left alone.
    const bool send = (changed || released) && DragMaySend(released);
    if (changed) {
        ApplyBand(c, index, value, false);
        ShowEqBands(c);
    } else {
        UpdateEqualizer(index);  // the chart shows the selection
    }
    if (send) {
        for (int follower : EqFollowers(c)) {
            SendEqBand(follower, index);
        }
    }
}

}  // namespace controller
