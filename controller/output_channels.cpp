// The output channels: which channel is current, and trim, mute, phase,
// solo, delay, output type and bridging of each, taken from the controls,
// stored in the working profile, shown and sent to the amplifier.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <thread>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "device/tick.h"
#include "model/output_type.h"
#include "model/profile_defaults.h"
#include "model/units.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kTrimMinTenths = -600;
constexpr int kTrimMaxTenths = 0;
constexpr int kTrimStepTenths = 10;
constexpr int64_t kTrimRateLimitMs = 200;
constexpr int kCacheTimerMs = 100;
constexpr int kQueueIdlePolls = 100;
constexpr auto kQueueIdlePollPeriod = std::chrono::milliseconds(100);

int OutputCount() {
    return Cfg().mOUT_CHANNEL_NUMBER;
}

}  // namespace

device::ChannelRange EqualizerManager::RangeOf(int channel) const {
    const uint8_t c = static_cast<uint8_t>(channel);
    return {static_cast<uint8_t>(mProfile.scene), 0, c, c};
}

// The output paired with this one for display and linked edits, or -1: the
// link-mode partner, else the bridge partner of a bridged pair.
int EqualizerManager::LinkPartner(int channel) const {
    if (channel < 0 || channel >= model::kOutputSlots) {
        return -1;
    }
    int partner = mProfile.linkMode != 0 ? mProfile.linkOutputs[static_cast<size_t>(channel)] : -1;
    if (partner == -1 && mProfile.bridgeOutputs[static_cast<size_t>(channel / 2)] != 0) {
        partner = channel ^ 1;
    }
    return partner >= 0 && partner < OutputCount() && partner != channel ? partner : -1;
}

// ---- current channel ----

void EqualizerManager::SetCurChannelChange(int channel) {
    app::Log("on SetCurChannelChange channel index %d\n", channel);
    if (!IsOutput(channel)) {
        return;
    }
    mProfile.currOutChannel = channel;
    const int partner = LinkPartner(channel);
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("ch_enable_%d", c).SetSelected(c == channel || c == partner, false);
    }
    char label[16];
    std::snprintf(label, sizeof label, "CH%d", channel + 1);
    mControls("label_channel_name").SetText(label);
    ShowTrim(channel, static_cast<int>(std::lround(mProfile.channels[channel].gain * 10.0f)));
    ShowMute(channel);
    ShowPhase(channel);
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("ch_show_%d", c)
            .SetSelected(mProfile.showOutChEqualizer[static_cast<size_t>(c)] != 0, false);
    }
    ShowSpeakerPositions();
    ShowCrossover(channel);
    ShowEqBands(channel);
    ShowBypassButton(mProfile.channels[channel].bypass);
    ShowPeqMode();
    UpdateEqualizer(-1);
}

// ---- trim ----

void EqualizerManager::SetChVolumeSlider(int channel, bool refocus, bool fromTimer,
                                         bool immediate) {
    if (channel < 0) {
        channel = mProfile.currOutChannel;
    }
    if (!IsOutput(channel)) {
        return;
    }
    Ctl& own = mControls.Indexed("slider_ch_volume_%d", channel);
    Ctl& slider = mControls.Exists(own.Name()) || fromTimer ? own : mControls("slider_ch_volume");
    int x = slider.Value();
    bool send = true;
    const int64_t now = mNowMs();
    if (!immediate && now - mLastTrimSentMs <= kTrimRateLimitMs) {
        // Held back: the timer sends the last value once the drag pauses.
        send = false;
        mTrimPending = true;
        mTrimPendingChannel = channel;
        if (mPage != nullptr) {
            mPage->SetTimer(CACHE_CH_VOLUME_TIMER, kCacheTimerMs);
        }
    } else {
        mLastTrimSentMs = now;
        mTrimPending = false;
    }
    ApplyTrim(channel, x, send, refocus);
}

void EqualizerManager::OnChVolumeTimer() {
    if (!mTrimPending) {
        return;
    }
    mTrimPending = false;
    app::Log("on volume silder CACHE_CH_VOLUME_TIMER index %d\n", mTrimPendingChannel);
    SetChVolumeSlider(mTrimPendingChannel, false, true, true);
    mTrimPendingChannel = -1;
}

