// The command queue and its thread: deferred setters reach the amplifier in
// order, the queue reports idle only when the last reply is in, a disabled
// queue drops, and stopping the link releases what is left unsent.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "device/mcu_subcommands.h"
#include "link_fixture.h"

namespace {

using namespace std::chrono_literals;
using test_support::LinkFixture;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds within = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class CommandQueueTest : public LinkFixture {};

TEST_F(CommandQueueTest, DisabledQueueDropsDeferredCommandsSilently) {
    ASSERT_FALSE(mLink.IsCmdCtrlEnabled());
    const uint64_t before = mAmplifier->ReceivedCount();
    EXPECT_FALSE(mLink.Mute_Ctrl(1, false));
    EXPECT_FALSE(mLink.Set_Acc(3, false));
    EXPECT_TRUE(mLink.IsCmdQueueIdle());
    // An immediate command still goes out: the queue does not gate it.
    EXPECT_TRUE(mLink.Mute_Ctrl(1, true));
    EXPECT_EQ(mAmplifier->ReceivedCount(), before + 1);
    EXPECT_EQ(mProtocol->Mcu().accDelay, 0);
}

TEST_F(CommandQueueTest, QueuedSettersArriveInOrderAndIdleFollowsTheLastReply) {
    mLink.EnableCmdCtrl();
    mAmplifier->DelayAnswers(30ms);
    ASSERT_TRUE(mLink.Set_Acc(1, false));
    ASSERT_TRUE(mLink.Set_Usb_Power_Pin(1, false));
    ASSERT_TRUE(mLink.Set_Power_Off_Time(2500, false));
    EXPECT_FALSE(mLink.IsCmdQueueIdle());
    ASSERT_TRUE(WaitUntil([&] { return mLink.IsCmdQueueIdle(); }));
    // Idle means every reply has been read: none is left waiting.
    EXPECT_EQ(mAmplifier->PendingInputReports(), 0u);
    auto reports = mAmplifier->ReceivedReports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0][5], device::MCU_ACC);
    EXPECT_EQ(reports[1][5], device::MCU_USB_POWER_PIN);
    EXPECT_EQ(reports[2][5], device::MCU_POWER_OFF_DELAY);
    EXPECT_EQ(mProtocol->Mcu().powerOffDelayMs, 2500);
}

TEST_F(CommandQueueTest, QueueIsNotIdleWhileTheReplyIsAwaited) {
    mLink.EnableCmdCtrl();
    mAmplifier->DropAnswers(1);
    ASSERT_TRUE(mLink.Set_Acc(4, false));
    ASSERT_TRUE(WaitUntil([&] { return mAmplifier->ReceivedCount() == 1; }));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(mLink.IsCmdQueueIdle());
}

TEST(CommandQueueShutdown, LeftoverItemsAreReleasedUnsent) {
    test_support::LogCapture log;
    auto backend = std::make_shared<virtual_device::VirtualHidBackend>();
    auto amplifier = std::make_shared<virtual_device::VirtualAmplifier>(L"AMP-STOP");
    virtual_device::AmplifierProtocol::InstallOn(amplifier);
    backend->Add(amplifier);
    auto link = std::make_unique<device::DeviceLink>(backend);
    link->OpenHIDDevice("");
    link->EnableCmdCtrl();
    amplifier->DropAnswers(1);  // the first command waits for its reply
    for (uint8_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(link->Set_Acc(i, false));
    }
    ASSERT_TRUE(WaitUntil([&] { return amplifier->ReceivedCount() == 1; }));
    link.reset();
    EXPECT_EQ(amplifier->ReceivedCount(), 1u);
    EXPECT_TRUE(log.Contains("McuCmdThread end\n"));
    EXPECT_TRUE(log.Contains("get mcmd 0x03 subcmd 0x92 optype 0xbb len 0x01 cmd_data: 0x04\n"));
}

TEST_F(CommandQueueTest, ProducersOnSeveralThreadsAreSerialised) {
    mLink.EnableCmdCtrl();
    constexpr int kThreads = 4;
    constexpr int kEach = 40;
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i) {
                mLink.Set_MemData(static_cast<uint32_t>(t << 16 | i), static_cast<uint32_t>(i),
                                  false);
            }
        });
    }
    for (auto& producer : producers) {
        producer.join();
    }
    ASSERT_TRUE(WaitUntil([&] { return mLink.IsCmdQueueIdle(); }));
    auto reports = mAmplifier->ReceivedReports();
    ASSERT_EQ(reports.size(), static_cast<size_t>(kThreads * kEach));
    std::vector<int> next(kThreads, 0);
    for (const auto& report : reports) {
        const int thread = report[9];  // address byte 2 (little-endian)
        const int index = report[7];
        ASSERT_LT(thread, kThreads);
        EXPECT_EQ(index, next[thread]) << "one producer's commands keep their order";
        next[thread] = index + 1;
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(mProtocol->Memory(static_cast<uint32_t>(t << 16 | (kEach - 1))),
                  static_cast<uint32_t>(kEach - 1));
    }
}

TEST_F(CommandQueueTest, WriteFailureLosesOnlyThatCommand) {
    mLink.EnableCmdCtrl();
    mLink.CloseHIDDevice(false);
    ASSERT_TRUE(mLink.Set_Acc(9, false));
    ASSERT_TRUE(WaitUntil([&] { return mLink.IsCmdQueueIdle(); }));
    mLink.OpenHIDDevice("");
    ASSERT_TRUE(mLink.Set_Acc(6, false));
    ASSERT_TRUE(WaitUntil([&] { return mProtocol->Mcu().accDelay == 6; }));
}

}  // namespace
