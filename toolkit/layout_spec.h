// The skin's layout format, read without Qt so that it can be checked and
// fuzzed on its own.
//
// A window layout has the root element "Window" with "size" (w,h); a
// sub-layout or a popup menu has the root "Layout" or "Menu". Every control is
// an element whose tag names its kind (Label, Button, Option, Slider, Edit,
// Combo, List, Container, TabLayout, Progress, Image) or a custom tag handed to
// the window's builder. Common attributes: name, pos (x,y,w,h relative to the
// parent, at 100 % scale), text, tooltip, userdata, visible, enabled,
// textcolor and bkcolor (#AARRGGBB or #RRGGBB), class (a theme class), font
// (pixel size, "b" for bold), align, pump (the sub-pump that hears it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/xml_document.h"

namespace toolkit {

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kMaxLayoutCoordinate = 16384;
inline constexpr int kMaxLayoutControls = 20000;

// "x,y,w,h": four integers within ±kMaxLayoutCoordinate, sizes not negative.
std::optional<LayoutRect> ParseRect(std::string_view text);
// "w,h".
std::optional<LayoutRect> ParseSize(std::string_view text);
// "#AARRGGBB", "#RRGGBB" (opaque) or "0xAARRGGBB".
std::optional<uint32_t> ParseColor(std::string_view text);
// "true"/"1" and "false"/"0"; anything else gives the fallback.
bool ParseBool(const std::string* text, bool fallback);
// A decimal integer with optional sign; the fallback on anything else.
int ParseInt(std::string_view text, int fallback);

// Parses a layout file and checks its shape: the root is Window, Layout or
// Menu; every "pos", "size" and colour that is present is well formed; the
// tree holds at most kMaxLayoutControls elements.
std::optional<XmlElement> ParseLayout(std::string_view text);

// The image name for a display scale: "@<scale>" before the extension,
// the name itself at 100 %.
std::string ImageVariantName(std::string_view name, int scalePercent);

// Monitor rule for the display DPI: f = min(width / defaultWidth,
// height / defaultHeight) of the widest monitor (primary first; a later one
// replaces it only when strictly wider).
int DpiForScreens(const std::vector<LayoutRect>& screens, int defaultWidth, int defaultHeight);
// DPI to scale percent (96 dpi is 100 %).
int ScaleForDpi(int dpi);
// k * scale / 100, truncated.
int Scaled(int value, int scalePercent);

}  // namespace toolkit
