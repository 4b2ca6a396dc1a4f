// What the multi-channel compressor window does: one column per output,
// each with its compressor's on/off box and its threshold, attack time and
// release time on sliders and edits. A box goes through the controller's
// compressor switch; a value is stored for its column and sent for that
// column alone. Columns past the model's outputs are hidden. The window
// hands its controls and notifications to this panel; the panel itself
// knows no window system.
#pragma once

#include "controller/compressor_value_editor.h"

namespace controller {

class CompressorsOnPanel final : public CompressorValueEditor {
public:
    CompressorsOnPanel(EqualizerManager& manager, toolkit::ControlAccess& window);

    // Shows every column; notifications are acted upon only afterwards.
    void Open();
    // The columns the layout has, and those of the model's outputs.
    static int Columns();
    static int ShownColumns();

    // Routes one notification; false when it is none of the panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    std::optional<ValueTarget> TargetOf(const toolkit::Notification& notification) const;
    bool HandleEnableBox(const toolkit::Notification& notification);

    void LogEdit(const ValueTarget& target, double typed) override;
    void LogSlider(const ValueTarget& target, double value) override;
    void LogStep(const ValueTarget& target, bool up) override;
    bool DropsRemainder() const override { return true; }
    void Send(const ValueTarget& target) override;
    std::optional<ValueTarget> Neighbour(const ValueTarget& target, bool right) override;

    bool mOpen = false;
};

}  // namespace controller
