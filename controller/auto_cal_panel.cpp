#include "controller/auto_cal_panel.h"

#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "app/model_cfg.h"
#include "model/output_type.h"

namespace controller {
namespace {

// A channel that cannot be calibrated is greyed out.
constexpr uint32_t kUnavailableTextColor = 0xFF888888;
constexpr int kEffectOptions = 9;  // "audio_effect_0" .. "audio_effect_8"
constexpr uint8_t kModuleEq = 1;
constexpr uint8_t kModuleDelay = 2;
constexpr uint8_t kModulePhase = 4;

// The choices a run is started with, besides "audio_effect_%d".
constexpr const char* kRunChoices[] = {"irc_eq", "irc_delay", "irc_phase", "audio_effect_null"};

// The IRC_Ctrl "on" byte.
constexpr uint8_t kIrcStop = 0;
constexpr uint8_t kIrcApply = 2;
constexpr uint8_t kIrcDiscard = 3;

// Record kinds that arrive with WM_READ_IRC_VALUE (the DSP sub-commands).
constexpr uintptr_t kDistanceRecord = 20;
constexpr uintptr_t kEqRecord = 22;
constexpr uintptr_t kSpectrumRecord = 26;

// What "tips" says while the amplifier is in each step of its run; the
// steps 1 to 6 carry the progress.
constexpr const char* kStepTexts[] = {
    nullptr,
    "${detect_speaker}",
    "${detect_level}",
    "${detect_location}",
    "${adjust_ch_volume}",
    "${compensate_eq}",
    "${test_freq_response}",
};

// The failure reasons the amplifier gives with status 11.
constexpr const char* kFailureTexts[] = {
    "${irc_failed_level}", "${irc_failed_mic}",       "${irc_failed_speaker}",
    "${irc_failed_delay}", "${irc_failed_ch_volume}", "${irc_failed_eq}",
};

// "audio_effect_null" is mode 0, "audio_effect_k" mode k + 1.
int EqModeOf(const std::string& optionName) {
    const std::string suffix = optionName.substr(std::strlen("audio_effect_"));
    if (suffix.size() != 1 || suffix[0] < '0' || suffix[0] > '8') {
        return 0;
    }
    return suffix[0] - '0' + 1;
}

bool IsSubwooferType(int type) {
    return type == 22 || type == 23 || type == 24;
}

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

int CalibratedChannels() {
    return std::min(Cfg().mAUTO_CAL_CHANNEL_NUM, kCalibrationChannels);
}

}  // namespace

AutoCalPanel::AutoCalPanel(device::DeviceLink& link, const model::Profile& profile,
                           toolkit::ControlAccess& window, CalibrationChart* chart,
                           AutoCalQuestions& questions, AutoCalTimings timings)
    : mLink(link),
      mProfile(profile),
      mWindow(window),
      mChart(chart),
      mQuestions(questions),
      mTimings(timings),
      mCurves(std::make_unique<AutoCalCurves>(Cfg().mOUT_CHANNEL_NUMBER)) {
    mControls.Bind(&mWindow);
    for (int c = 0; c < std::min(Cfg().mOUT_CHANNEL_NUMBER, kCalibrationChannels); ++c) {
        mChVisible[static_cast<size_t>(c)] = true;
    }
}

// A window that goes while its run is under way (the program closes) does
// not leave the amplifier playing its test signals.
AutoCalPanel::~AutoCalPanel() {
    if (mState.mIrcRunning.load() && mLink.IsConnected()) {
        mLink.IRC_Ctrl(kIrcStop, 0, 0, true);
    }
    mState.mIrcStop.store(true);
    JoinWorker();
    mLink.SetAutoCalWnd(platform::kNoWindow);
}

void AutoCalPanel::JoinWorker() {
    mWorker.Join();
}

// ---- opening ----

void AutoCalPanel::Open() {
    mShowEq = mControls("display_eq").Selected();
    mShowSpk = mControls("display_spk").Selected();
    mShowTarget = Cfg().mENABLE_IRC_TARGET_CURVE && mControls("display_target").Selected();
    PrepareChannelBoxes();
    for (int c = 0; c < CalibratedChannels(); ++c) {
        mCurves->ComputeEqCurve(c);
        mCurves->ComputeSpeakerCurve(c);
        if (Cfg().mENABLE_IRC_TARGET_CURVE) {
            mCurves->ComputeTargetCurve(c, 0);
        }
        const int type = mProfile.outputs[static_cast<size_t>(c)];
        if (const char* key = model::outputTypeKey(type)) {
            mControls.Indexed("ch_name_%d", c).SetText(std::string("${") + key + "}");
        }
        const bool noSpeaker = type == model::kOutputTypeEmpty;
        const bool untestedSub = !Cfg().mENABLE_DETECT_SUBWOOFER && IsSubwooferType(type);
        if (noSpeaker || untestedSub) {
            toolkit::ControlHandle& box = mControls.Indexed("ch_checkbox_%d", c);
            box.SetSelected(false, false);
            box.SetEnabled(false);
            box.SetTextColor(kUnavailableTextColor);
            mChVisible[static_cast<size_t>(c)] = false;
            if (untestedSub) {
                box.SetToolTip("${irc_subwoof_not_test}");
            }
        }
    }
    HandEq();
    HandSpeaker();
    if (Cfg().mENABLE_IRC_TARGET_CURVE) {
        HandTarget();
    }
    ShowRunControls(false);
    mLink.SetAutoCalWnd(mWindow.Handle());
}

// Every channel ticked, except the second half of a bridged pair: the pair
// plays as one speaker, measured on its first channel.
void AutoCalPanel::PrepareChannelBoxes() {
    for (int c = 0; c < CalibratedChannels(); ++c) {
        toolkit::ControlHandle& box = mControls.Indexed("ch_checkbox_%d", c);
        box.SetVisible(true);
        box.SetSelected(true, false);
        box.SetUserData(std::to_string(c));
        const bool secondOfBridge =
            (c % 2) == 1 && mProfile.bridgeOutputs[static_cast<size_t>(c / 2)] != 0;
        if (secondOfBridge || (Cfg().mENABLE_FACTORY_TEST && c > 0)) {
            box.SetSelected(false, false);
        }
        if (secondOfBridge) {
            box.SetEnabled(false);
            box.SetTextColor(kUnavailableTextColor);
        }
        mChVisible[static_cast<size_t>(c)] = box.Selected();
    }
}

// ---- notifications ----

bool AutoCalPanel::Handle(const toolkit::Notification& notification) {
    if (notification.type == toolkit::kNotifySelectChanged) {
        OnOptionChanged(notification);
        return true;
    }
    if (notification.type != toolkit::kNotifyClick) {
        return false;
    }
    if (notification.name == "start_auto_cal") {
        ClickStart();
    } else if (notification.name == "irc_save_data") {
        ApplyResult();
    } else if (notification.name == "irc_cancel_data") {
        DiscardResult();
    } else {
        return false;
    }
    return true;
}

void AutoCalPanel::ClickStart() {
    if (mIrcModel == 0) {
        mQuestions.Tell("${irc_option_warning_tips}");
        return;
    }
    mIrcEqMode = 0;
    for (int k = 0; k < kEffectOptions; ++k) {
        if (mControls.Indexed("audio_effect_%d", k).Selected()) {
            mIrcEqMode = static_cast<uint8_t>(k + 1);
            break;
        }
    }
    mIrcCh = 0;
    for (int c = 0; c < CalibratedChannels(); ++c) {
        if (mControls.Indexed("ch_checkbox_%d", c).Selected()) {
            mIrcCh = static_cast<uint16_t>(mIrcCh | (1u << c));
        }
    }
    app::Log("mIrcCh = 0x%x\n", mIrcCh);
    if (mState.mIrcRunning.load()) {
        StopRun();
    } else {
        StartRun();
    }
}

void AutoCalPanel::StopRun() {
    mLink.IRC_Ctrl(kIrcStop, 0, 0, true);
    mState.mIrcStop.store(true);
    JoinWorker();
    mControls("closebtn").SetEnabled(true);
    mControls("start_auto_cal").SetText("${start_irc}");
    mControls("tips").SetText("${irc_stoped}");
    mState.mIrcDone.store(false);
    mIrcResultHandled = false;
    ShowRunControls(false);
}

void AutoCalPanel::StartRun() {
    if (mIrcCh == 0) {
        mQuestions.Tell("${irc_no_channel_tips}");
        return;
    }
    if (!mLink.IsConnected() || mLink.IsDeviceGone()) {
        mQuestions.Tell("${irc_not_connected}");
        return;
    }
    if (Cfg().mENABLE_3POINT_SPK_IRC &&
        !mQuestions.Ask("${irc_warning_tips}", "${confirm}", "${cancel}")) {
        return;
    }
    JoinWorker();
    mControls("start_auto_cal").SetText("${stop}");
    mControls("tips").SetText("${start_irc_tips}");
    mControls("closebtn").SetEnabled(false);
    mControls("progress").SetValue(0);
    mIrcResultHandled = false;
    // Set before the thread runs, so that a stop clicked at once is seen.
    mState.mIrcStop.store(false);
    mState.mIrcRunning.store(true);
    mState.mIrcDone.store(false);
    ShowRunControls(true);
    mWorker.Start(mLink, mState, AutoCalRequest{mIrcCh, mIrcModel, mIrcEqMode}, mWindow.Handle(),
                  mTimings);
}

// The worker of a run that just ended is gone within moments: the result
// waits for it rather than being refused.
bool AutoCalPanel::ResultIsOffered() {
    if (mState.mIrcDone.load() && mState.mIrcRunning.load()) {
        JoinWorker();
    }
    return !mState.mIrcRunning.load() && mState.mIrcDone.load() && !mIrcResultHandled;
}

// While a run is under way its choices are fixed; the result's buttons are
// offered once there is a result to keep or drop.
void AutoCalPanel::ShowRunControls(bool running) {
    for (const char* name : kRunChoices) {
        mControls(name).SetEnabled(!running);
    }
    for (int k = 0; k < kEffectOptions; ++k) {
        mControls.Indexed("audio_effect_%d", k).SetEnabled(!running);
    }
    const bool offered = !running && mState.mIrcDone.load() && !mIrcResultHandled;
    mControls("irc_save_data").SetEnabled(offered);
    mControls("irc_cancel_data").SetEnabled(offered);
}

// A result is kept or dropped only once, and only after a completed run. A
// command the amplifier did not take leaves the result offered.
void AutoCalPanel::ApplyResult() {
    if (!ResultIsOffered()) {
        mControls("tips").SetText("${irc_start_tips}");
        return;
    }
    if (!mLink.IRC_Ctrl(kIrcApply, 0, mIrcEqMode, true)) {
        mControls("tips").SetText("${irc_result_not_sent}");
        return;
    }
    mControls("tips").SetText("${irc_applyed}");
    mIrcResultHandled = true;
    ShowRunControls(false);
}

void AutoCalPanel::DiscardResult() {
    if (!ResultIsOffered()) {
        mControls("tips").SetText("${irc_start_tips}");
        return;
    }
    if (!mLink.IRC_Ctrl(kIrcDiscard, 0, 0, true)) {
        mControls("tips").SetText("${irc_result_not_sent}");
        return;
    }
    mControls("tips").SetText("${irc_canceled}");
    mIrcResultHandled = true;
    ShowRunControls(false);
}

void AutoCalPanel::SetModuleBit(uint8_t bit, bool on) {
    mIrcModel = static_cast<uint8_t>(on ? (mIrcModel | bit) : (mIrcModel & ~bit));
    app::Log("mIrcModel %02x\n", mIrcModel);
}

void AutoCalPanel::OnOptionChanged(const toolkit::Notification& n) {
    const bool on = n.sender != nullptr && n.sender->Selected();
    app::Log("on option %s DUI_MSGTYPE_SELECTCHANGED index %d\n", n.name.c_str(), on ? 1 : 0);
    const bool targets = Cfg().mENABLE_IRC_TARGET_CURVE;
    if (n.name == "display_eq") {
        mShowEq = on;
        HandEq();
    } else if (n.name == "display_spk") {
        mShowSpk = on;
        HandSpeaker();
    } else if (n.name == "display_target" && targets) {
        mShowTarget = on;
        HandTarget();
    } else if (n.name.rfind("audio_effect_", 0) == 0) {
        // The target of the mode chosen: the amplifier corrects towards it.
        if (targets && on) {
            ShowTarget(EqModeOf(n.name));
        }
    } else if (n.name.rfind("ch_checkbox_", 0) == 0) {
        const int channel = n.userDataInt;
        if (channel >= 0 && channel < kCalibrationChannels) {
            mChVisible[static_cast<size_t>(channel)] = on;
            HandEq();
            HandSpeaker();
            HandTarget();
        }
    } else if (n.name == "irc_eq") {
        SetModuleBit(kModuleEq, on);
    } else if (n.name == "irc_delay") {
        SetModuleBit(kModuleDelay, on);
    } else if (n.name == "irc_phase") {
        app::Log("mOptionIrcDelay %d\n", on ? 1 : 0);
        SetModuleBit(kModulePhase, on);
    }
}

void AutoCalPanel::ShowTarget(int preset) {
    for (int c = 0; c < std::min(Cfg().mOUT_CHANNEL_NUMBER, kCalibrationChannels); ++c) {
        mCurves->ComputeTargetCurve(c, preset);
    }
    HandTarget();
}

// Likewise a channel without its calibration EQ yet shows none.
void AutoCalPanel::HandEq() {
    if (mChart == nullptr) {
        return;
    }
    std::array<bool, kCalibrationChannels> shown = mNoneVisible;
    for (size_t c = 0; c < shown.size() && mShowEq; ++c) {
        shown[c] = mChVisible[c] && mCurves->Corrected(static_cast<int>(c));
    }
    mCurves->HandEq(*mChart, shown);
}

// A channel not measured yet has no response to show: a flat line would
// read as a perfect speaker.
void AutoCalPanel::HandSpeaker() {
    if (mChart == nullptr) {
        return;
    }
    std::array<bool, kCalibrationChannels> shown = mNoneVisible;
    for (size_t c = 0; c < shown.size() && mShowSpk; ++c) {
        shown[c] = mChVisible[c] && mCurves->Measured(static_cast<int>(c));
    }
    mCurves->HandSpeaker(*mChart, shown);
}

void AutoCalPanel::HandTarget() {
    if (mChart != nullptr && Cfg().mENABLE_IRC_TARGET_CURVE) {
        mCurves->HandTarget(*mChart, mShowTarget ? mChVisible : mNoneVisible);
    }
}

// ---- the amplifier's reports ----

void AutoCalPanel::OnReport(uintptr_t wParam, intptr_t lParam,
                            const platform::PostedRecord* record) {
    const bool stopped = mState.mIrcStop.load();
    if (!stopped) {
        ShareWithWorker(wParam, lParam);
    }
    mState.mIrcStatus.store(static_cast<int32_t>(wParam));
    if (wParam <= static_cast<uintptr_t>(irc_status::kExit)) {
        mState.mStatusReports.fetch_add(1);
    }
    if (stopped) {
        return;
    }
    switch (wParam) {
        case irc_status::kRtaUpdate:
        case irc_status::kEqDataUpdate:
            return;
        case irc_status::kTestDataUpdate:
            mControls("tips").SetText("${test_freq_response}");
            return;
        case irc_status::kDone:
        case irc_status::kExit:
            mControls("tips").SetText("${irc_completed}");
            mControls("progress").SetValue(static_cast<int>(lParam));
            mState.mIrcDone.store(true);
            ShowRunEnded();
            return;
        case irc_status::kFail:
            OnFailure(lParam);
            return;
        case kDistanceRecord:
            OnDistance(record);
            return;
        case kEqRecord:
            OnEqBand(record);
            return;
        case kSpectrumRecord:
            OnSpectrumPoint(record);
            return;
        default:
            break;
    }
    if (wParam < std::size(kStepTexts) && kStepTexts[wParam] != nullptr) {
        mControls("tips").SetText(kStepTexts[wParam]);
    }
}

// What the worker reads with a status (the channel, the progress, the
// status-9 flag) is in place before the status itself: the worker acts as
// soon as it sees the status.
void AutoCalPanel::ShareWithWorker(uintptr_t wParam, intptr_t lParam) {
    switch (wParam) {
        case irc_status::kRtaUpdate:
        case irc_status::kEqDataUpdate:
            mState.mIrcCurCh.store(static_cast<uint8_t>(lParam & 0xFF));
            return;
        case irc_status::kTestDataUpdate:
            mState.mTestDataUpdated.store(true);
            return;
        case irc_status::kDone:
        case irc_status::kExit:
            mState.mIrcProgress.store(static_cast<int32_t>(lParam));
            return;
        default:
            if (wParam < std::size(kStepTexts)) {
                mState.mIrcProgress.store(static_cast<int32_t>(lParam));
            }
            return;
    }
}

void AutoCalPanel::ShowRunEnded() {
    toolkit::ControlHandle& start = mControls("start_auto_cal");
    start.SetText("${start_irc}");
    start.SetEnabled(true);
    mControls("closebtn").SetEnabled(true);
    ShowRunControls(false);
}

// The run ended without a result; a reason this program has no text for
// still says that it failed.
void AutoCalPanel::OnFailure(intptr_t reason) {
    mState.mIrcDone.store(false);
    ShowRunEnded();
    const bool known = reason >= 0 && reason < static_cast<intptr_t>(std::size(kFailureTexts));
    mControls("tips").SetText(known ? kFailureTexts[reason] : "${irc_failed}");
}

void AutoCalPanel::OnDistance(const platform::PostedRecord* record) {
    const auto* typed = dynamic_cast<const platform::RecordOf<device::IrcDistanceRecord>*>(record);
    if (typed == nullptr) {
        return;
    }
    char name[32];
    std::snprintf(name, sizeof name, "ch_%d: ", typed->value.channel);
    if (toolkit::ControlHandle* label = mWindow.FindControl(name)) {
        char text[32];
        std::snprintf(text, sizeof text, "%f", static_cast<double>(typed->value.distance));
        label->SetVisible(true);
        label->SetText(text);
    }
}

void AutoCalPanel::OnEqBand(const platform::PostedRecord* record) {
    const auto* typed = dynamic_cast<const platform::RecordOf<device::IrcEqRecord>*>(record);
    if (typed == nullptr) {
        return;
    }
    const device::IrcEqRecord& band = typed->value;
    app::Log("message DSP_IRC_EQ\n");
    const bool complete = mCurves->StoreEqBand(band);
    app::Log("ch(%d), band(%d), freq=%d, Q=%1.2f, Gain=%.2f\n", band.channel, band.band,
             band.frequency, static_cast<double>(band.q), static_cast<double>(band.gain));
    if (complete) {
        app::Log("update EQ response\n");
        mCurves->ComputeEqCurve(band.channel);
        HandEq();
        app::Log("update EQ response end\n");
    }
}

void AutoCalPanel::OnSpectrumPoint(const platform::PostedRecord* record) {
    const auto* typed = dynamic_cast<const platform::RecordOf<device::IrcSpectrumRecord>*>(record);
    if (typed != nullptr && mCurves->StoreSpectrumPoint(typed->value)) {
        mCurves->ComputeSpeakerCurve(typed->value.channel);
        HandSpeaker();
    }
}

// A progress the worker posted before it saw the run's end arrives after
// the final status: the bar keeps the final progress.
void AutoCalPanel::OnProgress(uintptr_t progress) {
    const int status = mState.mIrcStatus.load();
    const bool ended = status == irc_status::kDone || status == irc_status::kExit;
    mControls("progress").SetValue(ended ? mState.mIrcProgress.load() : static_cast<int>(progress));
}

// The cable was pulled or the amplifier restarted: the run is over, and the
// window is usable again at once.
void AutoCalPanel::OnLinkLost() {
    mState.mIrcStop.store(true);
    JoinWorker();
    mState.mIrcDone.store(false);
    mIrcResultHandled = false;
    ShowRunEnded();
    mControls("tips").SetText("${irc_device_lost}");
}

// ---- closing ----

// A run still under way (the system's close while the close button is off)
// is stopped first rather than waited for to its end.
int AutoCalPanel::Close() {
    if (mState.mIrcRunning.load()) {
        StopRun();
    }
    JoinWorker();
    if (mIrcResultHandled) {
        return 1;
    }
    if (mState.mIrcDone.load() && mQuestions.Confirm("${irc_apply_tips}")) {
        mLink.IRC_Ctrl(kIrcApply, 0, mIrcEqMode, true);
        return 1;
    }
    if (mLink.IsConnected()) {
        mLink.IRC_Ctrl(kIrcDiscard, 0, 0, true);
    }
    return 0;
}

}  // namespace controller
