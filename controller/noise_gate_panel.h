// What the noise gate window does: its switch, and the gate's threshold and
// the gain of its dynamic-range stage, each on a slider and an edit. Every
// change is stored in the working profile and queued for the amplifier at
// once. The window hands its controls and notifications to this panel; the
// panel itself knows no window system.
#pragma once

#include <string>

#include "controller/control_lookup.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;

namespace noise_gate {

// The device takes the threshold as 31 - position and the gain as the
// position; positions run 0..31 and 0..48.
inline constexpr int kThresholdTop = 31;
inline constexpr int kGainTop = 48;
inline constexpr double kGainOffsetDb = 32.0;

// 1.5 dB a position from -76.5 dB.
double ThresholdDbOf(int position);
// The nearest position, halves away from zero.
int ThresholdPositionOf(double db);
int ThresholdIndexOf(int position);
double GainDbOf(double position);
// "%.1fdB".
std::string DbText(double db);

}  // namespace noise_gate

class NoiseGatePanel {
public:
    NoiseGatePanel(EqualizerManager& manager, toolkit::ControlAccess& window);

    // Shows the working profile's switch, threshold and gain.
    void Show();

    // "btn_noise_gate" clicked: the gate goes to the other state, the main
    // page's switch with it; the sliders and edits work only while it is on.
    void ToggleSwitch();
    // A slider moved.
    void ApplyThresholdSlider();
    void ApplyGainSlider();
    // An edit committed. A text without a number changes and sends nothing
    // and shows the value again.
    void ApplyThresholdEdit();
    void ApplyGainEdit();
    // Up or down on an edit: one slider position; nothing at the range's end.
    void StepThreshold(bool up);
    void StepGain(bool up);

    // Routes one notification of the window; false when it is none of the
    // panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    struct Range {
        int lowest;
        int highest;
    };
    Range SliderRange(const char* slider, int deviceTop);
    void ShowSwitch(bool on);
    void EnableValues(bool on);
    void FocusEdit(const char* edit);
    void SendThreshold(int position);
    void SendGain(int position);
    bool EditChanged(bool threshold);

    EqualizerManager& mManager;
    ControlLookup mControls;
};

}  // namespace controller
