// How tq-dsp ends: the exit codes scripts test, and the one line on
// standard error that says what to do.
#pragma once

#include <string>

namespace cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitDeviceError = 1,  // no answer, pulled cable, refused
    kExitBadArguments = 2,
    kExitNoDevice = 3,  // none attached, or the one named not found
    kExitBadFile = 4,   // unreadable, corrupt, wrong kind, wrong firmware image
};

// A failure: its exit code and the line told to the user.
struct Failure {
    int code = kExitDone;
    std::string message;
};

// Prints "tq-dsp: <message>" on standard error and returns the code.
int Report(const Failure& failure);

}  // namespace cli
