// The crossover of the current channel: its high-pass and low-pass
// frequency, filter type and slope, typed, stepped, chosen or dragged on the
// chart, stored, passed to the link partner and the link group, and sent.
#include <algorithm>
#include <optional>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "model/units.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kHighestHz = model::kMaxFrequencyHz;
constexpr int kDragSendPeriodMs = 500;
// Linkwitz-Riley sections come only in even orders: slopes 12, 24, 36 and
// 48 dB/oct, the even slope indexes.
constexpr int kLinkwitzRiley = 2;

model::FilterSection& Section(model::Profile& profile, int channel, bool highPass) {
    model::Crossover& x = profile.channels[channel].crossover;
    return highPass ? x.hp : x.lp;
}

const char* EditOf(bool highPass) {
    return highPass ? "hp_freq" : "lp_freq";
}

}  // namespace

// The frequency stays inside the chart's range and on its own side of the
// other filter: a high-pass never above the low-pass, and the reverse.
static int LimitCrossoverFreq(const model::Crossover& x, bool highPass, int hz) {
    hz = std::clamp(hz, Cfg().mEQ_FREQ_MIN, kHighestHz);
    return highPass ? std::min(hz, x.lp.fs) : std::max(hz, x.hp.fs);
}

void EqualizerManager::StoreCrossover(int channel, bool highPass, int hz, int type, int slope) {
    if (highPass) {
        mProfile.setHpFreq(channel, hz);
        mProfile.setHpType(channel, type);
        mProfile.setHpSlope(channel, slope);
    } else {
        mProfile.setLpFreq(channel, hz);
        mProfile.setLpType(channel, type);
        mProfile.setLpSlope(channel, slope);
    }
}

// The current channel's section as it now is goes to its link partner and
// to every member of its link group; all of them are sent.
void EqualizerManager::PassCrossover(bool highPass) {
    const int c = mProfile.currOutChannel;
    const int partner = LinkPartner(c);
    if (partner >= 0) {
        Section(mProfile, partner, highPass) = Section(mProfile, c, highPass);
    }
    if (Cfg().mHAS_LINK_SEL_CH_BUTTON) {
        for (int member : LinkGroupMembers(c, false)) {
            Section(mProfile, member, highPass) = Section(mProfile, c, highPass);
            SendFilter(member, highPass);
        }
    }
    mControls(EditOf(highPass))
        .SetText(model::formatFrequencyText(Section(mProfile, c, highPass).fs));
    UpdateEqualizer(-1);
    SendFilter(c, highPass);
    if (partner >= 0) {
        SendFilter(partner, highPass);
    }
}

void EqualizerManager::ApplyCrossoverFreq(bool highPass, int hz) {
    const int c = mProfile.currOutChannel;
    const model::FilterSection now = Section(mProfile, c, highPass);
    StoreCrossover(c, highPass, LimitCrossoverFreq(mProfile.channels[c].crossover, highPass, hz),
                   now.type, now.slope);
    PassCrossover(highPass);
}

void EqualizerManager::SetCrossoverFreqEdit(bool highPass, bool keepFocus) {
    const int c = mProfile.currOutChannel;
    if (!IsOutput(c)) {
        return;
    }
    Ctl& edit = mControls(EditOf(highPass));
    const std::optional<int> typed = model::parseFrequencyText(edit.Text());
    if (!typed) {
        // Not a frequency: the stored one stays and is shown again.
        edit.SetText(model::formatFrequencyText(Section(mProfile, c, highPass).fs));
    } else {
        app::Log(highPass ? "set hp freq to %d \n" : "set lp freq to %d \n", *typed);
        ApplyCrossoverFreq(highPass, *typed);
    }
    if (keepFocus) {
        edit.SetFocus();
        edit.SelectAllText();
    }
}

static void StepCrossover(EqualizerManager& manager, model::Profile& profile, bool highPass,
                          bool up, void (EqualizerManager::*apply)(bool, int)) {
    const int c = profile.currOutChannel;
    const int hz = Section(profile, c, highPass).fs;
    if ((up && hz >= kHighestHz) || (!up && hz <= Cfg().mEQ_FREQ_MIN)) {
        return;
    }
    (manager.*apply)(highPass, model::stepFrequency(hz, up));
}

