// Paths of the source and build trees that a test program needs (its data
// folder, a program it starts, where it saves screenshots). They are compiled
// into one small generated file per test program rather than into every test
// file, so that the rest compiles alike in every clone of the project and the
// compiler cache serves it.
#pragma once

#include <string>

namespace testkit {

// The path named `key` in the program's CMake rule (tq_add_test's PATHS, and
// "SCREENSHOT_DIR" for every program); throws std::out_of_range for a key
// that the rule does not give.
std::string BuildPath(const std::string& key);

// A file under the folder where the program saves its screenshots (made on
// first use).
std::string ScreenshotPath(const std::string& fileName);

}  // namespace testkit
