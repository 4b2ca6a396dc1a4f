// Unit conversions and the texts of values. Delays are kept in milliseconds
// and frequencies in whole hertz; the user may see and type delays in
// milliseconds, centimetres or inches. Everything reads only the model
// record and keeps no state.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace model {

// Delay units: the item index of the unit combo. Anything else is ms.
inline constexpr int kDelayUnitMs = 0;
inline constexpr int kDelayUnitCm = 1;
inline constexpr int kDelayUnitInch = 2;

inline constexpr int kMaxFrequencyHz = 20000;
// The gain range of an EQ band.
inline constexpr float kMinBandGainDb = -18.0f;
inline constexpr float kMaxBandGainDb = 12.0f;

// "%.3f ms", "%d cm" or "%d in" of a delay limited to 0..max.
std::string formatDelayText(int unit, float ms);
// The delay in ms for a number typed in a unit; centimetres and inches are
// cut to whole units. acceptedText, when given, receives the text of the
// value that was taken.
float delayFromUnitValue(int unit, float value, std::string* acceptedText = nullptr);
// The time sound takes over a distance in centimetres (kDelayUnitCm) or
// inches (kDelayUnitInch), at the ratio of the model's delay maxima; not
// limited. Any other unit reads the distance as centimetres.
float delayOfDistance(int unit, float distance);
// The delay limited to 0..max and, for cm and inches, moved to the nearest
// whole unit.
float quantizeDelay(int unit, float ms);
// The next frequency one step up or down on the 200-step logarithmic grid
// from the lowest EQ frequency to 20 kHz.
int stepFrequency(int freq, bool up);

std::u16string utf8ToWide(std::string_view utf8);

// Edits that show a value with a unit ("-3.5dB", "120Hz", "2 ms") are read
// back as the leading decimal number of their text. A text that does not
// start with a number ("abc", "", "-", "nan") has no value: the caller keeps
// what it had rather than taking 0, which for a trim is full level.
std::optional<double> leadingNumber(std::string_view text);
// The leading number limited to the nearest allowed value; none without one.
std::optional<double> readBackValue(std::string_view text, double lowest, double highest);
// A typed frequency: a plain number of hertz ("120", "120Hz"), or thousands
// with "k" or "K" and one digit of hundreds after it ("1k2" is 1200 Hz, "3K"
// 3000 Hz; "1.2k" reads the same). Anything else has no value.
std::optional<int> parseFrequencyText(std::string_view text);
// Delay step: one whole unit in centimetres and inches, 21 microseconds in
// milliseconds. Returns the new delay in ms, limited to 0..max.
float stepDelay(int unit, float ms, bool up);

// Value texts of the EQ and trim controls.
std::string formatFrequencyText(int hz);       // "%dHz"
std::string formatBandGainText(float gainDb);  // "%.1f"
std::string formatQText(float q);              // two decimals
// Trim text: "%.1fdB" when the model supports fractional trims, else "%ddB"
// of the value cut to an integer.
std::string formatTrimText(float gainDb);

}  // namespace model
