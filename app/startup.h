// The first steps of the start-up sequence, before any window exists.
#pragma once

#include <string>

namespace app {

// The name of the lock that keeps a second copy of the program from
// starting: "MARAVO4TO8_" and the model name.
std::string InstanceMutexName();

// Opens the log ("save.log" in the current directory) and writes the banner
// when "savelog.ini" exists there; otherwise the log stays off. Returns
// whether the log is on.
bool StartLogIfRequested();

}  // namespace app
