// The settings file goes to a folder of its own, removed at the end.
#pragma once

#include <filesystem>

namespace soak {

class ScratchConfig {
public:
    ScratchConfig();
    ~ScratchConfig();
    ScratchConfig(const ScratchConfig&) = delete;
    ScratchConfig& operator=(const ScratchConfig&) = delete;

private:
    std::filesystem::path mDir;
};

}  // namespace soak