void EqualizerManager::SetChVolumeEdit(int channel, bool keepFocus) {
    if (channel < 0) {
        channel = mProfile.currOutChannel;
    }
    if (!IsOutput(channel)) {
        return;
    }
    Ctl& edit = mControls.Exists(mControls.Indexed("edit_ch_volume_%d", channel).Name())
                    ? mControls.Indexed("edit_ch_volume_%d", channel)
                    : mControls("edit_ch_volume");
    std::string text = edit.Text();
    const bool off = mUi != nullptr && (text == "${off}" || text == mUi->Translate("${off}"));
    const std::optional<double> typed =
        off ? std::optional<double>(kTrimMinTenths / 10.0) : model::leadingNumber(text);
    if (!typed) {
        // Not a number: the stored trim stays, and so does what the device plays.
        ShowTrim(channel, static_cast<int>(std::lround(mProfile.channels[channel].gain * 10.0f)));
    } else {
        const double tenths =
            std::clamp(*typed * 10.0, double{kTrimMinTenths}, double{kTrimMaxTenths});
        mLastTrimSentMs = mNowMs();
        ApplyTrim(channel, static_cast<int>(std::lround(tenths)), true, true);
    }
    if (keepFocus) {
        edit.SetFocus();
        edit.SelectAllText();
    }
}

void EqualizerManager::SetChVolumeUp(int channel, bool up) {
    app::Log("SetChVolumeUp %d \n", up ? 1 : 0);
    if (channel < 0) {
        channel = mProfile.currOutChannel;
    }
    if (!IsOutput(channel)) {
        return;
    }
    Ctl& slider = mControls.Indexed("slider_ch_volume_%d", channel);
    int before = static_cast<int>(std::lround(mProfile.channels[channel].gain * 10.0f));
    int after = std::clamp(before + (up ? kTrimStepTenths : -kTrimStepTenths), kTrimMinTenths,
                           kTrimMaxTenths);
    if (after == before) {
        return;
    }
    slider.SetValue(after);
    SetChVolumeSlider(channel, true, false, false);
}

void EqualizerManager::ApplyTrim(int channel, int tenths, bool send, bool unmute) {
    tenths = std::clamp(tenths, kTrimMinTenths, kTrimMaxTenths);
    model::Channel& ch = mProfile.channels[channel];
    const float oldGain = ch.gain;
    ch.gain = static_cast<float>(tenths) / 10.0f;
    ShowTrim(channel, tenths);
    if (send) {
        SendTrim(channel);
        if (unmute && ch.mute != 0) {
            ApplyMute(channel, false);
        }
    }
    if (send && ch.gain != oldGain) {
        PropagateTrim(channel, oldGain);
    }
}

// A linked partner and the other members of the link group follow the trim,
// each keeping its difference when the model links with a delta; a member
// whose pair is bridged takes its bridge partner along.
void EqualizerManager::PropagateTrim(int channel, float oldGain) {
    const float newGain = mProfile.channels[channel].gain;
    const float change = newGain - oldGain;
    std::vector<int> done = {channel};
    auto follow = [&](int target) {
        if (!IsOutput(target) || std::find(done.begin(), done.end(), target) != done.end()) {
            return;
        }
        done.push_back(target);
        model::Channel& other = mProfile.channels[target];
        const float value = Cfg().mLINK_CH_VOL_WITH_DELTA ? other.gain + change : newGain;
        const int tenths = std::clamp(static_cast<int>(std::lround(value * 10.0f)), kTrimMinTenths,
                                      kTrimMaxTenths);
        other.gain = static_cast<float>(tenths) / 10.0f;
        ShowTrim(target, tenths);
        SendTrim(target);
    };
    const int partner = LinkPartner(channel);
    if (partner >= 0 && Cfg().mLINK_LR_CH_VOL) {
        follow(partner);
    }
    if (Cfg().mHAS_LINK_SEL_CH_BUTTON) {
        for (int member : LinkGroupMembers(channel, false)) {
            if (member == partner) {
                continue;
            }
            follow(member);
            if (mProfile.bridgeOutputs[static_cast<size_t>(member / 2)] != 0) {
                follow(member ^ 1);
            }
        }
    }
    const int type = mProfile.outputs[static_cast<size_t>(channel)];
    if (Cfg().mLINK_SUB_CH_VOL && (type == 22 || type == 23)) {
        const int otherSub = type == 22 ? 23 : 22;
        for (int c = 0; c < OutputCount(); ++c) {
            if (mProfile.outputs[static_cast<size_t>(c)] == otherSub && c != channel) {
                mProfile.channels[c].gain = newGain;
                ShowTrim(c, static_cast<int>(std::lround(newGain * 10.0f)));
                SendTrim(c);
            }
        }
    }
}

// ---- mute, phase, solo ----

void EqualizerManager::SetChMute(int channel) {
    if (channel < 0) {
        channel = mProfile.currOutChannel;
    }
    if (!IsOutput(channel)) {
        return;
    }
    bool on = mControls.Indexed("ch_mute_%d", channel).Selected();
    if (!mControls.Exists(mControls.Indexed("ch_mute_%d", channel).Name())) {
        on = mControls("ch_mute").Selected();
    }
    ApplyMute(channel, on);
}

