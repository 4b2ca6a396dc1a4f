// Couplings between outputs: the link mode that pairs mirrored outputs, the
// output-type lock, the user's link groups, and the reset of all links.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <thread>
#include <utility>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "model/output_type.h"
#include "model/profile_defaults.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

int OutputCount() {
    return Cfg().mOUT_CHANNEL_NUMBER;
}

int StageOf(int channel) {
    return channel < Cfg().mOUT_LINK_STAGE1_NUM ? 1 : 2;
}

// The colours of the delay-link groups, group 0 (none) first.
constexpr uint32_t kDelayLinkColours[] = {0xFF3A3A3A, 0xFFE05A2B, 0xFF2B8FE0, 0xFF3CB44B,
                                          0xFFB04FD0};
constexpr int kDelayLinkGroups = static_cast<int>(sizeof kDelayLinkColours / sizeof(uint32_t));

// The reset waits for the queued commands at most 600 polls of 100 ms.
constexpr int kResetIdlePolls = 600;
constexpr auto kResetIdlePollPeriod = std::chrono::milliseconds(100);

// The answers of the reset box.
constexpr int kResetToDefault = 1;
constexpr int kResetToEmpty = 2;

// The two-choice box's answers.
constexpr int kCopyLeftToRight = 1;
constexpr int kCopyRightToLeft = 2;

}  // namespace

// ---- link mode ----

void EqualizerManager::SetOutputLink() {
    app::Log("on %s\n", "EqualizerManager::SetOutputLink");
    const uint8_t scene = static_cast<uint8_t>(mProfile.scene);
    if (!mProfile.mirroredPairInOneHalf()) {
        mControls("btn_link_output").SetSelected(false, false);
        mProfile.linkMode = 0;
        mDeviceLink->CH_Link_Ctrl(scene, 0, {}, false);
        if (mUi != nullptr) {
            mUi->ShowMessage("${tips}", "${not_linkable_tips}");
        }
        return;
    }
    if (mProfile.linkMode == 1) {
        if (Cfg().mHAS_LINK_SEL_CH_BUTTON) {
            EnableLinkGroupControls(true);
        }
        EndLinkMode();
        mProfile.lockMode = 0;
        mControls("btn_lock_output").SetSelected(false, false);
        mDeviceLink->CH_Lock_Ctrl(scene, 0, false);
        EnableOutputTypeButtons(true);
        mControls.Indexed("ch_enable_%d", mProfile.currOutChannel).SetSelected(true, false);
        if (IsOutput(mLastSoloChannel)) {
            ShowSolo(mLastSoloChannel);
        }
        SetCurChannelChange(mProfile.currOutChannel);
        return;
    }
    const int choice = mUi != nullptr
                           ? mUi->AskTwoChoices("${tips}", "${link_tips}", "${copy_left_to_right}",
                                                "${copy_right_to_left}")
                           : 0;
    app::Log("CMsgCheckBoxWnd %d\n", choice);
    if (choice != kCopyLeftToRight && choice != kCopyRightToLeft) {
        mControls("btn_link_output").SetSelected(false, false);
        return;
    }
    if (Cfg().mHAS_LINK_SEL_CH_BUTTON) {
        EnableLinkGroupControls(false);
    }
    mProfile.linkMode = 1;
    mControls("btn_link_output").SetSelected(true, false);
    mProfile.lockMode = 1;
    mControls("btn_lock_output").SetSelected(true, false);
    mDeviceLink->CH_Lock_Ctrl(scene, 1, false);
    EnableOutputTypeButtons(false);

    const int n = OutputCount();
    for (int c = 0; c < n; ++c) {
        mProfile.linkOutputs[static_cast<size_t>(c)] = -1;
        const int type = mProfile.outputs[static_cast<size_t>(c)];
        if (type == 0) {
            continue;
        }
        const int mirror = model::Profile::mirrorOutputType(type);
        for (int p = 0; mirror >= 0 && p < n; ++p) {
            if (p != c && mProfile.outputs[static_cast<size_t>(p)] == mirror &&
                StageOf(p) == StageOf(c)) {
                mProfile.linkOutputs[static_cast<size_t>(c)] = p;
                break;
            }
        }
    }
    std::vector<std::pair<uint8_t, uint8_t>> pairs;
    for (int c = 0; c < n; ++c) {
        const int p = mProfile.linkOutputs[static_cast<size_t>(c)];
        if (p < 0) {
            continue;
        }
        const int typeC = mProfile.outputs[static_cast<size_t>(c)];
        const int typeP = mProfile.outputs[static_cast<size_t>(p)];
        const bool source = (choice == kCopyLeftToRight && typeC < typeP) ||
                            (choice == kCopyRightToLeft && typeC > typeP);
        if (!source) {
            continue;
        }
        mProfile.copyOutConfig(c, p, true);
        pairs.emplace_back(static_cast<uint8_t>(c), static_cast<uint8_t>(p));
        // The receiving output plays what it now holds.
        SendEqBands(p);
        SendFilters(p);
        SendBypass(p);
        SendDelay(p);
        ShowDelay(p);
        UpdateCurveOf(p);
        // Re-applying the source's trim reaches the partner through the link.
        ApplyTrim(c, static_cast<int>(std::lround(mProfile.channels[c].gain * 10.0f)), true, false);
        SendTrim(p);
        ShowTrim(p, static_cast<int>(std::lround(mProfile.channels[p].gain * 10.0f)));
    }
    ShowSpeakerPositions();
    if (IsOutput(mLastSoloChannel)) {
        ShowSolo(mLastSoloChannel);
    }
    SetCurChannelChange(mProfile.currOutChannel);
    ShowDelay(mProfile.currOutChannel);
    mDeviceLink->CH_Link_Ctrl(scene, static_cast<uint8_t>(mProfile.linkMode), pairs, false);
}

