// Running tq-dsp as a process in a folder of the test's own, with its
// standard output and error kept, and the virtual amplifier's state file
// made and read back through the virtual device's own serializer.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/model_cfg.h"
#include "testkit/build_paths.h"
#include "testkit/temp_dir.h"
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
        // So is the program's lock: a program running on this machine must
        // not change what the tests see.
        ::setenv("XDG_RUNTIME_DIR", mFolder.path().c_str(), 1);
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
        return RunSignalled(arguments, 0, std::chrono::milliseconds(0));
    }

    // Runs tq-dsp with the state file and sends it `signal` (when not 0)
    // once `after` has passed, as a user's Ctrl-C would.
    ToolResult RunInterrupted(std::vector<std::string> arguments, int signal,
                              std::chrono::milliseconds after) {
        arguments.insert(arguments.begin(), StateOption());
        return RunSignalled(arguments, signal, after);
    }

    ToolResult RunSignalled(const std::vector<std::string>& arguments, int signal,
                            std::chrono::milliseconds after) {
        const std::string out = Path("stdout.txt").string();
        const std::string err = Path("stderr.txt").string();
        const pid_t child = ::fork();
        if (child == 0) {
            ExecTool(arguments, out, err, O_WRONLY | O_CREAT | O_TRUNC);
        }
        if (child > 0 && signal != 0) {
            std::this_thread::sleep_for(after);
            ::kill(child, signal);
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

    // Runs tq-dsp with its standard error on a terminal of its own (a
    // pseudo-terminal) and returns what it wrote there; standard output goes
    // to the usual file.
    ToolResult RunOnTerminal(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), StateOption());
        ToolResult result;
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return result;
        }
        const std::string terminal = ::ptsname(master);
        const std::string out = Path("stdout.txt").string();
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(master);
            ExecTool(arguments, out, terminal, O_RDWR | O_NOCTTY);
        }
        // Read while it runs: a terminal holds only a few kilobytes. The read
        // ends with an error once the child closed the terminal's last end.
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            result.err.append(buffer, static_cast<size_t>(got));
        }
        ::close(master);
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
            result.code = WEXITSTATUS(status);
        }
        result.out = FileText(out);
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

    // In the child: standard output to the file `out`, standard error to
    // `err` opened with `errFlags`, the test's folder as the working one.
    [[noreturn]] void ExecTool(const std::vector<std::string>& arguments, const std::string& out,
                               const std::string& err, int errFlags) {
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = ::open(err.c_str(), errFlags, 0644);
        if (outFd < 0 || errFd < 0 || ::chdir(mFolder.path().c_str()) != 0) {
            ::_exit(127);
        }
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        std::vector<const char*> argv{mTool.c_str()};
        for (const std::string& a : arguments) {
            argv.push_back(a.c_str());
        }
        argv.push_back(nullptr);
        ::execv(mTool.c_str(), const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }

    testkit::TempWorkingDir mFolder;
    const std::string mTool = testkit::BuildPath("TOOL");
};

}  // namespace cli::testing
