// A calibration run that cannot finish: each fault ends it at its own step
// with its own reason, a chosen output without a speaker ends it as a real
// missing speaker does, an amplifier that lost its power forgets the run,
// and firmware that ends its runs with an exit says so.
#include <gtest/gtest.h>

#include <vector>

#include "calibration_link_fixture.h"

namespace {

using calibration_test::CalibrationLinkTest;
using calibration_test::kPhaseMs;
using calibration_test::Posted;
using virtual_device::CalibrationFault;

constexpr uint8_t kAllModules = 7;

struct FaultCase {
    CalibrationFault fault;
    int channel;
    int lastStatus;  // the step the run fails at
    int reason;
};

TEST_F(CalibrationLinkTest, EachFaultEndsTheRunAtItsStepWithItsReason) {
    const std::vector<FaultCase> cases = {
        {CalibrationFault::kNoMicrophone, -1, 0, 1},  {CalibrationFault::kMissingSpeaker, -1, 1, 2},
        {CalibrationFault::kMissingSpeaker, 1, 1, 2}, {CalibrationFault::kLevelTooLow, -1, 2, 0},
        {CalibrationFault::kUnknownReason, -1, 4, 7},
    };
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(static_cast<int>(fault.fault));
        mProtocol->SetCalibrationFault(fault.fault, fault.channel);
        Start(kAllModules, 0x0003);
        const auto seen = RunToTheEnd();
        const auto now = mProtocol->CalibrationStatusNow();
        EXPECT_EQ(now.status, 11);
        EXPECT_EQ(now.reason, fault.reason);
        ASSERT_GE(seen.size(), 2u);
        EXPECT_EQ(seen[seen.size() - 2].status, fault.lastStatus);
        // A reason the program has no name for still reaches the window.
        EXPECT_EQ(seen.back(), (Posted{11, fault.reason}));
        mNow += 100 * kPhaseMs;
        EXPECT_EQ(mProtocol->CalibrationStatusNow().status, 11) << "a failed run stays failed";
        EXPECT_TRUE(mProtocol->CalibrationResult(0).empty());
    }
    mProtocol->SetCalibrationFault(CalibrationFault::kNone);
    Start(kAllModules, 0x0003);
    RunToTheEnd();
    EXPECT_EQ(mProtocol->CalibrationStatusNow().status, 10) << "the fault cleared";
}

TEST_F(CalibrationLinkTest, AMissingSpeakerOnAChannelNotChosenDoesNotMatter) {
    mProtocol->SetCalibrationFault(CalibrationFault::kMissingSpeaker, 5);
    Start(kAllModules, 0x0003);
    RunToTheEnd();
    EXPECT_EQ(mProtocol->CalibrationStatusNow().status, 10);
    EXPECT_FALSE(mProtocol->CalibrationResult(1).empty());
}

TEST_F(CalibrationLinkTest, AChosenOutputWithoutASpeakerEndsTheRun) {
    virtual_device::AmplifierState state = mProtocol->State(0);
    state.channels[2].type = 0;
    mProtocol->SetState(0, state);
    Start(kAllModules, 0x0005);
    const auto seen = RunToTheEnd();
    EXPECT_EQ(seen.back(), (Posted{11, 2}));
    EXPECT_EQ(seen[seen.size() - 2].status, 1) << "found while detecting the speakers";

    Start(kAllModules, 0x0000);
    EXPECT_EQ(RunToTheEnd().back(), (Posted{11, 2})) << "no channel chosen";
    Start(kAllModules, 0x0400);
    EXPECT_EQ(RunToTheEnd().back(), (Posted{11, 2})) << "an output this model lacks";
}

TEST_F(CalibrationLinkTest, ARunLostToAPowerCycleIsGone) {
    Start(kAllModules, 0x0003);
    mNow += 4 * kPhaseMs;
    EXPECT_EQ(Poll().status, 4);
    mAmplifier->Unplug();
    EXPECT_EQ(mProtocol->CalibrationStatusNow().status, 12);
    mAmplifier->Plug();
    mLink.CloseHIDDevice(false);
    mLink.OpenHIDDevice("");
    ASSERT_TRUE(mLink.IsConnected());
    EXPECT_EQ(Poll(), (Posted{12, 0})) << "the run did not survive";
    mNow += 100 * kPhaseMs;
    EXPECT_EQ(Poll(), (Posted{12, 0}));
    EXPECT_TRUE(mProtocol->CalibrationResult(0).empty());

    // A finished run's result is lost the same way.
    Start(kAllModules, 0x0003);
    RunToTheEnd();
    ASSERT_FALSE(mProtocol->CalibrationResult(1).empty());
    const virtual_device::AmplifierState before = mProtocol->State(0);
    mAmplifier->Unplug();
    mAmplifier->Plug();
    mLink.CloseHIDDevice(false);
    mLink.OpenHIDDevice("");
    EXPECT_EQ(Poll(), (Posted{12, 0}));
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true));
    EXPECT_EQ(mProtocol->State(0).channels[1].eq[0].gainByte, before.channels[1].eq[0].gainByte);
    EXPECT_TRUE(mProtocol->CalibrationResult(1).empty());
}

class ExitingCalibrationTest : public CalibrationLinkTest {
protected:
    ExitingCalibrationTest() : CalibrationLinkTest(calibration_test::QuickRun(true)) {}
};

TEST_F(ExitingCalibrationTest, ACompletedRunEndsWithAnExitAndKeepsItsResult) {
    Start(kAllModules, 0x0003);
    const auto seen = RunToTheEnd();
    EXPECT_EQ(seen.back(), (Posted{12, 100}));
    EXPECT_EQ(seen[seen.size() - 2].status, 9);
    ASSERT_EQ(mProtocol->CalibrationResult(0).size(), 11u);
    const virtual_device::AmplifierState before = mProtocol->State(0);
    ASSERT_TRUE(mLink.IRC_Ctrl(2, 0, 0, true));
    EXPECT_NE(mProtocol->State(0).channels[0].eq[0].frequency, before.channels[0].eq[0].frequency)
        << "the result was applied";
}

}  // namespace
