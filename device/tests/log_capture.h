// Sends the log to a temporary file for the life of the object, so a test can
// check the lines the link writes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/log.h"

namespace test_support {

class LogCapture {
public:
    LogCapture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tq-log-XXXXXX").string();
        int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
        }
        mPath = pattern;
        app::SetLogConsole(false);
        app::OpenLog(mPath);
    }
    ~LogCapture() {
        app::CloseLog();
        app::SetLogConsole(true);
        std::error_code ignored;
        std::filesystem::remove(mPath, ignored);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged so far.
    std::string Text() const {
        app::FlushLog();
        std::ifstream in(mPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Contains(const std::string& piece) const {
        return Text().find(piece) != std::string::npos;
    }

private:
    std::string mPath;
};

}  // namespace test_support
