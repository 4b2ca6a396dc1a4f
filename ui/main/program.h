// Runs the program: the Qt application, the skin, the main window and the
// event loop, and back. Qt-free so that the entry point stays so.
#pragma once

namespace ui {

struct ProgramOptions {
    bool virtualDevice = false;  // offer a virtual amplifier in the device list
};

// Returns the process exit code.
int RunProgram(int argc, char** argv, const ProgramOptions& options);

}  // namespace ui
