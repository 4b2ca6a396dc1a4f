#include "toolkit/unit_texts.h"

#include <cctype>

#include "toolkit/text_resources.h"

namespace toolkit {
namespace {

struct Unit {
    const char* latin;
    const char* key;
};
// Longer units first, so that "dB/oct" is not taken for "dB".
constexpr Unit kUnits[] = {
    {"dB/oct", "${unit_db_oct}"}, {"kHz", "${unit_khz}"}, {"Hz", "${unit_hz}"},
    {"dB", "${unit_db}"},         {"ms", "${unit_ms}"},   {"cm", "${unit_cm}"},
    {"in", "${unit_in}"},
};

// The unit's text in the current language; the Latin text where the
// language file has none.
std::string LocalText(const Unit& unit) {
    std::string local = Translate(unit.key);
    return local.empty() || local == unit.key ? unit.latin : local;
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A unit stands after a digit, or after a digit and one space, and ends the
// text or is followed by something that is not a letter (so "in" in "inch"
// or in a word stays as it is).
bool FollowsNumber(std::string_view text, size_t at) {
    if (at >= 1 && IsDigit(text[at - 1])) {
        return true;
    }
    return at >= 2 && text[at - 1] == ' ' && IsDigit(text[at - 2]);
}

bool EndsWord(std::string_view text, size_t end) {
    if (end >= text.size()) {
        return true;
    }
    const unsigned char next = static_cast<unsigned char>(text[end]);
    return next < 0x80 && std::isalpha(next) == 0;
}

// Chinese and Japanese characters: U+2E80 to U+9FFF start with the bytes
// E2 BA to E9 in UTF-8.
bool IsIdeographic(const std::string& unit) {
    if (unit.size() < 3) {
        return false;
    }
    const unsigned char lead = static_cast<unsigned char>(unit[0]);
    return (lead >= 0xE3 && lead <= 0xE9) ||
           (lead == 0xE2 && static_cast<unsigned char>(unit[1]) >= 0xBA);
}

// Replaces every unit after a number: from the form `from` gives to the form `to` gives.
template <typename From, typename To>
std::string ReplaceUnits(std::string_view text, From from, To to) {
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (FollowsNumber(text, i)) {
            for (const Unit& unit : kUnits) {
                const std::string source = from(unit);
                if (!source.empty() && text.substr(i, source.size()) == source &&
                    EndsWord(text, i + source.size())) {
                    const std::string target = to(unit);
                    if (IsIdeographic(target) && !result.empty() && result.back() == ' ') {
                        result.pop_back();  // Chinese writes its units without a space
                    }
                    result += target;
                    i += source.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            result += text[i++];
        }
    }
    return result;
}

}  // namespace

std::string LocalUnits(std::string_view text) {
    return ReplaceUnits(
        text, [](const Unit& unit) { return std::string(unit.latin); }, LocalText);
}

std::string LatinUnits(std::string_view text) {
    return ReplaceUnits(text, LocalText, [](const Unit& unit) { return std::string(unit.latin); });
}

}  // namespace toolkit
