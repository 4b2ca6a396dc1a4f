#include "app/command_line.h"

namespace app {

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
           "  --dump-model-config    write the model record to ./modelCfg/0.txt and exit\n"
           "  -h, --help             show this help and exit\n"
           "  -V, --version          show the version and exit\n"
           "\n"
           "With \"savelog.ini\" in the current directory the program writes a\n"
           "diagnostic log to \"save.log\" there and to standard output.\n";
}

}  // namespace app
