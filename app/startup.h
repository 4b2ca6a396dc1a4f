// The first steps of the start-up sequence, before any window exists.
#pragma once

namespace app {

// Opens the log ("save.log" in the current directory) and writes the banner
// when "savelog.ini" exists there; otherwise the log stays off. Returns
// whether the log is on.
bool StartLogIfRequested();

}  // namespace app
