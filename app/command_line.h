// The program's command line, as Linux users expect it.
#pragma once

#include <string>
#include <vector>

namespace app {

struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
    bool virtualDevice = false;  // offer a virtual amplifier in the device list
    bool dumpModelCfg = false;   // developer's aid: write ./modelCfg/0.txt
    std::string error;           // an unknown option, for the usage message
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText(const std::string& programName);

}  // namespace app
