// tq-dsp: the amplifier from a terminal, on the same device link, jobs and
// profile files as the program, without its windows.
#include <cstdio>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/startup.h"
#include "app/version.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/interrupts.h"
#include "cli/usage.h"

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    cli::Arguments arguments;
    std::string error;
    if (!cli::ParseArguments(words, arguments, error)) {
        return cli::Report({cli::kExitBadArguments, error + "; see 'tq-dsp --help'"});
    }
    if (arguments.help) {
        std::fputs(cli::UsageText().c_str(), stdout);
        return cli::kExitDone;
    }
    if (arguments.version) {
        std::printf("tq-dsp %s\n", app::kSoftwareVersion);
        return cli::kExitDone;
    }
    app::FillModelCfg();
    app::StartLogIfRequested();
    cli::CatchInterrupts();
    const int code = cli::RunCommand(arguments);
    app::CloseLog();
    return code;
}
