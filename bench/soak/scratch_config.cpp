#include "bench/soak/scratch_config.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace soak {

ScratchConfig::ScratchConfig() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tq-soak-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        mDir = pattern;
        ::setenv("XDG_CONFIG_HOME", mDir.c_str(), 1);
    }
}

ScratchConfig::~ScratchConfig() {
    std::error_code ignored;
    if (!mDir.empty()) {
        std::filesystem::remove_all(mDir, ignored);
    }
}

}  // namespace soak
