// The copy that a restart starts: it comes up while the old copy still
// holds the single-instance lock, waits for that lock and only then starts.
// It runs as a real process, since waiting for another process is the point.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "app/startup.h"
#include "main_window_fixture.h"
#include "platform/single_instance.h"
#include "program_process.h"

namespace {

using ui::testing::WaitFor;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether the child ended, with its status; waits up to `milliseconds`.
bool Reap(pid_t child, int* status, int milliseconds) {
    bool ended = false;
    WaitFor([&] { return ended || (ended = ::waitpid(child, status, WNOHANG) == child); },
            milliseconds);
    return ended;
}

TEST(RestartedStart, WaitsForTheClosingCopysLockAndThenStarts) {
    auto closing = std::make_unique<platform::SingleInstanceLock>(app::InstanceMutexName());
    ASSERT_TRUE(closing->IsFirstInstance());
    std::string folder = (std::filesystem::temp_directory_path() / "tq-restarted-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::filesystem::path log = std::filesystem::path(folder) / "save.log";
    std::ofstream(std::filesystem::path(folder) / "savelog.ini") << "";

    const pid_t child = ui::testing::StartProgramIn(folder, {"--restarted", "--virtual-device"});
    ASSERT_GE(child, 0);
    // While the lock is held the new copy neither starts nor gives up.
    int status = 0;
    EXPECT_FALSE(Reap(child, &status, 300));
    EXPECT_FALSE(std::filesystem::exists(log));

    closing.reset();
    EXPECT_TRUE(WaitFor([&] { return ReadFile(log).find("VERSION: ") != std::string::npos; }));
    // Its window runs: the virtual amplifier is found and connected.
    EXPECT_TRUE(
        WaitFor([&] { return ReadFile(log).find("open device virtual:0") != std::string::npos; }));
    ::kill(child, SIGTERM);
    const bool ended = Reap(child, &status, 20000);
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(ReadFile(log).find("signal received, closing\n"), std::string::npos);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
