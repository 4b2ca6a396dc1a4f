// The program's command line, as Linux users expect it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// A firmware version as MAJOR.MINOR, each 0..255.
struct FirmwareVersionArg {
    int major = 0;
    int minor = 0;
};

struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
    bool virtualDevice = false;  // offer a virtual amplifier in the device list
    bool dumpModelCfg = false;   // developer's aid: write ./modelCfg/0.txt
    // Started by a copy of the program that is closing (the display
    // changed): wait for its single-instance lock instead of giving up.
    bool restarted = false;
    // The firmware the virtual amplifier reports (implies virtualDevice).
    std::optional<FirmwareVersionArg> virtualFirmware;
    std::string error;  // an unknown option, for the usage message
};

// "1.20" → {1, 20}; nothing for text that is not two numbers 0..255 with
// a dot between.
std::optional<FirmwareVersionArg> ParseFirmwareVersion(const std::string& text);

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText(const std::string& programName);

}  // namespace app
