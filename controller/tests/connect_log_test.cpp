// With the log on, the connect sequence leaves the lines and frame bytes an
// installer's support call relies on, in order.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "controller_fixture.h"
#include "device/tests/log_capture.h"

namespace {

template <size_t N>
void ExpectInOrder(const std::string& log, const char* const (&lines)[N]) {
    size_t at = 0;
    for (const char* line : lines) {
        size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << line;
        at = found;
    }
}

// The numbered request lines ("SendCtrlCommand 7, DSP_SOURCE_SWITCH") as
// (number, request name), in log order.
std::vector<std::pair<int, std::string>> NumberedRequests(const std::string& log) {
    static const std::regex line("SendCtrlCommand ([0-9]+), ([A-Z0-9_]+)\n");
    std::vector<std::pair<int, std::string>> requests;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator();
         ++it) {
        requests.emplace_back(std::stoi((*it)[1].str()), (*it)[2].str());
    }
    return requests;
}

class ConnectLogTest : public test_support::ControllerTest {
protected:
    test_support::LogCapture mLog;
};

TEST_F(ConnectLogTest, RecordsTheConnectSequence) {
    ASSERT_TRUE(ConnectAndSync());
    const std::string log = mLog.Text();
    // Requests are counted over the whole process, so the first number here
    // depends on the tests before this one; within this connection they count
    // on by one, starting with the source read.
    const auto requests = NumberedRequests(log);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().second, "DSP_SOURCE_SWITCH");
    EXPECT_GE(requests.front().first, 1);
    for (size_t i = 1; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].first, requests[i - 1].first + 1) << "request " << i;
    }
    const std::string sourceRead =
        "SendCtrlCommand " + std::to_string(requests.front().first) + ", DSP_SOURCE_SWITCH\n";
    const char* const inOrder[] = {
        "UpdateDeviceList\n",
        "\tDevice Path: virtual:0\n",
        "SelectFirstDevice\n",
        "\tSelect Device Name: AMP-A\n",
        "open device virtual:0\n",
        "Serial Number String: (65) AMP-A\n",
        "Connect OK！\n",
        "DisableCmdCtrl\n",
        "profile exist = 0\n",
        "Read mcu value thread start!\n",
        "PC_UI_Status_Init\n",
        // PC_Connect(1): the PC takes control.
        "00 aa 55 04 03 1f bb 01 1e ",
        "Hand_Connect\n",
        // The handshake, then its answer: model 94, firmware 1.32.
        "00 aa 55 03 03 08 bb 37 ",
        "read data: aa 55 07 03 08 dd ",
        sourceRead.c_str(),
        "PC_UI_Status_Init done\n",
        "EnableCmdCtrl\n",
    };
    ExpectInOrder(log, inOrder);
    // The user-interface thread applies the handshake's answer once it is
    // posted, while the worker reads on.
    const char* const answerApplied[] = {
        "read data: aa 55 07 03 08 dd ",
        "ReadMcuValueCallback 0x08\n",
        "UI MCU_HANDSHAKE model=94, mainVersion=1, slaveVersion=32, mcu_is_normal_mode=1\n",
        "EnableCmdCtrl\n",
    };
    ExpectInOrder(log, answerApplied);
}

}  // namespace
