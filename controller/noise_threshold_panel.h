// What the input noise threshold window does: a bar per input of the current
// source showing the noise the amplifier measures there, asked for twice a
// second, and the one threshold below which inputs count as silent. The poll
// is queued for the link's command thread, never waited for: the answers
// come back as posted messages to the window while it is open, and a closed
// window lets go of them so none is posted to it afterwards.
#pragma once

#include <string>

#include "controller/control_lookup.h"
#include "device/device_records.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;
class UiServices;

namespace noise_threshold {

inline constexpr int kPollTimerId = 4112;
inline constexpr int kPollPeriodMs = 500;
inline constexpr int kRows = 12;
inline constexpr int kHighestDbu = -40;
// What a bar shows for an input without a level.
inline constexpr int kEmptyBar = -100;
// A row more or fewer changes the window's width by this much.
inline constexpr int kRowWidth = 50;

}  // namespace noise_threshold

class NoiseThresholdPanel {
public:
    NoiseThresholdPanel(EqualizerManager& manager, UiServices& ui, toolkit::ControlAccess& window);
    // Lets go of the link's noise reports.
    ~NoiseThresholdPanel();
    NoiseThresholdPanel(const NoiseThresholdPanel&) = delete;
    NoiseThresholdPanel& operator=(const NoiseThresholdPanel&) = delete;

    // Shows the threshold and one row per input, takes the link's noise
    // reports and starts the poll when an amplifier is connected.
    void Open();
    // The inputs of the current source (at most the rows there are).
    int InputCount() const { return mInputs; }
    // The client width the rows need, unscaled, from the layout's width.
    int WidthFor(int layoutWidth) const;

    // The poll timer ticked: queues the noise request for the inputs, or,
    // with no amplifier, shows empty bars and asks for nothing.
    void OnPollTimer();
    // The amplifier's noise report.
    void OnNoiseReport(const device::InputNoiseRecord& record);
    bool IsPolling() const { return mPolling && !mStopped; }

    // "value_edt" committed: the typed threshold, limited to its range; a
    // text without a number changes and sends nothing.
    void ApplyThresholdEdit();
    // Up or down on the edit or the arrow keys: one dBu.
    void StepThreshold(bool up);
    // A button closes the window: no poll from now on.
    void Stop();

    // Routes one notification; false when it is none of the panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    void ApplyThreshold(int dbu);
    void ShowThreshold();
    bool IsOffText(const std::string& text) const;
    void ShowEmptyBars();

    EqualizerManager& mManager;
    UiServices& mUi;
    toolkit::ControlAccess& mWindow;
    ControlLookup mControls;
    int mInputs = 0;
    bool mPolling = false;
    bool mStopped = false;
    bool mShowingLevels = false;
};

}  // namespace controller
