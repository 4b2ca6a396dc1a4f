// The text attributes the chart controls read from their layout nodes:
// colours, fonts, the text style flags and the padding, parsed the same way
// for the EQ chart and the calibration chart.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui::chart {

// Text style bits as the skin's text attributes describe them.
inline constexpr int kStyleCenter = 0x1;
inline constexpr int kStyleRight = 0x2;
inline constexpr int kStyleVCenter = 0x4;
inline constexpr int kStyleBottom = 0x8;
inline constexpr int kStyleWordBreak = 0x10;
inline constexpr int kStyleSingleLine = 0x20;
inline constexpr int kStyleNoPrefix = 0x800;
inline constexpr int kStyleEditControl = 0x2000;
inline constexpr int kStyleEndEllipsis = 0x8000;

// A font of the skin: pixel size at 100 % ("-1" keeps the control's own)
// and "b" for bold.
struct FontSpec {
    int pixelSize = -1;
    bool bold = false;
};

std::string Lower(std::string_view text);
bool IsTrue(std::string_view value);
// A colour written in hexadecimal, with an optional leading "#" or "0x";
// six digits are opaque. False (and out untouched) for anything else.
bool ParseHexColor(std::string_view text, uint32_t& out);
FontSpec ParseFontSpec(std::string_view value);
// "left,top,right,bottom"; false (and out untouched) unless all four are
// there.
bool ParseTextPadding(std::string_view value, std::array<int, 4>& out);
// The style attributes "align", "valign", "endellipsis", "wordbreak" and
// "noprefix" (key in lower case) applied to style; false for any other key.
bool ApplyTextStyle(std::string_view key, std::string_view value, int& style);

}  // namespace ui::chart
