#include "ui/controls/chart_attributes.h"

#include <cctype>
#include <cstdio>

namespace ui::chart {
namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

bool IsTrue(std::string_view value) {
    return Lower(value) == "true";
}

bool ParseHexColor(std::string_view text, uint32_t& out) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8) {
        return false;
    }
    uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    if (text.size() <= 6) {
        value |= 0xFF000000u;
    }
    out = value;
    return true;
}

FontSpec ParseFontSpec(std::string_view value) {
    FontSpec spec;
    std::string digits;
    for (char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        digits += c;
    }
    if (!digits.empty() && digits.size() < 4) {
        spec.pixelSize = std::stoi(digits);
    }
    spec.bold = value.find('b') != std::string_view::npos;
    return spec;
}

bool ParseTextPadding(std::string_view value, std::array<int, 4>& out) {
    std::array<int, 4> padding{};
    const int n = std::sscanf(std::string(value).c_str(), "%d,%d,%d,%d", &padding[0], &padding[1],
                              &padding[2], &padding[3]);
    if (n != 4) {
        return false;
    }
    out = padding;
    return true;
}

bool ApplyTextStyle(std::string_view key, std::string_view value, int& style) {
    const std::string text = Lower(value);
    if (key == "align") {
        if (Contains(text, "left")) {
            style &= ~(kStyleCenter | kStyleRight);
        }
        if (Contains(text, "center")) {
            style = (style & ~kStyleRight) | kStyleCenter;
        }
        if (Contains(text, "right")) {
            style = (style & ~kStyleCenter) | kStyleRight;
        }
    } else if (key == "valign") {
        if (Contains(text, "top")) {
            style = (style & ~(kStyleVCenter | kStyleBottom)) | kStyleSingleLine;
        }
        if (Contains(text, "vcenter")) {
            style = (style & ~kStyleBottom) | kStyleVCenter | kStyleSingleLine;
        }
        if (Contains(text, "bottom")) {
            style = (style & ~kStyleVCenter) | kStyleBottom | kStyleSingleLine;
        }
    } else if (key == "endellipsis") {
        style = IsTrue(value) ? (style | kStyleEndEllipsis) : (style & ~kStyleEndEllipsis);
    } else if (key == "wordbreak") {
        if (IsTrue(value)) {
            style = (style | kStyleWordBreak | kStyleEditControl) & ~kStyleSingleLine;
        } else {
            style = (style & ~(kStyleWordBreak | kStyleEditControl)) | kStyleSingleLine;
        }
    } else if (key == "noprefix") {
        style = IsTrue(value) ? (style | kStyleNoPrefix) : (style & ~kStyleNoPrefix);
    } else {
        return false;
    }
    return true;
}

}  // namespace ui::chart
