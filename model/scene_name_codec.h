// Scene names travel as 16 bytes in the system code page of the program's
// home market (GBK); the user interface shows them as text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace model {

// The text of the name bytes up to the first zero byte. Bytes that are not
// GBK become U+FFFD, so a garbled name still shows and never spills.
std::u16string SceneNameFromBytes(const std::string& bytes);

// The name as the amplifier keeps it: GBK bytes padded with zero bytes to
// 16. A character GBK lacks becomes '?'; a character that would not fit
// whole is left out with everything after it.
std::array<uint8_t, 16> SceneNameToBytes(const std::u16string& name);

}  // namespace model
