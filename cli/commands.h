// The commands of tq-dsp. Each takes the command's words after its name
// (operands and the command's own options) and returns the exit code; a
// failure has been told on standard error.
#pragma once

#include <string>
#include <vector>

#include "cli/arguments.h"

namespace cli {

using Words = std::vector<std::string>;

int ListCommand(const Arguments& arguments, const Words& words);
int InfoCommand(const Arguments& arguments, const Words& words);
int DumpCommand(const Arguments& arguments, const Words& words);
int BackupCommand(const Arguments& arguments, const Words& words);
int RestoreCommand(const Arguments& arguments, const Words& words);
int SceneCommand(const Arguments& arguments, const Words& words);
int EqCommand(const Arguments& arguments, const Words& words);
int FirmwareCommand(const Arguments& arguments, const Words& words);

// Runs the command the words name; 2 for an unknown one.
int RunCommand(const Arguments& arguments);

}  // namespace cli
