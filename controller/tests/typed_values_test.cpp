// What the user types or steps in the numeric edits of the output strip and
// the car picture: a text that is not a number changes nothing and sends
// nothing; steps in centimetres and inches move one whole unit.
#include <gtest/gtest.h>

#include <string>

#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "model/units.h"

namespace {

constexpr float kMsPerInch = 15.0f / 204.0f;
constexpr float kMsPerCm = 15.0f / 519.0f;

class TypedValues : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }
    // How many set frames of this sub-command reached the amplifier.
    size_t SetCount(uint8_t subCommand) { return SetsOf(subCommand).size(); }
    void UseUnit(int unit) {
        mPage.Get("comb_ch_unit").SelectItem(unit, false);
        mManager->OnDelayUnitChanged();
    }
    float DelayOf(int channel) { return mManager->WorkingProfile().channels[channel].delay; }
};

TEST_F(TypedValues, ATrimEditWithoutANumberKeepsTheTrimAndSendsNothing) {
    // The demo tune plays output 4 at -3 dB; full level would be 0 dB.
    for (const char* text : {"abc", "", "  ", "-", "dB"}) {
        mPage.Get("edit_ch_volume_4").SetText(text);
        mManager->SetChVolumeEdit(4);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_EQ(SetCount(device::DSP_TRIM_CH), 0u) << '"' << text << '"';
        EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[4].gain, -3.0f) << '"' << text << '"';
        EXPECT_EQ(mPage.Get("edit_ch_volume_4").Text(), "-3dB") << '"' << text << '"';
        EXPECT_EQ(Amp().channels[4].trimAttenuation, 3);
    }
    // A number still goes through.
    mPage.Get("edit_ch_volume_4").SetText("-7");
    mManager->SetChVolumeEdit(4);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 7);
}

TEST_F(TypedValues, ADelayEditWithoutANumberKeepsTheDelay) {
    // Output 9 plays 2 ms in the demo tune.
    for (int unit : {model::kDelayUnitMs, model::kDelayUnitCm, model::kDelayUnitInch}) {
        UseUnit(unit);
        const std::string shown = mPage.Get("edit_ch_delay_9").Text();
        mPage.Get("edit_ch_delay_9").SetText("xyz");
        mManager->SetChDelayEdit(9);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_EQ(SetCount(device::DSP_DELAY_CH), 0u) << "unit " << unit;
        EXPECT_EQ(mPage.Get("edit_ch_delay_9").Text(), shown);
    }
    EXPECT_FLOAT_EQ(DelayOf(9), 2.0f);
    EXPECT_EQ(Amp().channels[9].delayMs, 2);
}

TEST_F(TypedValues, ASpeakerDelayWithoutANumberKeepsTheDelay) {
    const int type = mManager->WorkingProfile().outputs[9];
    ASSERT_GT(type, 0);
    const std::string name = "spk_delay_" + std::to_string(type);
    const std::string shown = mPage.Get(name).Text();
    mPage.Get(name).SetText("");
    mManager->SetSpeakerDelayEdit(type);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(SetCount(device::DSP_DELAY_CH), 0u);
    EXPECT_FLOAT_EQ(DelayOf(9), 2.0f);
    EXPECT_EQ(mPage.Get(name).Text(), shown);
}

TEST_F(TypedValues, DelayStepsMoveOneInchOrCentimetre) {
    UseUnit(model::kDelayUnitInch);
    mManager->SetChDelayUp(3, true);  // output 3 starts at 0
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(DelayOf(3), kMsPerInch, 1e-5);
    EXPECT_EQ(mPage.Get("edit_ch_delay_3").Text(), "1 in");
    EXPECT_EQ(Amp().channels[3].delayThousandths, 74);  // 73.5 us, as the device takes it
    mManager->SetChDelayUp(3, true);
    mManager->SetChDelayUp(3, false);
    mManager->SetChDelayUp(3, true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mPage.Get("edit_ch_delay_3").Text(), "2 in");
    EXPECT_EQ(SetCount(device::DSP_DELAY_CH), 4u);

    UseUnit(model::kDelayUnitCm);
    mManager->SetChDelayUp(3, false);  // 2 in = 5.08 cm shows as 5 cm; one down is 4
    EXPECT_NEAR(DelayOf(3), 4 * kMsPerCm, 1e-5);
    EXPECT_EQ(mPage.Get("edit_ch_delay_3").Text(), "4 cm");
}

TEST_F(TypedValues, DelayButtonsOfTheCarPictureStepTheCurrentChannel) {
    UseUnit(model::kDelayUnitInch);
    const int type = mManager->WorkingProfile().outputs[2];
    ASSERT_GT(type, 0);
    mManager->SetCurChannelChange(2);
    ASSERT_EQ(mManager->CurrentSpeakerPosition(), type);
    mManager->StepSpeakerDelay(type, true);
    mManager->StepSpeakerDelay(type, true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(DelayOf(2), 2 * kMsPerInch, 1e-5);
    EXPECT_EQ(mPage.Get("spk_delay_" + std::to_string(type)).Text(), "2");
    mManager->StepSpeakerDelay(type, false);
    mManager->StepSpeakerDelay(type, false);
    mManager->StepSpeakerDelay(type, false);  // already at 0: nothing more
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(DelayOf(2), 0.0f);
    EXPECT_EQ(SetCount(device::DSP_DELAY_CH), 4u);
}

}  // namespace
