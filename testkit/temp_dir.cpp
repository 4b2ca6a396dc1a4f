#include "testkit/temp_dir.h"

#include <stdlib.h>

#include <stdexcept>

namespace testkit {

TempDir::TempDir(Enter enter) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tq-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    }
    mPath = pattern;
    if (enter == Enter::kYes) {
        mPrevious = std::filesystem::current_path();
        std::filesystem::current_path(mPath);
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!mPrevious.empty()) {
        std::filesystem::current_path(mPrevious, ignored);
    }
    std::filesystem::remove_all(mPath, ignored);
}

}  // namespace testkit
