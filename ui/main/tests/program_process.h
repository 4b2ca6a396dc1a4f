// Starting the program itself as a process for the tests whose subject is
// the order of its first steps: in a folder of its own (where "savelog.ini"
// makes it write "save.log"), on the offscreen platform.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include "testkit/build_paths.h"

namespace ui::testing {

// The child's process id, or -1 when it could not be forked.
inline pid_t StartProgramIn(const std::string& folder, std::vector<const char*> arguments) {
    // Everything the child needs is made before the fork: a child of a
    // threaded parent must not allocate.
    const std::string program = testkit::BuildPath("PROGRAM");
    arguments.insert(arguments.begin(), program.c_str());
    arguments.push_back(nullptr);
    const pid_t child = ::fork();
    if (child != 0) {
        return child;
    }
    if (::chdir(folder.c_str()) != 0) {
        ::_exit(127);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execv(program.c_str(), const_cast<char* const*>(arguments.data()));
    ::_exit(127);
}

}  // namespace ui::testing
