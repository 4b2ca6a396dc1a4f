#include "toolkit/layout_spec.h"

#include <charconv>

namespace toolkit {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool ParseIntStrict(std::string_view text, int& out) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::optional<std::vector<int>> ParseInts(std::string_view text, size_t count) {
    std::vector<int> values;
    while (values.size() < count) {
        size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        int value = 0;
        if (!ParseIntStrict(part, value) || value < -kMaxLayoutCoordinate ||
            value > kMaxLayoutCoordinate) {
            return std::nullopt;
        }
        values.push_back(value);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    if (values.size() != count) {
        return std::nullopt;
    }
    return values;
}

bool CheckElement(const XmlElement& element, int& budget) {
    if (--budget < 0) {
        return false;
    }
    for (const auto& [key, value] : element.attributes) {
        if ((key == "pos" && !ParseRect(value)) || (key == "size" && !ParseSize(value)) ||
            ((key == "textcolor" || key == "bkcolor" || key == "bordercolor") &&
             !ParseColor(value))) {
            return false;
        }
    }
    for (const auto& child : element.children) {
        if (!CheckElement(child, budget)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<LayoutRect> ParseRect(std::string_view text) {
    auto values = ParseInts(text, 4);
    if (!values || (*values)[2] < 0 || (*values)[3] < 0) {
        return std::nullopt;
    }
    return LayoutRect{(*values)[0], (*values)[1], (*values)[2], (*values)[3]};
}

std::optional<LayoutRect> ParseSize(std::string_view text) {
    auto values = ParseInts(text, 2);
    if (!values || (*values)[0] < 0 || (*values)[1] < 0) {
        return std::nullopt;
    }
    return LayoutRect{0, 0, (*values)[0], (*values)[1]};
}

std::optional<uint32_t> ParseColor(std::string_view text) {
    text = Trim(text);
    if (text.substr(0, 1) == "#") {
        text.remove_prefix(1);
    } else if (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") {
        text.remove_prefix(2);
    } else {
        return std::nullopt;
    }
    if (text.size() != 6 && text.size() != 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return text.size() == 6 ? (0xFF000000u | value) : value;
}

bool ParseBool(const std::string* text, bool fallback) {
    if (text == nullptr) {
        return fallback;
    }
    if (*text == "true" || *text == "1") {
        return true;
    }
    if (*text == "false" || *text == "0") {
        return false;
    }
    return fallback;
}

int ParseInt(std::string_view text, int fallback) {
    int value = 0;
    return ParseIntStrict(text, value) ? value : fallback;
}

std::optional<XmlElement> ParseLayout(std::string_view text) {
    auto root = ParseXml(text);
    if (!root || (root->name != "Window" && root->name != "Layout" && root->name != "Menu")) {
        return std::nullopt;
    }
    int budget = kMaxLayoutControls;
    if (!CheckElement(*root, budget)) {
        return std::nullopt;
    }
    return root;
}

std::string ImageVariantName(std::string_view name, int scalePercent) {
    std::string base(name);
    if (scalePercent == 100 || scalePercent <= 0) {
        return base;
    }
    size_t dot = base.rfind('.');
    size_t slash = base.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        dot = base.size();
    }
    return base.substr(0, dot) + "@" + std::to_string(scalePercent) + base.substr(dot);
}

int DpiForScreens(const std::vector<LayoutRect>& screens, int defaultWidth, int defaultHeight) {
    if (screens.empty() || defaultWidth <= 0 || defaultHeight <= 0) {
        return 96;
    }
    LayoutRect widest = screens.front();
    for (const auto& screen : screens) {
        if (screen.width > widest.width) {
            widest = screen;
        }
    }
    float fw = static_cast<float>(widest.width) / static_cast<float>(defaultWidth);
    float fh = static_cast<float>(widest.height) / static_cast<float>(defaultHeight);
    float f = fw < fh ? fw : fh;
    if (f < 0.8f)
        return 64;
    if (f < 1.0f)
        return 77;
    if (f < 1.25f)
        return 96;
    if (f < 1.5f)
        return 120;
    if (f < 2.0f)
        return 144;
    if (f < 3.0f)
        return 192;
    return 288;
}

int ScaleForDpi(int dpi) {
    switch (dpi) {
        case 77:
            return 80;
        case 120:
            return 125;
        case 144:
            return 150;
        case 192:
            return 200;
        case 288:
            return 300;
        default:
            return dpi > 0 ? dpi * 100 / 96 : 100;
    }
}

int Scaled(int value, int scalePercent) {
    return value * scalePercent / 100;
}

}  // namespace toolkit
