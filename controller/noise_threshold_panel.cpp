#include "controller/noise_threshold_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "model/units.h"

namespace controller {
namespace {

using namespace noise_threshold;

constexpr const char* kEdit = "value_edt";
constexpr const char* kOff = "${off}";
constexpr int kNarrowestRows = 6;
// A second bank of bars, for models with more inputs than one row holds.
constexpr int kOneBankInputs = 16;

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

std::string Indexed(const char* format, int index) {
    char name[32];
    std::snprintf(name, sizeof name, format, index);
    return name;
}

int BarValue(float level) {
    return static_cast<int>(std::lround(std::clamp(level, float(kEmptyBar), 0.0f)));
}

}  // namespace

NoiseThresholdPanel::NoiseThresholdPanel(EqualizerManager& manager, UiServices& ui,
                                         toolkit::ControlAccess& window)
    : mManager(manager), mUi(ui), mWindow(window) {
    mControls.Bind(&window);
}

NoiseThresholdPanel::~NoiseThresholdPanel() {
    mManager.Link().ReleaseNoiseWnd(mWindow.Handle());
}

void NoiseThresholdPanel::Open() {
    ShowThreshold();
    const model::Profile& profile = mManager.WorkingProfile();
    mInputs = std::clamp(model::Profile::inputChannelCount(profile.source), 0, kRows);
    for (int i = 0; i < kRows; ++i) {
        mControls(Indexed("progress_%d", i)).SetValue(kEmptyBar);
        const bool shown = i < mInputs;
        mControls(Indexed("in_%d", i)).SetVisible(shown);
        mControls(Indexed("prg_group_%d", i)).SetVisible(shown);
    }
    if (Cfg().mNOISE_GATE_HAS_TWO_LAYER && mInputs <= kOneBankInputs) {
        mControls("progress_bar_array_1").SetVisible(false);
    }
    mManager.Link().SetNoiseWnd(mWindow.Handle());
    if (mManager.Link().IsConnected()) {
        mWindow.SetTimer(kPollTimerId, kPollPeriodMs);
        mPolling = true;
    }
}

int NoiseThresholdPanel::WidthFor(int layoutWidth) const {
    const int rows = std::max(mInputs, kNarrowestRows);
    const int layoutRows = std::max(Cfg().mMAX_INPUT_CHANNEL_NUMBER, kNarrowestRows);
    return (rows - layoutRows) * kRowWidth + layoutWidth;
}

void NoiseThresholdPanel::OnPollTimer() {
    app::Log("WM_TIMER %d\n", kPollTimerId);
    if (mStopped) {
        return;
    }
    device::DeviceLink& link = mManager.Link();
    if (!link.IsConnected()) {
        ShowEmptyBars();  // no amplifier: no levels, and nothing asked
        return;
    }
    // Queued, never waited for. While the link is still busy with earlier
    // commands (or a slow amplifier) this tick asks nothing, so requests do
    // not pile up behind one another.
    if (mInputs > 0 && link.IsCmdQueueIdle()) {
        link.Get_Input_Noise(0, static_cast<uint8_t>(mInputs - 1), false);
    }
}

void NoiseThresholdPanel::ShowEmptyBars() {
    if (!mShowingLevels) {
        return;
    }
    mShowingLevels = false;
    for (int i = 0; i < mInputs; ++i) {
        mControls(Indexed("progress_%d", i)).SetValue(kEmptyBar);
        mControls(Indexed("noise_%d", i)).SetText("");
    }
}

void NoiseThresholdPanel::OnNoiseReport(const device::InputNoiseRecord& record) {
    const auto& n = record.noise;
    app::Log("input noise value %.1f %.1f %.1f %.1f %.2f %.1f\n", n[0], n[1], n[2], n[3], n[4],
             n[5]);
    // Only the inputs the report carries; the others keep what they show.
    const int last = std::min<int>(record.last, mInputs - 1);
    for (int i = record.first; i <= last && i < device::kNoiseRecordChannels; ++i) {
        char text[24];
        std::snprintf(text, sizeof text, " %.1f", static_cast<double>(n[i]));
        mControls(Indexed("noise_%d", i)).SetText(text);
        mControls(Indexed("progress_%d", i)).SetValue(BarValue(n[i]));
        mShowingLevels = true;
    }
}

bool NoiseThresholdPanel::IsOffText(const std::string& text) const {
    return text == kOff || text == mUi.Translate(kOff);
}

void NoiseThresholdPanel::ShowThreshold() {
    const int t = mManager.WorkingProfile().inputThreshold;
    if (t <= Cfg().mMIN_NOISE_THRESHOLD) {
        mControls(kEdit).SetText(kOff);
        return;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%ddBu", t);
    mControls(kEdit).SetText(text);
}

void NoiseThresholdPanel::ApplyThresholdEdit() {
    toolkit::ControlHandle& edit = mControls(kEdit);
    const std::string text = edit.Text();
    if (IsOffText(text)) {
        ApplyThreshold(Cfg().mMIN_NOISE_THRESHOLD);
        return;
    }
    const std::optional<double> typed = model::leadingNumber(text);
    if (!typed) {
        ShowThreshold();  // not a number: the threshold stays
        edit.SetFocus();
        edit.SelectAllText();
        return;
    }
    // Read as a whole number of dBu, as "%ddBu" shows it.
    const double clamped = std::clamp(*typed, -1000.0, 1000.0);
    ApplyThreshold(static_cast<int>(std::trunc(clamped)));
}

void NoiseThresholdPanel::StepThreshold(bool up) {
    const std::string text = mControls(kEdit).Text();
    int t = mManager.WorkingProfile().inputThreshold;
    if (IsOffText(text)) {
        t = Cfg().mMIN_NOISE_THRESHOLD;
    } else if (const std::optional<double> typed = model::leadingNumber(text)) {
        t = static_cast<int>(std::trunc(std::clamp(*typed, -1000.0, 1000.0)));
    }
    ApplyThreshold(t + (up ? 1 : -1));
}

void NoiseThresholdPanel::ApplyThreshold(int dbu) {
    const int t = std::clamp(dbu, Cfg().mMIN_NOISE_THRESHOLD, kHighestDbu);
    app::Log("on input threshold edit change to %d dB\n", t);
    mManager.WorkingProfile().inputThreshold = t;
    ShowThreshold();
    mManager.Link().Input_Ch_Threshold_Ctrl(t, false);
    toolkit::ControlHandle& edit = mControls(kEdit);
    edit.SetFocus();
    edit.SelectAllText();
}

void NoiseThresholdPanel::Stop() {
    mStopped = true;
    mWindow.KillTimer(kPollTimerId);
    mManager.Link().ReleaseNoiseWnd(mWindow.Handle());
}

bool NoiseThresholdPanel::Handle(const toolkit::Notification& n) {
    if (n.name != kEdit) {
        return false;
    }
    if (n.type == toolkit::kNotifyValueChangedUp || n.type == toolkit::kNotifyValueChangedDown) {
        StepThreshold(n.type == toolkit::kNotifyValueChangedUp);
        return true;
    }
    if (n.type == toolkit::kNotifyReturn) {
        ApplyThresholdEdit();
        return true;
    }
    return false;
}

}  // namespace controller
