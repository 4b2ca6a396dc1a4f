#include "app/command_line.h"

#include <cctype>

namespace app {
namespace {

constexpr const char* kVirtualFirmwareOption = "--virtual-firmware=";

// Digits only, at most three, the value no more than 255.
std::optional<int> VersionPart(const std::string& text) {
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 255) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<FirmwareVersionArg> ParseFirmwareVersion(const std::string& text) {
    const size_t dot = text.find('.');
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    const auto major = VersionPart(text.substr(0, dot));
    const auto minor = VersionPart(text.substr(dot + 1));
    if (!major || !minor) {
        return std::nullopt;
    }
    return FirmwareVersionArg{*major, *minor};
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            line.showHelp = true;
        } else if (argument == "--version" || argument == "-V") {
            line.showVersion = true;
        } else if (argument == "--virtual-device") {
            line.virtualDevice = true;
        } else if (argument == "--dump-model-config") {
            line.dumpModelCfg = true;
        } else if (argument == "--restarted") {
            line.restarted = true;
        } else if (argument.rfind(kVirtualFirmwareOption, 0) == 0) {
            const std::string value = argument.substr(std::string(kVirtualFirmwareOption).size());
            const auto version = ParseFirmwareVersion(value);
            if (version) {
                line.virtualFirmware = version;
                line.virtualDevice = true;
            } else if (line.error.empty()) {
                line.error = "invalid firmware version '" + value +
                             "' for --virtual-firmware (expected MAJOR.MINOR, such as 1.20)";
            }
        } else if (line.error.empty()) {
            line.error = "unrecognized option '" + argument + "'";
        }
    }
    return line;
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [OPTION]...\n"
           "Tune a TQ DSP car amplifier over USB.\n"
           "\n"
           "  --virtual-device       add a virtual amplifier to the device list, to try\n"
           "                         the program or prepare a tune without hardware\n"
           "  --virtual-firmware=M.N   the virtual amplifier reports firmware M.N (older than "
           "1.32 to see the update)\n"
           "  --dump-model-config    write the model record to ./modelCfg/0.txt and exit\n"
           "  --restarted            wait up to 10 s for a closing copy of the program\n"
           "                         to end instead of refusing to start\n"
           "  -h, --help             show this help and exit\n"
           "  -V, --version          show the version and exit\n"
           "\n"
           "With \"savelog.ini\" in the current directory the program writes a\n"
           "diagnostic log to \"save.log\" there and to standard output.\n";
}

}  // namespace app
