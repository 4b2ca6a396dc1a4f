// The program's entry point: the command line, the log switch, the model
// record, then the user interface until the main window closes.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/log.h"
#include "app/model_cfg.h"
#include "app/startup.h"
#include "app/version.h"
#include "platform/single_instance.h"
#include "ui/main/program.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    app::CommandLine line = app::ParseCommandLine(arguments);
    const std::string programName = "tq-dsp-audio";
    if (!line.error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", programName.c_str(),
                     line.error.c_str(), programName.c_str());
        return 2;
    }
    if (line.showHelp) {
        std::fputs(app::UsageText(programName).c_str(), stdout);
        return 0;
    }
    if (line.showVersion) {
        std::printf("TQ DSP Audio %s\n", app::kSoftwareVersion);
        return 0;
    }

    app::FillModelCfg();
    // The instance check comes before anything that touches the files a
    // running copy writes: opening the log truncates "save.log".
    platform::SingleInstanceLock instance(app::InstanceMutexName());
    if (!instance.IsFirstInstance() && line.restarted) {
        // The copy that started this one closes now; its lock goes with it.
        instance.TakeWithin(std::chrono::seconds(10), std::chrono::milliseconds(100));
    }
    if (instance.IsFirstInstance()) {
        app::StartLogIfRequested();
    }
    if (line.dumpModelCfg) {
        app::WriteModelCfgText(app::kCurrentModelIndex);
        return 0;
    }
    ui::ProgramOptions options;
    options.virtualDevice = line.virtualDevice;
    if (line.virtualFirmware) {
        options.virtualFirmwareMajor = line.virtualFirmware->major;
        options.virtualFirmwareMinor = line.virtualFirmware->minor;
    }
    options.firstInstance = instance.IsFirstInstance();
    // A restart after a display change starts the program as it was started.
    options.arguments = arguments;
    // Qt sees only the program's name: the options above are ours.
    int qtArgc = 1;
    return ui::RunProgram(qtArgc, argv, options);
}
