// Runs the program: the Qt application, the skin, the main window and the
// event loop, and back. Qt-free so that the entry point stays so.
#pragma once

#include <string>
#include <vector>

namespace ui {

struct ProgramOptions {
    bool virtualDevice = false;  // offer a virtual amplifier in the device list
    // The firmware the virtual amplifier reports; -1: its own (the program's).
    int virtualFirmwareMajor = -1;
    int virtualFirmwareMinor = -1;
    // False when another copy of the program runs: this one only says so.
    bool firstInstance = true;
    // The options the program was started with, given again when it
    // restarts itself.
    std::vector<std::string> arguments;
};

// Returns the process exit code.
int RunProgram(int argc, char** argv, const ProgramOptions& options);

// What a second copy of the program does: the message "${mutex_tips}" and
// nothing else, no main window and no device. Needs the Qt application.
void TellSecondInstance();

}  // namespace ui