// Leaves the link mode: no pairs, the link button released and the device told.
void EqualizerManager::EndLinkMode() {
    mProfile.linkMode = 0;
    mControls("btn_link_output").SetSelected(false, false);
    mProfile.linkOutputs.fill(-1);
    mDeviceLink->CH_Link_Ctrl(static_cast<uint8_t>(mProfile.scene), 0, {}, false);
}

void EqualizerManager::EnableOutputTypeButtons(bool enabled) {
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("ch_output_btn_%d", c).SetEnabled(enabled);
    }
}

void EqualizerManager::EnableLinkGroupControls(bool enabled) {
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("ch_synchronize_%d", c).SetEnabled(enabled);
        mControls.Indexed("delay_link_%d", c).SetEnabled(enabled);
    }
}

// ---- the output-type lock ----

void EqualizerManager::SetOutpuLock() {
    app::Log("on %s\n", "EqualizerManager::SetOutpuLock");
    bool locked = mProfile.lockMode == 1;
    if (mUi != nullptr) {
        if (locked) {
            locked = !mUi->Confirm("${tips}", "${unlock_output_tips}");
        } else {
            locked = mUi->Confirm("${tips}", "${lock_output_tips}");
        }
    }
    mProfile.lockMode = locked ? 1 : 0;
    mControls("btn_lock_output").SetSelected(locked, false);
    EnableOutputTypeButtons(!locked);
    if (!locked && mProfile.linkMode != 0) {
        // The link mode holds the output types; it ends with the lock.
        EndLinkMode();
        if (Cfg().mHAS_LINK_SEL_CH_BUTTON) {
            EnableLinkGroupControls(true);
        }
        SetCurChannelChange(mProfile.currOutChannel);
    }
    mDeviceLink->CH_Lock_Ctrl(static_cast<uint8_t>(mProfile.scene), locked ? 1 : 0, false);
}

// ---- link groups ----

void EqualizerManager::ToggleLinkGroup(int channel) {
    if (!IsOutput(channel)) {
        return;
    }
    SetLinkGroup(channel, mProfile.linkGroup[static_cast<size_t>(channel)] == 0 ? 1 : 0);
}

