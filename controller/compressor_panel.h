// What the compressor window does for the current output: its bypass state
// shown on "btn_bp", and the threshold, ratio, attack time, release time and
// soft knee, each on a slider and an edit. Every change is stored in the
// working profile and sent with all six values of the output; the curve
// follows every change. The window hands its controls and notifications to
// this panel; the panel itself knows no window system.
#pragma once

#include "controller/compressor_chart.h"
#include "controller/compressor_value_editor.h"

namespace controller {

class CompressorPanel final : public CompressorValueEditor {
public:
    // chart may be null (a layout without the curve).
    CompressorPanel(EqualizerManager& manager, toolkit::ControlAccess& window,
                    CompressorChart* chart);

    // Takes the working profile's current output and shows its values.
    void Open();
    int Channel() const { return mChannel; }
    // What the curve shows now.
    CompressorView View();

    // Routes one notification; false when it is none of the panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    void ShowBypass();
    void ShowCurve();
    std::optional<ValueTarget> TargetOf(const std::string& controlName) const;

    void LogEdit(const ValueTarget& target, double typed) override;
    void LogSlider(const ValueTarget& target, double value) override;
    void LogStep(const ValueTarget& target, bool up) override;
    bool DropsRemainder() const override { return false; }
    void Send(const ValueTarget& target) override;
    std::optional<ValueTarget> Neighbour(const ValueTarget& target, bool right) override;

    CompressorChart* mChart;
    int mChannel = 0;
    bool mOpen = false;
};

}  // namespace controller
