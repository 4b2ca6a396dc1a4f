// What happens when a window's layout cannot be loaded: an error box naming
// the layout, then the end of the program with exit code 1.
#pragma once

#include <functional>
#include <string>

namespace toolkit {

// Shows the error box and ends the process with code 1; does not return.
[[noreturn]] void FailMissingLayout(const std::string& layoutId);

}  // namespace toolkit