void EqualizerManager::SetLinkGroup(int channel, int group) {
    if (!IsOutput(channel)) {
        return;
    }
    ApplyLinkGroup(channel, group);
    if (mProfile.bridgeOutputs[static_cast<size_t>(channel / 2)] != 0 && IsOutput(channel ^ 1)) {
        ApplyLinkGroup(channel ^ 1, group);
    }
}

void EqualizerManager::ApplyLinkGroup(int c, int g) {
    const size_t slot = static_cast<size_t>(c);
    mControls.Indexed("ch_synchronize_%d", c).SetSelected(g >= 1, false);
    app::Log("channel %d synchronize seleted %d\n", c, g);
    mProfile.linkGroup[slot] = g;
    mControls.Indexed("ch_enable_%d", c).SetSelected(g >= 1, false);
    const int current = mProfile.currOutChannel;
    const int currentGroup =
        IsOutput(current) ? mProfile.linkGroup[static_cast<size_t>(current)] : 0;
    if (g >= 1) {
        const int linkCount = std::min(Cfg().mOUT_LINK_NUMBER, OutputCount());
        for (int i = 0; i < linkCount; ++i) {
            if (i == c || mProfile.linkGroup[static_cast<size_t>(i)] != g) {
                continue;
            }
            if (!Cfg().mONLY_COPY_SELECTED_EQ_POINT_WHEN_LINK) {
                mProfile.copyOutConfig(i, c, true);
                SendEqBands(c);
                SendBypass(c);
                SendDelay(c);
                ShowDelay(c);
            }
            SendFilters(c);
        }
        if (currentGroup >= 1 && Cfg().mHAS_LINK_SEL_CH_BUTTON &&
            !Cfg().mONLY_COPY_SELECTED_EQ_POINT_WHEN_LINK) {
            for (int i = 0; i < OutputCount(); ++i) {
                if (mProfile.linkGroup[static_cast<size_t>(i)] == currentGroup && i != current) {
                    mProfile.channels[i].bypass = mProfile.channels[current].bypass;
                    SendBypass(i);
                }
            }
        }
        // The last other output of the current output's group, if any.
        int last = -1;
        for (int i = 0; currentGroup >= 1 && i < OutputCount(); ++i) {
            if (i != c && mProfile.linkGroup[static_cast<size_t>(i)] == currentGroup) {
                last = i;
            }
        }
        if (Cfg().mLINK_CH_VOL_WITH_DELTA) {
            const float gain = mProfile.channels[last >= 0 ? last : c].gain;
            const int tenths =
                static_cast<int>(std::trunc(gain * 10.0f + (gain < 0 ? -1e-3f : 1e-3f)));
            mProfile.channels[c].gain = static_cast<float>(tenths) / 10.0f;
            ShowTrim(c, tenths);
        }
        if (!Cfg().mLINK_CH_DELAY_WITH_DELTA && last >= 0) {
            mProfile.channels[c].delay = mProfile.channels[last].delay;
            ShowDelay(c);
            SendDelay(c);
        }
        for (int i = 0; i < OutputCount(); ++i) {
            SendTrim(i);
        }
    }
    ShowLinkButtonEnabled();
    SetCurChannelChange(c);
}

// The links as the profile holds them, after a read or a load: the group
// markers, the delay-link colours, and what the link mode and the lock allow.
void EqualizerManager::ShowLinks() {
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("ch_synchronize_%d", c)
            .SetSelected(mProfile.linkGroup[static_cast<size_t>(c)] >= 1, false);
        ShowDelayLinkGroup(c);
    }
    mControls("btn_link_output").SetSelected(mProfile.linkMode != 0, false);
    mControls("btn_lock_output").SetSelected(mProfile.lockMode != 0, false);
    EnableOutputTypeButtons(mProfile.lockMode == 0 && mProfile.linkMode == 0);
    EnableLinkGroupControls(mProfile.linkMode == 0);
    ShowLinkButtonEnabled();
}

