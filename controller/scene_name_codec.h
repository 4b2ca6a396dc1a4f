// Scene names travel as 16 bytes in the system code page of the program's
// home market (GBK); the user interface shows them as text.
#pragma once

#include <string>

namespace controller {

// The text of the name bytes up to the first zero byte. Bytes that are not
// GBK become U+FFFD, so a garbled name still shows and never spills.
std::u16string SceneNameFromBytes(const std::string& bytes);

}  // namespace controller
