#include <filesystem>

#include "testkit/build_paths.h"

namespace testkit {

std::string ScreenshotPath(const std::string& fileName) {
    const std::filesystem::path folder = BuildPath("SCREENSHOT_DIR");
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return (folder / fileName).string();
}

}  // namespace testkit
