#include "model/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/model_cfg.h"

namespace model {

namespace {

const app::ModelCfg& cfg() {
    return app::CurrentModelCfg();
}

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// Largest value of a distance unit; 0 for milliseconds.
float unitMaximum(int unit) {
    if (unit == kDelayUnitCm) {
        return cfg().mMAX_DELAY_CM;
    }
    return unit == kDelayUnitInch ? cfg().mMAX_DELAY_INCH : 0.0f;
}

const char* unitPattern(int unit) {
    if (cfg().mENABLE_VERTICAL_SLIDER) {
        return unit == kDelayUnitCm || unit == kDelayUnitInch ? "%d" : "%.3f";
    }
    if (unit == kDelayUnitCm) {
        return "%d cm";
    }
    return unit == kDelayUnitInch ? "%d in" : "%.3f ms";
}

float clampMs(float ms) {
    return std::isnan(ms) ? 0.0f : std::clamp(ms, 0.0f, cfg().mMAX_DELAY_MS);
}

// Whole units of a delay, halves away from zero, computed in single precision.
long wholeUnits(int unit, float ms) {
    return std::lround(ms * unitMaximum(unit) / cfg().mMAX_DELAY_MS);
}

int frequencyAtStep(int k) {
    double lo = std::log10(static_cast<double>(cfg().mEQ_FREQ_MIN));
    double hi = std::log10(static_cast<double>(kMaxFrequencyHz));
    return static_cast<int>(std::lround(std::pow(10.0, lo + (hi - lo) * k / 200.0)));
}

int stepIndex(int m, int delta) {
    return std::clamp(m + delta, 0, 200);
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// Length of the UTF-8 sequence a lead byte starts; 0 for a byte that cannot
// lead one.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    return (lead & 0xF8) == 0xF0 ? 4 : 0;
}

// Decodes the sequence at text[i] and advances i. Malformed input gives
// U+FFFD and consumes one byte.
char32_t decodeUtf8(std::string_view text, size_t& i) {
    static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    int length = sequenceLength(byte(i));
    if (length == 0 || i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = length == 1 ? byte(i) : byte(i) & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    bool invalid = cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
    return invalid ? 0xFFFD : cp;
}

}  // namespace

std::string formatDelayText(int unit, float ms) {
    ms = clampMs(ms);
    if (unit == kDelayUnitCm || unit == kDelayUnitInch) {
        return format(unitPattern(unit), static_cast<int>(wholeUnits(unit, ms)));
    }
    return format(unitPattern(unit), static_cast<double>(ms));
}

float delayFromUnitValue(int unit, float value, std::string* acceptedText) {
    if (!(value > 0.0f)) {
        value = 0.0f;  // negative numbers and NaN
    }
    if (unit == kDelayUnitCm || unit == kDelayUnitInch) {
        int top = static_cast<int>(unitMaximum(unit));
        int whole = static_cast<int>(std::min(value, static_cast<float>(top)));
        if (acceptedText != nullptr) {
            *acceptedText = format(unitPattern(unit), whole);
        }
        return static_cast<float>(whole) * cfg().mMAX_DELAY_MS / unitMaximum(unit);
    }
    float ms = std::min(value, cfg().mMAX_DELAY_MS);
    if (acceptedText != nullptr) {
        *acceptedText = format(unitPattern(unit), static_cast<double>(ms));
    }
    return ms;
}

float delayOfDistance(int unit, float distance) {
    const int distanceUnit = unit == kDelayUnitInch ? kDelayUnitInch : kDelayUnitCm;
    return distance * cfg().mMAX_DELAY_MS / unitMaximum(distanceUnit);
}

float quantizeDelay(int unit, float ms) {
    ms = clampMs(ms);
    if (unit != kDelayUnitCm && unit != kDelayUnitInch) {
        return ms;
    }
    long n = std::lround(unitMaximum(unit) * ms / cfg().mMAX_DELAY_MS);
    return static_cast<float>(n) * cfg().mMAX_DELAY_MS / unitMaximum(unit);
}

int stepFrequency(int freq, bool up) {
    const int lowest = cfg().mEQ_FREQ_MIN;
    if (cfg().mENABLE_FREQ_ADJUST_SMALL) {
        return up ? std::min(kMaxFrequencyHz, freq + 1) : std::max(lowest, freq - 1);
    }
    int f = std::clamp(freq, lowest, kMaxFrequencyHz);
    double lo = std::log10(static_cast<double>(lowest));
    double hi = std::log10(static_cast<double>(kMaxFrequencyHz));
    int m = static_cast<int>((std::log10(static_cast<double>(f)) - lo) * 200.0 / (hi - lo));
    int direction = up ? 1 : -1;
    int result = frequencyAtStep(stepIndex(m, direction));
    if (result == freq) {
        result = frequencyAtStep(stepIndex(m, 2 * direction));
    }
    return result;
}

std::u16string utf8ToWide(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        appendUtf16(wide, decodeUtf8(utf8, i));
    }
    return wide;
}

std::optional<double> leadingNumber(std::string_view text) {
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(start);
    bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        rest.remove_prefix(1);
    }
    double value = 0.0;
    auto [end, error] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large reads as the largest number (limited by the caller's
        // range); too small as 0.
        std::string_view digits(rest.data(), end - rest.data());
        bool tiny = digits.find("e-") != std::string_view::npos ||
                    digits.find("E-") != std::string_view::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::max();
    } else if (error != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> readBackValue(std::string_view text, double lowest, double highest) {
    std::optional<double> value = leadingNumber(text);
    if (value) {
        *value = std::clamp(*value, lowest, highest);
    }
    return value;
}

std::optional<int> parseFrequencyText(std::string_view text) {
    const std::optional<double> number = leadingNumber(text);
    if (!number) {
        return std::nullopt;
    }
    double hz = *number;
    const size_t letter = text.find_first_of("kK");
    const size_t digits = text.find_first_not_of(" \t+-.0123456789eE");
    if (letter != std::string_view::npos && letter == digits) {
        hz *= 1000.0;
        if (letter + 1 < text.size() && text[letter + 1] >= '0' && text[letter + 1] <= '9') {
            hz += (text[letter + 1] - '0') * 100.0;
        }
    }
    constexpr double kLargest = 1e9;  // anything above the range is limited by the caller
    return static_cast<int>(std::lround(std::clamp(hz, -kLargest, kLargest)));
}

float stepDelay(int unit, float ms, bool up) {
    if (unit == kDelayUnitCm || unit == kDelayUnitInch) {
        // A 21 us step is less than half a centimetre or inch: the unit's
        // rounding would take it back, so the step is one whole unit.
        const long top = std::lround(unitMaximum(unit));
        long whole = std::lround(unitMaximum(unit) * clampMs(ms) / cfg().mMAX_DELAY_MS);
        whole = std::clamp(whole + (up ? 1 : -1), 0L, top);
        return static_cast<float>(whole) * cfg().mMAX_DELAY_MS / unitMaximum(unit);
    }
    constexpr long kStepMicroseconds = 21;
    const long top = std::lround(cfg().mMAX_DELAY_MS * 1000.0f);
    long us = std::lround(clampMs(ms) * 1000.0f) + (up ? kStepMicroseconds : -kStepMicroseconds);
    return static_cast<float>(std::clamp(us, 0L, top)) / 1000.0f;
}

std::string formatFrequencyText(int hz) {
    return format("%dHz", hz);
}

std::string formatBandGainText(float gainDb) {
    return format("%.1f", static_cast<double>(gainDb));
}

std::string formatQText(float q) {
    return format("%.*f", 2, static_cast<double>(q));
}

std::string formatTrimText(float gainDb) {
    if (cfg().mSUPPORT_FLOAT_TRIM) {
        return format("%.1fdB", static_cast<double>(gainDb));
    }
    return format("%ddB", static_cast<int>(gainDb));
}

}  // namespace model
