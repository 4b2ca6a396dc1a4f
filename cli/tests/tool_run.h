// Running tq-dsp as a process in a folder of the test's own, with its
// standard output and error kept, and the virtual amplifier's state file
// made and read back through the virtual device's own serializer.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/scoped_temp_dir.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/state_file.h"

namespace cli::testing {

struct ToolResult {
    int code = -1;
    std::string out;
    std::string err;
};

inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::FillModelCfg();
        // The shared settings file goes to the test's folder, not the user's.
        ::setenv("XDG_CONFIG_HOME", mFolder.path().c_str(), 1);
    }

    std::filesystem::path Path(const std::string& name) const { return mFolder.path() / name; }
    std::string StateOption() const { return "--virtual-device=" + Path("amp.json").string(); }

    // Runs tq-dsp with the virtual amplifier of the state file.
    ToolResult Run(std::vector<std::string> arguments, bool withAmplifier = true) {
        if (withAmplifier) {
            arguments.insert(arguments.begin(), StateOption());
        }
        return RunPlain(arguments);
    }

    ToolResult RunPlain(const std::vector<std::string>& arguments) {
        const std::string out = Path("stdout.txt").string();
        const std::string err = Path("stderr.txt").string();
        const pid_t child = ::fork();
        if (child == 0) {
            const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (outFd < 0 || errFd < 0 || ::chdir(mFolder.path().c_str()) != 0) {
                ::_exit(127);
            }
            ::dup2(outFd, STDOUT_FILENO);
            ::dup2(errFd, STDERR_FILENO);
            std::vector<const char*> argv{TQ_TOOL_PATH};
            for (const std::string& a : arguments) {
                argv.push_back(a.c_str());
            }
            argv.push_back(nullptr);
            ::execv(TQ_TOOL_PATH, const_cast<char* const*>(argv.data()));
            ::_exit(127);
        }
        ToolResult result;
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
            result.code = WEXITSTATUS(status);
        }
        result.out = FileText(out);
        result.err = FileText(err);
        return result;
    }

    // The amplifier as the state file keeps it (a fresh demo amplifier with
    // the file applied).
    virtual_device::DemoAmplifier Amplifier() {
        virtual_device::DemoAmplifier demo = virtual_device::MakeDemoAmplifier();
        virtual_device::ScriptedFaults faults;
        std::string error;
        const std::string text = FileText(Path("amp.json"));
        EXPECT_TRUE(virtual_device::ApplyAmplifierStateText(text, *demo.protocol, faults, error))
            << error;
        return demo;
    }

    // Writes the state file from an amplifier, with an optional fault.
    void SaveAmplifier(const virtual_device::AmplifierProtocol& protocol, int unplugAtReport = 0) {
        std::string text = virtual_device::AmplifierStateText(protocol);
        if (unplugAtReport > 0) {
            const size_t open = text.find('{');
            text.insert(open + 1, "\"unplugAtReport\": " + std::to_string(unplugAtReport) + ",");
        }
        std::ofstream(Path("amp.json"), std::ios::binary) << text;
    }

    // Runs a command that must fail with this code and this line on
    // standard error, and leave the amplifier's state file as it was.
    void ExpectRefused(const std::vector<std::string>& arguments, int code,
                       const std::string& message) {
        const std::string before = FileText(Path("amp.json"));
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.code, code) << result.err;
        EXPECT_EQ(result.err, "tq-dsp: " + message + "\n");
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(FileText(Path("amp.json")), before);
    }

    test_support::ScopedTempDir mFolder;
};

}  // namespace cli::testing
