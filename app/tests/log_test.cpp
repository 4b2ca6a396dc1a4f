// The log: off without the marker file, the banner with it, one writer at a
// time, truncation of long messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/log.h"
#include "app/startup.h"
#include "testkit/temp_dir.h"

namespace {

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

const std::regex kStamped(R"(^\[\d\d:\d\d:\d\d\.\d\d\d\] (.*)$)");

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { app::SetLogConsole(false); }
    void TearDown() override {
        app::CloseLog();
        app::SetLogConsole(true);
        app::SetLogTimeStamp(true);
    }
    testkit::TempWorkingDir mDir;
};

TEST_F(LogTest, WithoutMarkerFileNoLogFileAppears) {
    EXPECT_FALSE(app::StartLogIfRequested());
    app::Log("something %d\n", 1);
    EXPECT_FALSE(app::IsLogOpen());
    EXPECT_FALSE(std::filesystem::exists("save.log"));
}

TEST_F(LogTest, WithMarkerFileTheLogOpensWithTheTimeStampedBanner) {
    std::ofstream("savelog.ini") << "";
    ASSERT_TRUE(app::StartLogIfRequested());
    app::Log("after the banner\n");
    app::CloseLog();

    std::vector<std::string> lines = ReadLines("save.log");
    ASSERT_EQ(lines.size(), 6u);
    const char* expected[] = {"MODEL_NAME: VTA3300.4-KM", "FW_MODEL_ID: 94", "SW_MODEL_ID: 143",
                              "VERSION: v6.8.16",         "INNER_FW: 1, 32", "after the banner"};
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[i], match, kStamped)) << lines[i];
        EXPECT_EQ(match[1].str(), expected[i]);
    }
}

TEST_F(LogTest, ReopeningReplacesAnEarlierFile) {
    std::ofstream("save.log") << "old contents\n";
    ASSERT_TRUE(app::OpenLog("save.log"));
    app::Log("new\n");
    app::CloseLog();
    std::vector<std::string> lines = ReadLines("save.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("new"), std::string::npos);
}

TEST_F(LogTest, TwoThreadsNeverInterleaveWithinALine) {
    ASSERT_TRUE(app::OpenLog("save.log"));
    const int kLinesPerThread = 2000;
    auto writer = [](char letter) {
        std::string body(60, letter);
        for (int i = 0; i < kLinesPerThread; ++i) {
            app::Log("%s %d\n", body.c_str(), i);
        }
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();
    app::CloseLog();

    std::vector<std::string> lines = ReadLines("save.log");
    ASSERT_EQ(lines.size(), 2u * kLinesPerThread);
    const std::regex whole(R"(^\[\d\d:\d\d:\d\d\.\d\d\d\] (a{60}|b{60}) \d+$)");
    for (const std::string& line : lines) {
        ASSERT_TRUE(std::regex_match(line, whole)) << line;
    }
}

TEST_F(LogTest, LongMessagesAreTruncatedNotOverflowed) {
    ASSERT_TRUE(app::OpenLog("save.log"));
    app::SetLogTimeStamp(false);
    std::string narrow(5000, 'n');
    app::Log("%s\n", narrow.c_str());
    std::wstring wide(5000, L'w');
    app::LogW(L"%ls\n", wide.c_str());
    app::Log("end\n");
    app::CloseLog();

    std::ifstream in("save.log", std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    EXPECT_EQ(text, std::string(1023, 'n') + std::string(1535, 'w') + "end\n");
}

TEST_F(LogTest, WideMessagesAreWrittenAsUtf8) {
    ASSERT_TRUE(app::OpenLog("save.log"));
    app::SetLogTimeStamp(false);
    app::LogW(L"Serial %ls %d\n", L"\u4e2d\u6587", 7);
    app::CloseLog();
    std::vector<std::string> lines = ReadLines("save.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Serial \xE4\xB8\xAD\xE6\x96\x87 7");
}

TEST_F(LogTest, MessagesAreCountedEvenWhileTheLogIsOff) {
    size_t before = app::LogMessageCount();
    app::Log("not written\n");
    EXPECT_EQ(app::LogMessageCount(), before + 1);
}

}  // namespace
