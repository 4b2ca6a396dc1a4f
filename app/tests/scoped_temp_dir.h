// A fresh temporary directory that is also the current directory for the
// life of the object; the old current directory comes back afterwards.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace test_support {

class ScopedTempDir {
public:
    ScopedTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tq-test-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        mPath = made != nullptr ? made : std::filesystem::temp_directory_path().string();
        mPrevious = std::filesystem::current_path();
        std::filesystem::current_path(mPath);
    }
    ~ScopedTempDir() {
        std::error_code ignored;
        std::filesystem::current_path(mPrevious, ignored);
        std::filesystem::remove_all(mPath, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& path() const { return mPath; }

private:
    std::filesystem::path mPath;
    std::filesystem::path mPrevious;
};

}  // namespace test_support
