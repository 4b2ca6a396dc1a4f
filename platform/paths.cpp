#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

std::string AppConfigFolder() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        base = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    std::filesystem::path folder = base / kProgramFolderName;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
        return {};
    }
    return folder.string();
}

std::string CurrentDirectory() {
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string(".") : current.string();
}

bool FileExistsInCurrentDirectory(const std::string& name) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(".") / name, error);
}

std::string TempFolder() {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
        return tmp;
    }
    return "/tmp";
}

std::string NormalizeSeparators(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

}  // namespace platform
