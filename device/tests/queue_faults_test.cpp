// The command queue when the device goes away: nothing waits for a reply that
// cannot come, and nothing queued for one device reaches the next.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/dsp_subcommands.h"
#include "link_fixture.h"
#include "testkit/wait.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class QueueFaultTest : public test_support::LinkFixture {
protected:
    bool WaitIdle(std::chrono::milliseconds limit) { return mLink.WaitCmdQueueIdle(limit); }
};

TEST_F(QueueFaultTest, APulledDeviceDoesNotHoldTheQueueForTheReplyTimeOut) {
    mLink.EnableCmdCtrl();
    mAmplifier->Unplug();
    const float trims[] = {-3.0f};
    for (int i = 0; i < 5; ++i) {
        mLink.Trim_Ctrl({0, 0, 1, 1}, trims, false);
    }
    // Five commands with a 10 s reply time-out each would take 50 s.
    EXPECT_TRUE(WaitIdle(2000ms));
}

TEST_F(QueueFaultTest, ClosingDropsWhatIsStillQueuedForThatDevice) {
    mLink.EnableCmdCtrl();
    mAmplifier->SetStalled(true);  // the first command sticks in the write
    const float trims[] = {-6.0f};
    for (int c = 0; c < 4; ++c) {
        mLink.Trim_Ctrl({0, 0, static_cast<uint8_t>(c), static_cast<uint8_t>(c)}, trims, false);
    }
    ASSERT_TRUE(mAmplifier->WaitForStalledWrites(1, 30s));
    mLink.DisableCmdCtrl();
    std::thread closer([&] { mLink.CloseHIDDevice(false); });
    std::this_thread::sleep_for(50ms);
    mAmplifier->SetStalled(false);
    closer.join();
    ASSERT_TRUE(WaitIdle(2000ms));

    // Reopened (the same amplifier here, another one in the field): the
    // three commands behind the stuck one never arrive.
    const uint64_t before = mAmplifier->ReceivedCount();
    mLink.OpenHIDDevice("");
    ASSERT_TRUE(testkit::WaitQueueDrained(mLink));
    EXPECT_EQ(mAmplifier->ReceivedCount(), before);
    EXPECT_EQ(mProtocol->State(0).channels[3].trimAttenuation, 0);
}

}  // namespace
