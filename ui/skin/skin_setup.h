// Start-up of the skin: the archive compiled into the program becomes the
// toolkit's resource source and its resource index is loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ui {

// The index file of the skin.
inline constexpr const char* kSkinIndexPath = "xml\\res.xml";
// Where a skin on disk would live, below the program's folder.
inline constexpr const char* kSkinResourceFolder = "skin/Maravo4to10_RB519K_DSP/";

// Hands the toolkit the program's own archive; false when it cannot be
// opened or its index cannot be read (windows then fail as missing layouts).
bool SetUpSkin();
// The same for any archive (tests, other skins). An empty archive skips
// both steps and leaves the toolkit without one.
bool SetUpSkinFrom(const uint8_t* data, size_t size, const std::string& password);

}  // namespace ui