// The outputs a mute or phase change of this one reaches besides its bridge
// partner: the members of its link group except its link partner, each with
// its own bridge partner, when the change links.
std::vector<int> EqualizerManager::GroupFollowers(int channel, bool links) const {
    std::vector<int> targets;
    if (!links) {
        return targets;
    }
    const int partner = LinkPartner(channel);
    for (int member : LinkGroupMembers(channel, false)) {
        if (member == partner) {
            continue;
        }
        targets.push_back(member);
        if (mProfile.bridgeOutputs[static_cast<size_t>(member / 2)] != 0) {
            targets.push_back(member ^ 1);
        }
    }
    return targets;
}

void EqualizerManager::ApplyMute(int channel, bool on) {
    std::vector<int> targets = {channel};
    if (mProfile.bridgeOutputs[static_cast<size_t>(channel / 2)] != 0) {
        targets.push_back(channel ^ 1);
    }
    for (int c : GroupFollowers(channel, mLinkMute)) {
        if (std::find(targets.begin(), targets.end(), c) == targets.end()) {
            targets.push_back(c);
        }
    }
    for (int c : targets) {
        if (!IsOutput(c)) {
            continue;
        }
        app::Log("channel %d mute seleted %d\n", c, on ? 1 : 0);
        mProfile.channels[c].mute = on ? 1 : 0;
        ShowMute(c);
        SendMute(c);
    }
}

void EqualizerManager::SetChPhase(int channel) {
    if (channel < 0) {
        channel = mProfile.currOutChannel;
    }
    if (!IsOutput(channel)) {
        return;
    }
    bool on = mControls.Indexed("ch_phase_%d", channel).Selected();
    if (!mControls.Exists(mControls.Indexed("ch_phase_%d", channel).Name())) {
        on = mControls("ch_phase").Selected();
    }
    ApplyPhase(channel, on);
}

void EqualizerManager::ApplyPhase(int channel, bool on) {
    std::vector<int> targets = {channel};
    if (!Cfg().mNO_BRIDGE_PHASE && mProfile.bridgeOutputs[static_cast<size_t>(channel / 2)] != 0) {
        targets.push_back(channel ^ 1);
    }
    for (int c : GroupFollowers(channel, mLinkPhase)) {
        if (std::find(targets.begin(), targets.end(), c) == targets.end()) {
            targets.push_back(c);
        }
    }
    for (int c : targets) {
        if (!IsOutput(c)) {
            continue;
        }
        app::Log("channel %d phase seleted %d\n", c, on ? 1 : 0);
        mProfile.channels[c].phase = on ? 1 : 0;
        ShowPhase(c);
        SendPhase(c);
    }
}

void EqualizerManager::SetChSolo(int channel) {
    if (!IsOutput(channel)) {
        return;
    }
    mLastSoloChannel = channel;
    const bool on = mControls.Indexed("ch_solo_%d", channel).Selected();
    app::Log("channel %d solo seleted %d\n", channel, on ? 1 : 0);
    const int partner = LinkPartner(channel);
    for (int c = 0; c < OutputCount(); ++c) {
        int before = mProfile.channels[c].solo;
        if (c == channel || c == partner) {
            mProfile.channels[c].solo = on ? 1 : 0;
        } else if (on) {
            mProfile.channels[c].solo = 0;  // solo is exclusive
        }
        if (mProfile.channels[c].solo != before || c == channel) {
            ShowSolo(c);
        }
    }
    SendSolos();
    SetCurChannelChange(channel);
}

// ---- output type ----

void EqualizerManager::SetOutputValue(int channel, const std::string& itemName, bool keepBackup) {
    app::Log("SetOutputValue channel %d selected value %s\n", channel, itemName.c_str());
    if (!IsOutput(channel)) {
        return;
    }
    int type = -1;
    for (int t = 0; t <= model::kMaxOutputType; ++t) {
        const char* key = model::outputTypeKey(t);
        if (key != nullptr && itemName == key) {
            type = t;
            break;
        }
    }
    if (type < 0) {
        return;
    }
    mProfile.outputs[channel] = type;
    if (!keepBackup) {
        mProfile.outputs_bk[static_cast<size_t>(channel)] = type;
    }
    mProfile.channels[channel].crossover = model::defaultCrossover(type);
    if (channel == mProfile.currOutChannel) {
        ShowCrossover(channel);
    }
    for (int c = 0; c < OutputCount(); ++c) {
        ShowOutputType(c);
    }
    ShowSpeakerPositions();
    UpdateCurveOf(channel);
    SendType(channel);
    SendFilters(channel);
    SendTrim(channel);
}

// ---- bridging ----

void EqualizerManager::ToggleBridge(int pair) {
    if (pair < 0 || pair >= OutputCount() / 2) {
        return;
    }
    const bool on = mProfile.bridgeOutputs[static_cast<size_t>(pair)] == 0;
    SetBridgePair(pair, on, true);
}

