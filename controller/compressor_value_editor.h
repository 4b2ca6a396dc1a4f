// What the two compressor windows do alike with a value's slider and edit:
// a committed edit limited to its slider and stored, a moved slider shown in
// its edit, an up/down step of the slider, the focus moving on to the next
// edit, each change stored in the working profile and sent at once. The
// windows differ in where a value belongs (the current output or a column),
// in their log lines, in how a step ends and in their focus order; those are
// the panels' own.
#pragma once

#include <optional>
#include <string>

#include "controller/compressor_parameters.h"
#include "controller/control_lookup.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;

namespace compressor {

// One value on the screen: the parameter of one output, with its controls.
struct ValueTarget {
    Parameter parameter = Parameter::kThreshold;
    int channel = 0;
    std::string slider;
    std::string edit;
};

}  // namespace compressor

class CompressorValueEditor {
public:
    virtual ~CompressorValueEditor() = default;
    CompressorValueEditor(const CompressorValueEditor&) = delete;
    CompressorValueEditor& operator=(const CompressorValueEditor&) = delete;

protected:
    using ValueTarget = compressor::ValueTarget;

    CompressorValueEditor(EqualizerManager& manager, toolkit::ControlAccess& window);

    // The profile's value in the edit and on the slider.
    void ShowValue(const ValueTarget& target);
    // The typed value, limited to the slider, shown, stored and sent. A text
    // with no number changes and sends nothing and shows the value again.
    void CommitEdit(const ValueTarget& target);
    // The slider's value shown in the edit (focused, selected), stored, sent.
    void ApplySlider(const ValueTarget& target);
    // One step of the slider, then as a moved slider.
    void Step(const ValueTarget& target, bool up);
    void FocusEdit(const std::string& edit);

    // The notifications both windows handle on a value's controls; false
    // for any other.
    bool HandleValue(const ValueTarget& target, const toolkit::Notification& notification);

    EqualizerManager& mManager;
    ControlLookup mControls;

private:
    virtual void LogEdit(const ValueTarget& target, double typed) = 0;
    virtual void LogSlider(const ValueTarget& target, double value) = 0;
    virtual void LogStep(const ValueTarget& target, bool up) = 0;
    // Whether a step ends on a whole number of steps.
    virtual bool DropsRemainder() const = 0;
    // The value of the target was stored: send what the device needs.
    virtual void Send(const ValueTarget& target) = 0;
    // The edit to move to from the target's, rightwards or leftwards.
    virtual std::optional<ValueTarget> Neighbour(const ValueTarget& target, bool right) = 0;

    void OnReturn(const ValueTarget& target, bool);
    void OnLeave(const ValueTarget& target, bool);
    void OnSlider(const ValueTarget& target, bool);
    void MoveFocus(const ValueTarget& target, bool right);
    void StoreAndSend(const ValueTarget& target, double value);
    bool ShowsStoredValue(const ValueTarget& target);
};

}  // namespace controller