void EqualizerManager::SetHpFreqUp(bool up) {
    app::Log("SetHpFreqUp up(%d)\n", up ? 1 : 0);
    if (IsOutput(mProfile.currOutChannel)) {
        StepCrossover(*this, mProfile, true, up, &EqualizerManager::ApplyCrossoverFreq);
        mControls("hp_freq").SetFocus();
    }
}

void EqualizerManager::SetLpFreqUp(bool up) {
    app::Log("SetLpFreqUp up(%d)\n", up ? 1 : 0);
    if (IsOutput(mProfile.currOutChannel)) {
        StepCrossover(*this, mProfile, false, up, &EqualizerManager::ApplyCrossoverFreq);
        mControls("lp_freq").SetFocus();
    }
}

// Linkwitz-Riley offers only the even slopes: the combo hides the others and
// an odd slope moves up to the next even one.
void EqualizerManager::ShowSlopeItems(bool highPass, int type) {
    Ctl& slope = mControls(highPass ? "hp_slop" : "lp_slop");
    for (int index : {1, 3, 5, 7}) {
        slope.SetItemVisible(index, type != kLinkwitzRiley);
    }
}

void EqualizerManager::SetCrossoverType(bool highPass) {
    const int c = mProfile.currOutChannel;
    if (!IsOutput(c)) {
        return;
    }
    Ctl& combo = mControls(highPass ? "hp_type" : "lp_type");
    const int index = combo.SelectedIndex();
    app::Log(highPass ? "set hp type to %s index %d\n" : "set lp type to %s index %d\n",
             combo.ItemText(index).c_str(), index);
    const model::FilterSection& now = Section(mProfile, c, highPass);
    const int type = index + 1;  // items 0..2 are the types 1..3
    if (index < 0 || type == now.type) {
        return;
    }
    int slope = now.slope;
    if (type == kLinkwitzRiley && slope % 2 == 1) {
        slope += 1;
    }
    StoreCrossover(c, highPass, now.fs, type, slope);
    ShowSlopeItems(highPass, type);
    mControls(highPass ? "hp_slop" : "lp_slop").SelectItem(slope, false);
    PassCrossover(highPass);
}

void EqualizerManager::SetCrossoverSlope(bool highPass) {
    const int c = mProfile.currOutChannel;
    if (!IsOutput(c)) {
        return;
    }
    Ctl& combo = mControls(highPass ? "hp_slop" : "lp_slop");
    const int index = combo.SelectedIndex();
    app::Log(highPass ? "set hp slop to %s index %d\n" : "set lp slop to %s index %d\n",
             combo.ItemText(index).c_str(), index);
    const model::FilterSection& now = Section(mProfile, c, highPass);
    if (index < 0 || index == now.slope) {
        return;
    }
    StoreCrossover(c, highPass, now.fs, now.type, index);
    PassCrossover(highPass);
}

// While the chart is dragged, commands reach the device at most every
// 500 ms; the release always sends.
bool EqualizerManager::DragMaySend(bool released) {
    const int64_t now = mNowMs();
    if (!released && now - mLastDragSentMs <= kDragSendPeriodMs) {
        return false;
    }
    mLastDragSentMs = now;
    return true;
}

void EqualizerManager::ShowCrossover(int channel) {
    const model::Crossover& x = mProfile.channels[channel].crossover;
    app::Log("on SetFreqDivider getHPType %d\n", x.hp.type);
    app::Log("on SetFreqDivider getLPType %d\n", x.lp.type);
    mControls("hp_freq").SetText(model::formatFrequencyText(x.hp.fs));
    mControls("lp_freq").SetText(model::formatFrequencyText(x.lp.fs));
    ShowSlopeItems(true, x.hp.type);
    ShowSlopeItems(false, x.lp.type);
    mControls("hp_slop").SelectItem(x.hp.slope, false);
    mControls("lp_slop").SelectItem(x.lp.slope, false);
    mControls("hp_type").SelectItem(x.hp.type - 1, false);
    mControls("lp_type").SelectItem(x.lp.type - 1, false);
}

}  // namespace controller