// The link mode is offered only while no output is in a link group or a
// delay-link group.
void EqualizerManager::ShowLinkButtonEnabled() {
    bool grouped = false;
    for (int i = 0; i < OutputCount(); ++i) {
        grouped = grouped || mProfile.linkGroup[static_cast<size_t>(i)] != 0 ||
                  mProfile.delayLinkGroup[static_cast<size_t>(i)] != 0;
    }
    mControls("btn_link_output").SetEnabled(!grouped);
}

// ---- delay-link groups ----

void EqualizerManager::SetDelayLinkGroup(int channel, int group) {
    if (!IsOutput(channel) || group < 0 || group >= kDelayLinkGroups) {
        return;
    }
    ApplyDelayLinkGroup(channel, group);
    if (mProfile.bridgeOutputs[static_cast<size_t>(channel / 2)] != 0 && IsOutput(channel ^ 1)) {
        ApplyDelayLinkGroup(channel ^ 1, group);
    }
}

void EqualizerManager::ShowDelayLinkGroup(int c) {
    const int g = mProfile.delayLinkGroup[static_cast<size_t>(c)];
    Ctl& option = mControls.Indexed("delay_link_%d", c);
    option.SetBkColor(kDelayLinkColours[g >= 0 && g < kDelayLinkGroups ? g : 0]);
    option.SetSelected(g >= 1, false);
}

void EqualizerManager::ApplyDelayLinkGroup(int c, int g) {
    mProfile.delayLinkGroup[static_cast<size_t>(c)] = g;
    ShowDelayLinkGroup(c);
    app::Log("channel %d dealy link seleted %d\n", c, g);
    const int current = mProfile.currOutChannel;
    if (g >= 1 && !Cfg().mLINK_CH_DELAY_WITH_DELTA && IsOutput(current)) {
        const int currentGroup = mProfile.delayLinkGroup[static_cast<size_t>(current)];
        int last = -1;
        for (int i = 0; currentGroup >= 1 && i < OutputCount(); ++i) {
            if (i != c && mProfile.delayLinkGroup[static_cast<size_t>(i)] == currentGroup) {
                last = i;
            }
        }
        if (last >= 0) {
            mProfile.channels[c].delay = mProfile.channels[last].delay;
            ShowDelay(c);
            SendDelay(c);
        }
    }
    ShowLinkButtonEnabled();
    SetCurChannelChange(c);
}

void EqualizerManager::ResetLinks() {
    for (int c = 0; c < OutputCount(); ++c) {
        SetLinkGroup(c, 0);
    }
}

// ---- reset of all outputs ----

void EqualizerManager::SetOutputReset() {
    app::Log("on %s\n", "EqualizerManager::SetOutputReset");
    if (mUi == nullptr) {
        return;
    }
    const int choice = mUi->AskWithButtons("${tips}", "${empty_output_tips}",
                                           {"${default}", "${cancel}", "${emptied}"});
    if (choice != kResetToDefault && choice != kResetToEmpty) {
        return;
    }
    Post(WM_SHOW_LOADING);
    app::Log("reset output thread start!\n");
    // The profile changes here, on the UI thread that owns it; the job only
    // waits for the queued commands to go out.
    ResetOutputs(choice == kResetToDefault);
    StartJob(&EqualizerManager::ResetOutputWaitThread);
}

