// The command line of tq-dsp: options anywhere, then a command and its
// operands. Parsing never touches a device.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Arguments {
    // The command's words as given ("scene", "save", "3", "Club"); empty
    // with --help or --version.
    std::vector<std::string> words;
    std::optional<std::string> device;  // --device PATH|SERIAL
    bool virtualDevice = false;
    std::string virtualStateFile;  // --virtual-device=STATE-FILE
    bool json = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Fills `arguments`; on an unknown option or a missing value returns false
// with the reason in `error`.
bool ParseArguments(const std::vector<std::string>& argv, Arguments& arguments, std::string& error);

}  // namespace cli
