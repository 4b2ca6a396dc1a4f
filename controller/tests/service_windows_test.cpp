// The controller's side of the service windows against the virtual
// amplifier: the USB audio mode moving the source across, the power-off
// delay kept and sent within its limits, and the memory window's button.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controller_fixture.h"

namespace {

constexpr uint8_t kUdpCode = 81 + 7;
constexpr uint8_t kScpCode = 81 + 8;

class ServiceWindows : public test_support::ControllerTest {
protected:
    // The amplifier plays its USB audio input.
    void PlayUsbAudio() {
        virtual_device::AmplifierState state = mDemo.protocol->State(0);
        state.sourceCode = kUdpCode;
        mDemo.protocol->SetState(0, state);
        // The socket serves USB audio (the pin's 1) when the program connects.
        auto mcu = mDemo.protocol->Mcu();
        mcu.usbPowerOption = 1;
        mDemo.protocol->SetMcu(mcu);
    }
    void Connect() {
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }
};

TEST_F(ServiceWindows, ScpModeMovesAUsbAudioSourceToScpAndBack) {
    PlayUsbAudio();
    Connect();
    ASSERT_EQ(mManager->WorkingProfile().source, 7);

    mManager->SetUsbMode(true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(mManager->UsbModeIsScp());
    EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 0) << "SCP is the pin's 0";
    EXPECT_EQ(Amp().sourceCode, kScpCode);
    EXPECT_EQ(mManager->WorkingProfile().source, 8);

    // The same choice again (both options of a group report it) moves nothing.
    mManager->SetUsbMode(true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sourceCode, kScpCode);

    mManager->SetUsbMode(false);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_FALSE(mManager->UsbModeIsScp());
    EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 1) << "USB audio is the pin's 1";
    EXPECT_EQ(Amp().sourceCode, kUdpCode);
    EXPECT_EQ(mManager->WorkingProfile().source, 7);
}

TEST_F(ServiceWindows, TheUsbModeLeavesOtherSourcesWhereTheyAre) {
    Connect();
    const int source = mManager->WorkingProfile().source;
    ASSERT_NE(source, 7);
    ASSERT_NE(source, 8);
    const uint8_t code = Amp().sourceCode;
    mManager->SetUsbMode(true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 0);
    EXPECT_EQ(Amp().sourceCode, code);
    EXPECT_EQ(mManager->WorkingProfile().source, source);
}

TEST_F(ServiceWindows, ThePowerOffDelayIsKeptAndSentWithinItsLimits) {
    Connect();
    for (auto [asked, kept] : {std::pair{250, 250}, std::pair{1000, 1000}, std::pair{1500, 1000},
                               std::pair{-20, 0}, std::pair{0, 0}, std::pair{999, 999}}) {
        mManager->SetPowerOffDelay(asked);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_EQ(mManager->PowerOffDelay(), kept) << asked;
        EXPECT_EQ(mManager->WorkingProfile().powerOffDelay, static_cast<uint32_t>(kept));
        EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, kept) << asked;
    }
}

TEST_F(ServiceWindows, TheDebugButtonOpensTheMemoryWindow) {
    Connect();
    mManager->OpenMemoryWindow();
    EXPECT_EQ(std::count(mUi.mMessages.begin(), mUi.mMessages.end(), "memory window"), 1);
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty()) << "opening it sends nothing";
}

}  // namespace
