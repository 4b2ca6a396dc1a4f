// The table of commands: the first word names the command, the rest are its
// own.
#include <array>
#include <string_view>

#include "cli/commands.h"
#include "cli/exit_codes.h"

namespace cli {
namespace {

struct CommandEntry {
    std::string_view name;
    int (*run)(const Arguments&, const Words&);
};

constexpr std::array<CommandEntry, 8> kCommands{{
    {"list", ListCommand},
    {"info", InfoCommand},
    {"dump", DumpCommand},
    {"backup", BackupCommand},
    {"restore", RestoreCommand},
    {"scene", SceneCommand},
    {"eq", EqCommand},
    {"firmware", FirmwareCommand},
}};

}  // namespace

int RunCommand(const Arguments& arguments) {
    if (arguments.words.empty()) {
        return Report({kExitBadArguments, "no command given; see 'tq-dsp --help'"});
    }
    const std::string& name = arguments.words.front();
    const Words rest(arguments.words.begin() + 1, arguments.words.end());
    for (const CommandEntry& entry : kCommands) {
        if (entry.name == name) {
            return entry.run(arguments, rest);
        }
    }
    return Report({kExitBadArguments, "unknown command '" + name + "'; see 'tq-dsp --help'"});
}

}  // namespace cli