void EqualizerManager::ResetOutputs(bool toDefault) {
    const int n = OutputCount();
    bool anyBridged = false;
    for (int pair = 0; pair < n / 2; ++pair) {
        if (mProfile.bridgeOutputs[static_cast<size_t>(pair)] != 0) {
            anyBridged = true;
            mProfile.bridgeOutputs[static_cast<size_t>(pair)] = 0;
            ShowBridge(pair);
            BridgePairOff(pair);
        }
    }
    if (anyBridged) {
        SendBridges();
    }
    for (int c = 0; c < n; ++c) {
        const int count = mProfile.channelCount > 0 ? mProfile.channelCount : n;
        int type = toDefault ? model::defaultOutputType(count, c) : 0;
        if ((type == 25 || type == 26) && !Cfg().mHAS_SURROUND) {
            type = 0;
        }
        const char* key = model::outputTypeKey(type);  // none for the types this model lacks
        SetOutputValue(c, key != nullptr ? key : model::outputTypeKey(0), false);
    }
    // The solo reached the last solo channel's link partner too; both end.
    const int soloPartner = IsOutput(mLastSoloChannel) ? LinkPartner(mLastSoloChannel) : -1;
    const uint8_t scene = static_cast<uint8_t>(mProfile.scene);
    mProfile.lockMode = 0;
    mControls("btn_lock_output").SetSelected(false, false);
    mDeviceLink->CH_Lock_Ctrl(scene, 0, false);
    EnableOutputTypeButtons(true);
    EndLinkMode();
    if (Cfg().mHAS_LINK_SEL_CH_BUTTON) {
        EnableLinkGroupControls(true);
    }
    if (IsOutput(mLastSoloChannel)) {
        for (int c : {mLastSoloChannel, soloPartner}) {
            if (IsOutput(c)) {
                mProfile.channels[c].solo = 0;
                ShowSolo(c);
            }
        }
        SendSolos();
    }
    for (int c = 0; c < n; ++c) {
        mProfile.linkGroup[static_cast<size_t>(c)] = 0;
        mControls.Indexed("ch_synchronize_%d", c).SetSelected(false, false);
    }
    ShowLinkButtonEnabled();
    if (Cfg().mLINK_SUB_CH_VOL) {
        int firstSub = -1;
        for (int c = 0; c < n && firstSub < 0; ++c) {
            firstSub = mProfile.outputs[static_cast<size_t>(c)] == 22 ? c : -1;
        }
        for (int c = 0; c < n && firstSub >= 0; ++c) {
            if (mProfile.outputs[static_cast<size_t>(c)] == 23) {
                mProfile.channels[c].gain = mProfile.channels[firstSub].gain;
            }
        }
    }
    for (int c = 0; c < n; ++c) {
        SendTrim(c);
        ShowTrim(c, static_cast<int>(std::lround(mProfile.channels[c].gain * 10.0f)));
        ShowOutputType(c);
        ShowDelay(c);
    }
    ShowSpeakerPositions();
    SetCurChannelChange(mProfile.currOutChannel);
    mProfile.mix2monitorChIdxs(0);
}

void EqualizerManager::ResetOutputWaitThread() {
    for (int poll = 0; poll < kResetIdlePolls && !mShuttingDown.load(); ++poll) {
        if (mDeviceLink->IsCmdQueueIdle()) {
            break;
        }
        std::this_thread::sleep_for(kResetIdlePollPeriod);
    }
    Post(WM_HIDE_LOADING);
}

void EqualizerManager::SetLinkOptions(bool linkMute, bool linkPhase) {
    mLinkMute = linkMute;
    mLinkPhase = linkPhase;
}

// ---- factory reset of the device ----

void EqualizerManager::ResetMcuFactoryDefault() {
    app::Log("%s\n", "EqualizerManager::ResetMcuFactoryDefault");
    if (mUi == nullptr || !mUi->Confirm("${tips}", "${factory_default_tips}")) {
        return;
    }
    Post(WM_SHOW_LOADING);
    StartJob(&EqualizerManager::FactoryDefaultThread);
}

// The device resets every scene and starts again; the main window closes the
// loading window and tells the user on WM_DEVICE_REBOOT. The device leaves
// the bus and comes back a few seconds later: that departure is expected and
// is not reported as an unplugged cable. A device that never acknowledged
// (the cable was pulled) has not been reset, and the user is not told it was.
void EqualizerManager::FactoryDefaultThread() {
    app::Log("Factory default thread start!\n");
    if (mDeviceLink->MCU_Factory_Default_Ctrl()) {
        mRebootExpected.store(true);
        Post(WM_DEVICE_REBOOT);
    } else {
        app::Log("factory default not acknowledged\n");
        Post(WM_HIDE_LOADING);
    }
    app::Log("Factory default thread end!\n");
}

}  // namespace controller
