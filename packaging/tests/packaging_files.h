// Reading the files the package installs, and running the checkers a
// distribution runs on them.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace packaging_testing {

// A file of the source tree, such as "packaging/tq-dsp-audio.desktop".
inline std::string SourcePath(const std::string& relative) {
    return std::string(TQ_SOURCE_DIR) + "/" + relative;
}

// A file the build made, such as "packaging/man/tq-dsp.1".
inline std::string BuildPath(const std::string& relative) {
    return std::string(TQ_BINARY_DIR) + "/" + relative;
}

// The whole file; an empty text (and a failure) when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ToolRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs a shell command line and collects what it printed.
inline ToolRun RunTool(const std::string& commandLine) {
    ToolRun run;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        run.output = "cannot start: " + commandLine;
        return run;
    }
    std::array<char, 4096> chunk{};
    size_t count = 0;
    while ((count = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        run.output.append(chunk.data(), count);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Roff writes a minus sign as "\-"; the option names are plain text.
inline std::string WithoutRoffEscapes(std::string text) {
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '-') {
            continue;
        }
        plain += text[i];
    }
    return plain;
}

}  // namespace packaging_testing
