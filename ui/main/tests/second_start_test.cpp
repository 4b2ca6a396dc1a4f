// Starting the program while a copy of it runs: the second process must not
// touch the running copy's files. It is started as a real process, since the
// order of its first steps is what counts.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/model_cfg.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "program_process.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SecondStart, LeavesTheRunningCopysLogAlone) {
    platform::SingleInstanceLock running(app::InstanceMutexName());
    ASSERT_TRUE(running.IsFirstInstance());
    std::string folder = (std::filesystem::temp_directory_path() / "tq-second-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::filesystem::path log = std::filesystem::path(folder) / "save.log";
    std::ofstream(std::filesystem::path(folder) / "savelog.ini") << "";
    const std::string earlier = "[10:00:00.000] the running copy's log\n";
    std::ofstream(log, std::ios::binary) << earlier;

    const pid_t child = ui::testing::StartProgramIn(folder, {});
    ASSERT_GE(child, 0);
    // The second copy waits at its message box; watch the log meanwhile.
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 30 && !ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ended = ::waitpid(child, &status, WNOHANG) == child;
        if (ReadFile(log) != earlier) {
            break;
        }
    }
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    EXPECT_EQ(ReadFile(log), earlier);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
