// The log names every request by its own name, so a frame read back from the
// log tells which request it answered.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link_fixture.h"

namespace {

using device::ChannelRange;
using device::DeviceLink;

class RequestLog : public test_support::LinkFixture {};

TEST_F(RequestLog, EveryRangeRequestLogsItsOwnName) {
    const ChannelRange range{0, 0, 2, 5};
    const std::vector<std::pair<std::string, std::function<bool(DeviceLink&)>>> requests = {
        {"Get_Filter", [&](DeviceLink& l) { return l.Get_Filter(range); }},
        {"Get_CH_Type", [&](DeviceLink& l) { return l.Get_CH_Type(range); }},
        {"Get_Ch_Solo", [&](DeviceLink& l) { return l.Get_Ch_Solo(range); }},
        {"Get_PEQ_Bypass", [&](DeviceLink& l) { return l.Get_PEQ_Bypass(range); }},
        {"Get_Trim", [&](DeviceLink& l) { return l.Get_Trim(range); }},
        {"Get_Mute_Ch", [&](DeviceLink& l) { return l.Get_Mute_Ch(range); }},
        {"Get_Phase", [&](DeviceLink& l) { return l.Get_Phase(range); }},
        {"Get_Mix_Ch", [&](DeviceLink& l) { return l.Get_Mix_Ch(range); }},
    };
    for (const auto& [name, request] : requests) {
        const size_t before = mLog.Text().size();
        request(mLink);
        const std::string written = mLog.Text().substr(before);
        EXPECT_NE(written.find(name + ": scene(0), source(0), channel(2~5)\n"), std::string::npos)
            << name << " logged:\n"
            << written;
        // No other request's name stands in its line.
        for (const auto& [other, unused] : requests) {
            if (other != name) {
                EXPECT_EQ(written.find(other + ":"), std::string::npos) << name << " / " << other;
            }
        }
    }
}

TEST_F(RequestLog, ClosingTellsTheDeviceThroughPcConnect) {
    ASSERT_TRUE(mLink.IsConnected());
    const size_t before = mLog.Text().size();
    mLink.CloseHIDDevice(true);
    const std::string written = mLog.Text().substr(before);
    const size_t line = written.find("PC_Connect = 0\n");
    ASSERT_NE(line, std::string::npos) << written;
    EXPECT_LT(line, written.find("call hid_close"));
    // And the frame went out: length 4, CMD_MCU, PC_CONNECT, OP_SET, 0.
    const std::vector<uint8_t> report = LastReport();
    ASSERT_GE(report.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(report.begin() + 3, report.begin() + 8),
              (std::vector<uint8_t>{4, 3, 0x1F, 0xBB, 0}));
}

}  // namespace
