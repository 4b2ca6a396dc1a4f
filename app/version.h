#pragma once

namespace app {

// The program's own version, shown in the about window and the log banner.
inline constexpr const char* kSoftwareVersion = "v6.8.16";

}  // namespace app
