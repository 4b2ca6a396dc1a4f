// What the calibration window does: the installer ticks the channels to
// calibrate, chooses the test modules (EQ, delay, phase) and an EQ mode,
// and starts the amplifier's own measurement run. A worker polls the run;
// the amplifier's reports come back to the window and are handled here:
// the status in words, the progress, the measured response and the
// calibration EQ of each channel as curves, next to the target. At the end
// the installer keeps (applies) or discards the result.
//
// The window's own boxes (warnings, the question on closing) are asked
// through AutoCalQuestions, so that they appear over the window itself: the
// main window is minimised while it is open.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "controller/auto_cal_curves.h"
#include "controller/auto_cal_worker.h"
#include "controller/calibration_chart.h"
#include "controller/control_lookup.h"
#include "device/device_link.h"
#include "model/profile.h"
#include "toolkit/control_access.h"

namespace controller {

class AutoCalQuestions {
public:
    virtual ~AutoCalQuestions() = default;
    // The message box "${tips}" with these button labels; true for the first.
    virtual bool Ask(const std::string& text, const std::string& first,
                     const std::string& second) = 0;
    virtual void Tell(const std::string& text) = 0;
    // The confirmation box "${tips}"; true when confirmed.
    virtual bool Confirm(const std::string& text) = 0;
};

class AutoCalPanel {
public:
    // The profile is only read; the chart may be null (nothing is drawn).
    AutoCalPanel(device::DeviceLink& link, const model::Profile& profile,
                 toolkit::ControlAccess& window, CalibrationChart* chart,
                 AutoCalQuestions& questions, AutoCalTimings timings = {});
    // Stops the run's polling, waits for the worker and lets go of the
    // link's calibration reports.
    ~AutoCalPanel();
    AutoCalPanel(const AutoCalPanel&) = delete;
    AutoCalPanel& operator=(const AutoCalPanel&) = delete;

    // Ticks the channels that can be calibrated, draws the flat curves and
    // the first target, and takes the link's calibration reports.
    void Open();

    // Routes a click or an option change; false when it is none of the
    // panel's (the close button is the window's).
    bool Handle(const toolkit::Notification& notification);

    // A calibration report (WM_READ_IRC_VALUE): a status 0..12 with its
    // value, or a record of a measurement.
    void OnReport(uintptr_t wParam, intptr_t lParam, const platform::PostedRecord* record);
    // The worker's progress (WM_IRC_PROGRESS).
    void OnProgress(uintptr_t progress);
    // The worker found the link gone: the run is over.
    void OnLinkLost();

    // The window is asked to close: waits for a worker, asks about a result
    // not yet applied or discarded, tells the amplifier, and gives the code
    // the window closes with (1 when the amplifier may have taken a new
    // calibration).
    int Close();

    // ---- what the window shows and sends, for tests ----
    const AutoCalRunState& State() const { return mState; }
    const AutoCalCurves& Curves() const { return *mCurves; }
    uint16_t ChannelMask() const { return mIrcCh; }
    uint8_t Modules() const { return mIrcModel; }
    uint8_t EqMode() const { return mIrcEqMode; }
    bool ResultHandled() const { return mIrcResultHandled; }
    bool ChannelVisible(int channel) const { return mChVisible[static_cast<size_t>(channel)]; }

private:
    void PrepareChannelBoxes();
    void ClickStart();
    void StopRun();
    void StartRun();
    void ApplyResult();
    void DiscardResult();
    void ShowRunEnded();
    void ShareWithWorker(uintptr_t wParam, intptr_t lParam);
    void OnFailure(intptr_t reason);
    void OnDistance(const platform::PostedRecord* record);
    void OnEqBand(const platform::PostedRecord* record);
    void OnSpectrumPoint(const platform::PostedRecord* record);
    void OnOptionChanged(const toolkit::Notification& notification);
    void ShowTarget(int preset);
    void HandEq();
    void HandSpeaker();
    void HandTarget();
    bool ResultIsOffered();
    void ShowRunControls(bool running);
    void SetModuleBit(uint8_t bit, bool on);
    void JoinWorker();

    device::DeviceLink& mLink;
    const model::Profile& mProfile;
    toolkit::ControlAccess& mWindow;
    CalibrationChart* mChart;
    AutoCalQuestions& mQuestions;
    AutoCalTimings mTimings;
    ControlLookup mControls;
    std::unique_ptr<AutoCalCurves> mCurves;
    AutoCalRunState mState;
    AutoCalWorker mWorker;

    uint16_t mIrcCh = 0;
    uint8_t mIrcModel = 7;
    uint8_t mIrcEqMode = 0;
    bool mIrcResultHandled = false;
    bool mShowEq = true;
    bool mShowSpk = true;
    bool mShowTarget = false;
    std::array<bool, kCalibrationChannels> mChVisible{};
    std::array<bool, kCalibrationChannels> mNoneVisible{};
};

}  // namespace controller
