#include "controller/distance_entry.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "model/units.h"

namespace controller {
namespace {

// Unit names the installer may write after the number, with the centimetres
// of one of them. The program's languages name the units differently, so
// their spellings are accepted too.
constexpr std::pair<std::string_view, double> kUnitNames[] = {
    {"cm", 1.0},
    {"mm", 0.1},
    {"m", 100.0},
    {"in", kCmPerInch},
    {"inch", kCmPerInch},
    {"inches", kCmPerInch},
    {"\"", kCmPerInch},
    {"zoll", kCmPerInch},
    {"\xD1\x81\xD0\xBC", 1.0},                         // см
    {"\xD0\xBC\xD0\xBC", 0.1},                         // мм
    {"\xD0\xBC", 100.0},                               // м
    {"\xD0\xB4\xD1\x8E\xD0\xB9\xD0\xBC", kCmPerInch},  // дюйм
    {"\xE5\x8E\x98\xE7\xB1\xB3", 1.0},                 // 厘米
    {"\xE6\xAF\xAB\xE7\xB1\xB3", 0.1},                 // 毫米
    {"\xE7\xB1\xB3", 100.0},                           // 米
    {"\xE8\x8B\xB1\xE5\xAF\xB8", kCmPerInch},          // 英寸
};

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

// The centimetres of one of the written unit, none for a word that is not a
// unit; no word at all is the unit asked for.
std::optional<double> CmPerWrittenUnit(std::string_view word, int distanceUnit) {
    if (word.empty()) {
        return distanceUnit == model::kDelayUnitInch ? kCmPerInch : 1.0;
    }
    const std::string lowered = Lowered(word);
    for (const auto& [name, cm] : kUnitNames) {
        if (lowered == name) {
            return cm;
        }
    }
    return std::nullopt;
}

}  // namespace

DistanceReading ReadDistance(std::string_view text, int distanceUnit) {
    text = Trimmed(text);
    if (text.empty()) {
        return {};
    }
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    const bool negative = number.front() == '-';
    size_t start = negative || number.front() == '+' ? 1 : 0;
    // Only digits may start the number: "inf" and "nan" are no distances.
    if (start >= number.size() ||
        !(std::isdigit(static_cast<unsigned char>(number[start])) || number[start] == '.')) {
        return {std::nullopt, DistanceFault::kNotANumber};
    }
    double value = 0.0;
    const char* first = number.data() + start;
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error != std::errc() || !std::isfinite(value)) {
        return {std::nullopt, error == std::errc::result_out_of_range ? DistanceFault::kTooFar
                                                                      : DistanceFault::kNotANumber};
    }
    const std::optional<double> cmPerUnit = CmPerWrittenUnit(
        Trimmed(std::string_view(end, static_cast<size_t>(last - end))), distanceUnit);
    if (!cmPerUnit) {
        return {std::nullopt, DistanceFault::kNotANumber};
    }
    if (negative && value > 0.0) {
        return {std::nullopt, DistanceFault::kNegative};
    }
    const double cm = value * *cmPerUnit;
    if (cm > kFarthestDistanceCm) {
        return {std::nullopt, DistanceFault::kTooFar};
    }
    const double inUnit = distanceUnit == model::kDelayUnitInch ? cm / kCmPerInch : cm;
    return {inUnit, DistanceFault::kNone};
}

std::string DistanceNumberText(double distance) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", distance);
    std::string shown = text;
    while (shown.back() == '0') {
        shown.pop_back();
    }
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown;
}

std::string DistanceWithUnitText(double distance, int distanceUnit) {
    return DistanceNumberText(distance) + (distanceUnit == model::kDelayUnitInch ? " in" : " cm");
}

}  // namespace controller
