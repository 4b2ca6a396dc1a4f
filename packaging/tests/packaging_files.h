#include "testkit/build_paths.h"
// Reading the files the package installs, and running the checkers a
#include "testkit/build_paths.h"
// distribution runs on them.
#include "testkit/build_paths.h"
#pragma once
#include "testkit/build_paths.h"

#include <gtest/gtest.h>
#include "testkit/build_paths.h"

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
namespace packaging_testing {
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
// A file of the source tree, such as "packaging/tq-dsp-audio.desktop".
#include "testkit/build_paths.h"
inline std::string SourcePath(const std::string& relative) {
#include "testkit/build_paths.h"
    return testkit::BuildPath("SOURCE_DIR") + "/" + relative;
#include "testkit/build_paths.h"
}
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
// A file the build made, such as "packaging/man/tq-dsp.1".
#include "testkit/build_paths.h"
inline std::string BuildPath(const std::string& relative) {
#include "testkit/build_paths.h"
    return testkit::BuildPath("BINARY_DIR") + "/" + relative;
#include "testkit/build_paths.h"
}
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
// The whole file; an empty text (and a failure) when it cannot be read.
#include "testkit/build_paths.h"
inline std::string ReadFile(const std::string& path) {
#include "testkit/build_paths.h"
    std::ifstream in(path, std::ios::binary);
#include "testkit/build_paths.h"
    EXPECT_TRUE(in.good()) << "cannot read " << path;
#include "testkit/build_paths.h"
    std::ostringstream text;
#include "testkit/build_paths.h"
    text << in.rdbuf();
#include "testkit/build_paths.h"
    return text.str();
#include "testkit/build_paths.h"
}
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
struct ToolRun {
#include "testkit/build_paths.h"
    int exitCode = -1;
#include "testkit/build_paths.h"
    std::string output;  // standard output and standard error together
#include "testkit/build_paths.h"
};
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
// Runs a shell command line and collects what it printed.
#include "testkit/build_paths.h"
inline ToolRun RunTool(const std::string& commandLine) {
#include "testkit/build_paths.h"
    ToolRun run;
#include "testkit/build_paths.h"
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
#include "testkit/build_paths.h"
    if (pipe == nullptr) {
#include "testkit/build_paths.h"
        run.output = "cannot start: " + commandLine;
#include "testkit/build_paths.h"
        return run;
#include "testkit/build_paths.h"
    }
#include "testkit/build_paths.h"
    std::array<char, 4096> chunk{};
#include "testkit/build_paths.h"
    size_t count = 0;
#include "testkit/build_paths.h"
    while ((count = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
#include "testkit/build_paths.h"
        run.output.append(chunk.data(), count);
#include "testkit/build_paths.h"
    }
#include "testkit/build_paths.h"
    const int status = pclose(pipe);
#include "testkit/build_paths.h"
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#include "testkit/build_paths.h"
    return run;
#include "testkit/build_paths.h"
}
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
// Roff writes a minus sign as "\-"; the option names are plain text.
#include "testkit/build_paths.h"
inline std::string WithoutRoffEscapes(std::string text) {
#include "testkit/build_paths.h"
    std::string plain;
#include "testkit/build_paths.h"
    plain.reserve(text.size());
#include "testkit/build_paths.h"
    for (size_t i = 0; i < text.size(); ++i) {
#include "testkit/build_paths.h"
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '-') {
#include "testkit/build_paths.h"
            continue;
#include "testkit/build_paths.h"
        }
#include "testkit/build_paths.h"
        plain += text[i];
#include "testkit/build_paths.h"
    }
#include "testkit/build_paths.h"
    return plain;
#include "testkit/build_paths.h"
}
#include "testkit/build_paths.h"

#include "testkit/build_paths.h"
}  // namespace packaging_testing
