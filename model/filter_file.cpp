#include "model/filter_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "model/file_bytes.h"

namespace model {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct TypeName {
    std::string_view name;  // lower case, as compared
    FilterType type;
};

// Every spelling met in such files.
constexpr std::array kTypeNames{
    TypeName{"pk", FilterType::Peaking},    TypeName{"peq", FilterType::Peaking},
    TypeName{"ls", FilterType::LowShelf},   TypeName{"lsc", FilterType::LowShelf},
    TypeName{"lsq", FilterType::LowShelf},  TypeName{"hs", FilterType::HighShelf},
    TypeName{"hsc", FilterType::HighShelf}, TypeName{"hsq", FilterType::HighShelf},
    TypeName{"lp", FilterType::LowPass},    TypeName{"lpq", FilterType::LowPass},
    TypeName{"hp", FilterType::HighPass},   TypeName{"hpq", FilterType::HighPass},
    TypeName{"no", FilterType::Notch},      TypeName{"ap", FilterType::AllPass},
    TypeName{"bp", FilterType::BandPass},
};

// Continuation bytes 10xxxxxx; overlong forms, surrogates and code points
// beyond U+10FFFF are refused like any other broken sequence.
bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        size_t length = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > s.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        constexpr std::array<uint32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::vector<std::string> lowerTokens(std::string_view s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isSpace(s[i])) {
            ++i;
        }
        size_t start = i;
        while (i < s.size() && !isSpace(s[i])) {
            ++i;
        }
        if (i > start) {
            out.push_back(lowered(s.substr(start, i - start)));
        }
    }
    return out;
}

bool isComment(std::string_view line) {
    return line.starts_with('#') || line.starts_with(';') || line.starts_with("//");
}

// A number followed by an optional unit, glued ("1.2kHz") or as the next
// token ("1.2 kHz"). Infinities and NaN are not numbers here.
struct Quantity {
    double value = 0.0;
    std::string unit;
};

std::optional<Quantity> readQuantity(const std::vector<std::string>& tokens, size_t& i,
                                     std::initializer_list<std::string_view> units) {
    if (i >= tokens.size()) {
        return std::nullopt;
    }
    std::string_view token = tokens[i];
    if (token.starts_with('+')) {
        token.remove_prefix(1);
    }
    Quantity q;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), q.value);
    if (error != std::errc{} || !std::isfinite(q.value)) {
        return std::nullopt;
    }
    q.unit.assign(end, token.data() + token.size());
    ++i;
    auto known = [&](std::string_view unit) {
        for (std::string_view u : units) {
            if (u == unit) {
                return true;
            }
        }
        return false;
    };
    if (q.unit.empty() && i < tokens.size() && known(tokens[i])) {
        q.unit = tokens[i++];
    }
    if (!q.unit.empty() && !known(q.unit)) {
        return std::nullopt;
    }
    return q;
}

std::optional<FilterType> typeFromName(std::string_view name) {
    for (const TypeName& t : kTypeNames) {
        if (t.name == name) {
            return t.type;
        }
    }
    return std::nullopt;
}

std::optional<int> filterNumber(std::string_view text) {
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc{} || end != text.data() + text.size() || n < 0) {
        return std::nullopt;
    }
    return n;
}

// The values after "ON PK": Fc, Gain, Q or BW Oct, in any order.
bool readFilterValues(const std::vector<std::string>& t, size_t i, FilterEntry& f) {
    bool haveFrequency = false;
    while (i < t.size()) {
        const std::string& key = t[i++];
        if (key == "fc") {
            auto q = readQuantity(t, i, {"hz", "khz"});
            if (!q || q->value <= 0.0) {
                return false;
            }
            f.frequencyHz = q->unit == "khz" ? q->value * 1000.0 : q->value;
            haveFrequency = true;
        } else if (key == "gain") {
            auto q = readQuantity(t, i, {"db"});
            if (!q) {
                return false;
            }
            f.gainDb = q->value;
        } else if (key == "q") {
            auto q = readQuantity(t, i, {});
            if (!q || q->value <= 0.0) {
                return false;
            }
            f.q = q->value;
        } else if (key == "bw") {
            if (i < t.size() && t[i] == "oct") {
                ++i;
            }
            auto q = readQuantity(t, i, {"oct"});
            if (!q || q->value <= 0.0) {
                return false;
            }
            // Bandwidths of thousands of octaves or next to none have no Q.
            const double converted = qFromBandwidthOctaves(q->value);
            if (!std::isfinite(converted) || converted <= 0.0) {
                return false;
            }
            f.q = converted;
        } else {
            return false;
        }
    }
    return haveFrequency;
}