void EqualizerManager::SetBridgePair(int pair, bool on, bool fromUser) {
    if (pair < 0 || pair >= OutputCount() / 2) {
        return;
    }
    mProfile.bridgeOutputs[static_cast<size_t>(pair)] = on ? 1 : 0;
    ShowBridge(pair);
    SendBridges();
    if (!fromUser) {
        return;
    }
    Post(WM_SHOW_LOADING);
    app::Log("set bridge thread start!\n");
    // The pair change itself runs here, on the UI thread that owns the
    // profile; the job only waits for the queued commands to go out.
    if (on) {
        BridgePairOn(pair);
    } else {
        BridgePairOff(pair);
    }
    StartJob(&EqualizerManager::BridgeWaitThread);
}

void EqualizerManager::BridgeWaitThread() {
    for (int poll = 0; poll < kQueueIdlePolls && !mShuttingDown.load(); ++poll) {
        if (mDeviceLink->IsCmdQueueIdle()) {
            break;
        }
        std::this_thread::sleep_for(kQueueIdlePollPeriod);
    }
    Post(WM_HIDE_LOADING);
}

void EqualizerManager::BridgePairOn(int pair) {
    const int left = 2 * pair;
    const int right = left + 1;
    mProfile.copyOutConfig(left, right, true);
    // The two halves of a bridged output drive one speaker: whatever the
    // link settings say about deltas, they play with the same trim and delay.
    mProfile.channels[right].gain = mProfile.channels[left].gain;
    mProfile.channels[right].delay = mProfile.channels[left].delay;
    SendEqBands(right);
    SendFilters(right);
    SendBypass(right);
    ShowTrim(right, static_cast<int>(std::lround(mProfile.channels[right].gain * 10.0f)));
    ShowDelay(right);
    if (right == mProfile.currOutChannel) {
        ShowCrossover(right);
        ShowEqBands(right);
    }
    SendTrim(right);
    SendDelay(right);
    mProfile.copyMixConfig(left, right);
    SendMixer(right);
    mProfile.outputs[right] = mProfile.outputs[left];
    ShowOutputType(right);
    SendType(right);
    if (!Cfg().mNO_BRIDGE_PHASE) {
        mProfile.channels[right].phase = mProfile.channels[left].phase;
        ShowPhase(right);
        SendPhase(right);
    }
    mProfile.channels[right].solo = mProfile.channels[left].solo;
    ShowSolo(right);
    SendSolos();
    mProfile.channels[right].mute = mProfile.channels[left].mute;
    ShowMute(right);
    SendMute(right);
    mProfile.linkGroup[static_cast<size_t>(right)] = mProfile.linkGroup[static_cast<size_t>(left)];
    ShowSpeakerPositions();
    UpdateCurveOf(right);
}

void EqualizerManager::BridgePairOff(int pair) {
    const int left = 2 * pair;
    const int right = left + 1;
    for (int c : {left, right}) {
        if (Cfg().mSET_OUTPUT_TYPE_NULL_WHEN_UNBRIDGE) {
            SetOutputValue(c, "output_item_empty", false);
        } else if (c == right) {
            mProfile.outputs[right] = mProfile.outputs_bk[static_cast<size_t>(right)];
            ShowOutputType(right);
            SendType(right);
        }
        if (Cfg().mSET_PHASE_0_WHEN_UNBRIDGE) {
            mProfile.channels[c].phase = 0;
            ShowPhase(c);
            SendPhase(c);
        }
        if (Cfg().mCLEAR_MIXER_WHEN_UNBRIDGE) {
            mProfile.clearMixConfig(c);
            SendMixer(c);
            ShowRouting(c);
        }
    }
    ShowSpeakerPositions();
    if (IsOutput(mLastSoloChannel)) {
        ShowSolo(mLastSoloChannel);
    }
}

// ---- the curve selection and the strip pages ----

void EqualizerManager::SetChShow(int channel) {
    if (!IsOutput(channel)) {
        return;
    }
    mProfile.showOutChEqualizer[static_cast<size_t>(channel)] =
        mControls.Indexed("ch_show_%d", channel).Selected() ? 1 : 0;
    UpdateCurveOf(channel);
}

void EqualizerManager::ShowChannelPage(int page) {
    mChannelPage = page == 1 ? 1 : 0;
    // Page 0 holds the output strips, page 1 the input routing.
    mControls("ch_select_0").SetSelected(mChannelPage == 0, false);
    mControls("ch_select_1").SetSelected(mChannelPage == 1, false);
    mControls("ch_page_0").SetVisible(mChannelPage == 0);
    mControls("channel_settings").SetVisible(mChannelPage == 1);
    mControls("ch_show_hl_0").SetVisible(mChannelPage == 0);
    mControls("ch_show_hl_1").SetVisible(mChannelPage == 1);
}

}  // namespace controller
