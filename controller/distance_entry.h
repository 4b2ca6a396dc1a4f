// A distance the installer typed for an output: measured with a tape from the
// speaker to the listener's head, in centimetres or inches, with or without
// the unit written after the number. What is not a distance is told apart
// from what is too far, so the window can say which.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace controller {

// Farther than any speaker in a car can be from the listener: a typing slip.
inline constexpr double kFarthestDistanceCm = 2000.0;
inline constexpr double kCmPerInch = 2.54;

enum class DistanceFault { kNone, kNotANumber, kNegative, kTooFar };

struct DistanceReading {
    // In the unit asked for; none for an empty text and for a fault.
    std::optional<double> distance;
    DistanceFault fault = DistanceFault::kNone;
};

// The distance in the text in centimetres (model::kDelayUnitCm) or inches
// (model::kDelayUnitInch). A number alone is in that unit; a number may also
// carry its own ("250 cm", "2.5 m", "98 in", "98\""), and a decimal comma
// reads as a point. An empty text is no distance at all.
DistanceReading ReadDistance(std::string_view text, int distanceUnit);

// The number with at most two decimals and no trailing zeros ("250", "98.43").
std::string DistanceNumberText(double distance);
// The number and its unit, as the settings file keeps it ("250 cm", "98.5 in").
std::string DistanceWithUnitText(double distance, int distanceUnit);

}  // namespace controller