// "Filter 3: ON PK Fc 1000 Hz Gain -3.0 dB Q 2.00"; the number may be left
// out ("Filter: ON ..."), then the filter counts on from the one before.
std::optional<FilterEntry> readFilterLine(std::string_view line, int numberIfMissing) {
    const std::string lower = lowered(line);
    std::string_view rest = lower;
    rest.remove_prefix(std::string_view("filter").size());
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    FilterEntry f;
    const std::string_view numberText = trimmed(rest.substr(0, colon));
    if (numberText.empty()) {
        f.number = numberIfMissing;
    } else if (auto n = filterNumber(numberText)) {
        f.number = *n;
    } else {
        return std::nullopt;
    }
    const std::vector<std::string> t = lowerTokens(rest.substr(colon + 1));
    if (t.size() < 2 || (t[0] != "on" && t[0] != "off")) {
        return std::nullopt;
    }
    f.on = t[0] == "on";
    auto type = typeFromName(t[1]);
    if (!type) {
        return std::nullopt;
    }
    f.type = *type;
    if (!readFilterValues(t, 2, f)) {
        return std::nullopt;
    }
    return f;
}

// "Preamp: -6.0 dB".
std::optional<double> readPreampLine(std::string_view line) {
    std::string_view rest = line.substr(std::string_view("preamp").size());
    rest = trimmed(rest);
    if (!rest.starts_with(':')) {
        return std::nullopt;
    }
    const std::vector<std::string> t = lowerTokens(rest.substr(1));
    size_t i = 0;
    auto q = readQuantity(t, i, {"db"});
    if (!q || i != t.size()) {
        return std::nullopt;
    }
    return q->value;
}

bool startsWithWord(std::string_view line, std::string_view word) {
    return line.size() >= word.size() && lowered(line.substr(0, word.size())) == word;
}

// One line of the file into the list; false when it is not understood.
bool readLine(std::string_view line, FilterList& list) {
    if (startsWithWord(line, "filter")) {
        const int last = list.filters.empty() ? 0 : list.filters.back().number;
        const int next = last < std::numeric_limits<int>::max() ? last + 1 : last;
        auto f = readFilterLine(line, next);
        if (!f) {
            return false;
        }
        list.filters.push_back(*f);
        return true;
    }
    // A second preamp would silently replace the first; the user is shown it.
    if (startsWithWord(line, "preamp") && !list.preampDb) {
        list.preampDb = readPreampLine(lowered(line));
        return list.preampDb.has_value();
    }
    return false;
}

}  // namespace

const char* filterTypeName(FilterType type) {
    switch (type) {
        case FilterType::Peaking:
            return "PK";
        case FilterType::LowShelf:
            return "LS";
        case FilterType::HighShelf:
            return "HS";
        case FilterType::LowPass:
            return "LP";
        case FilterType::HighPass:
            return "HP";
        case FilterType::Notch:
            return "NO";
        case FilterType::AllPass:
            return "AP";
        case FilterType::BandPass:
            return "BP";
    }
    return "";
}

const char* filterFileErrorKey(FilterFileError error) {
    switch (error) {
        case FilterFileError::None:
            return nullptr;
        case FilterFileError::CannotOpen:
            return "${filter_file_open_error}";
        case FilterFileError::Empty:
            return "${filter_file_empty}";
        case FilterFileError::TooLarge:
            return "${filter_file_too_large}";
        case FilterFileError::Binary:
            return "${filter_file_binary}";
        case FilterFileError::NoFilters:
            return "${filter_file_no_filters}";
    }
    return nullptr;
}

double qFromBandwidthOctaves(double octaves) {
    const double ratio = std::pow(2.0, octaves);
    return std::sqrt(ratio) / (ratio - 1.0);
}

FilterFileRead ParseFilterText(std::string_view text) {
    FilterFileRead result;
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    if (text.find('\0') != std::string_view::npos || !isValidUtf8(text)) {
        result.error = FilterFileError::Binary;
        return result;
    }
    if (trimmed(text).empty()) {
        result.error = FilterFileError::Empty;
        return result;
    }
    FilterList list;
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view raw = text.substr(start, end - start);
        if (raw.ends_with('\r')) {
            raw.remove_suffix(1);
        }
        ++lineNumber;
        const std::string_view line = trimmed(raw);
        if (!line.empty() && !isComment(line) && !readLine(line, list)) {
            list.unreadLines.push_back({lineNumber, std::string(raw)});
        }
        start = end + 1;
    }
    if (list.filters.empty()) {
        result.error = FilterFileError::NoFilters;
        return result;
    }
    result.list = std::move(list);
    return result;
}

FilterFileRead ReadFilterFile(const std::filesystem::path& path) {
    std::string text;
    switch (readWholeFile(path, kMaxFilterFileBytes, text)) {
        case FileReadStatus::Ok:
            return ParseFilterText(text);
        case FileReadStatus::TooLarge:
            return {FilterFileError::TooLarge, {}};
        case FileReadStatus::CannotOpen:
            break;
    }
    return {FilterFileError::CannotOpen, {}};
}

}  // namespace model
