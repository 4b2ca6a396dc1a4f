// The values both compressor windows edit, each with its slider and edit:
// how the edit writes it, the factor between the value and the slider's
// integer position, the step of an up/down key and which profile field of
// the output keeps it. The limits of every value are those of its slider,
// which the layout sets.
#pragma once

#include <string>

#include "model/profile.h"
#include "toolkit/control_access.h"

namespace controller::compressor {

enum class Parameter { kThreshold, kRatio, kAttack, kRelease, kSoftKnee };

struct ParameterSpec {
    Parameter parameter;
    const char* editFormat;  // "%.1fdB", "%dms", ...
    int scale;               // slider position = value * scale
    int step;                // slider positions per up/down
    bool whole;              // milliseconds: the integer part only
    const char* unit;        // as the logs name it
    // The slider's positions when a layout gives the slider no range.
    int lowest;
    int highest;
};

const ParameterSpec& SpecOf(Parameter parameter);

// The slider's positions, lowest first.
struct Positions {
    int lowest = 0;
    int highest = 0;
};
// The range of the slider, or the parameter's own when the slider has none.
Positions RangeOf(const toolkit::ControlHandle& slider, const ParameterSpec& spec);

// The value as its edit shows it.
std::string EditText(const ParameterSpec& spec, double value);
int PositionOf(const ParameterSpec& spec, double value);
double ValueAt(const ParameterSpec& spec, int position);

// A typed value made one the slider can take: limited to the slider's
// range, milliseconds without their fraction, the rest to the slider's
// resolution.
double Limited(const ParameterSpec& spec, const Positions& range, double typed);

// The slider position after one up or down: none past the end already
// reached, then limited to the range. dropRemainder takes the position down
// to a whole number of steps (toward zero) when the step is more than one.
int Stepped(int position, bool up, int step, bool dropRemainder, const Positions& range);

// The channel's value of the parameter in the profile, and storing it.
double ValueOf(const model::Profile& profile, int channel, Parameter parameter);
void Store(model::Profile& profile, int channel, Parameter parameter, double value);

}  // namespace controller::compressor
