#include "cli/arguments.h"

namespace cli {
namespace {

constexpr const char* kDeviceOption = "--device";
constexpr const char* kVirtualOption = "--virtual-device";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Options a command takes for itself; they stay among its words.
bool IsCommandOption(const std::string& word) {
    return word == "--mcu" || word == "--bootloader" || word == "--flash" ||
           word == "--apply-fitting";
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& argv, Arguments& arguments,
                    std::string& error) {
    bool onlyWords = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& word = argv[i];
        if (onlyWords || word.empty() || word[0] != '-' || word == "-") {
            arguments.words.push_back(word);
        } else if (word == "--") {
            onlyWords = true;
        } else if (word == "--help" || word == "-h") {
            arguments.help = true;
        } else if (word == "--version") {
            arguments.version = true;
        } else if (word == "--json") {
            arguments.json = true;
        } else if (word == "--quiet" || word == "-q") {
            arguments.quiet = true;
        } else if (word == kDeviceOption) {
            if (i + 1 >= argv.size() || argv[i + 1].empty()) {
                error = "--device needs a path or a serial number";
                return false;
            }
            arguments.device = argv[++i];
        } else if (StartsWith(word, std::string(kDeviceOption) + "=")) {
            arguments.device = word.substr(std::string(kDeviceOption).size() + 1);
            if (arguments.device->empty()) {
                error = "--device needs a path or a serial number";
                return false;
            }
        } else if (word == kVirtualOption) {
            arguments.virtualDevice = true;
        } else if (StartsWith(word, std::string(kVirtualOption) + "=")) {
            arguments.virtualDevice = true;
            arguments.virtualStateFile = word.substr(std::string(kVirtualOption).size() + 1);
            if (arguments.virtualStateFile.empty()) {
                error = "--virtual-device= needs a state file name";
                return false;
            }
        } else if (IsCommandOption(word)) {
            arguments.words.push_back(word);
        } else {
            error = "unknown option '" + word + "'";
            return false;
        }
    }
    return true;
}

}  // namespace cli
