// The main volume from the slider, the edit and the steps down to the frames
// and the virtual amplifier's level, its 200 ms rate limit with the timer
// that sends what it held back, the level the device reports landing on the
// slider position that sends it, the main mute, and the ACC delay.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controller/controller_messages.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"

namespace {

using Data = std::vector<uint8_t>;

// The last frame's data, none when nothing was sent.
Data LastOf(const std::vector<Data>& frames) {
    return frames.empty() ? Data{} : frames.back();
}

// What the device takes for a slider position: the integer part of the
// attenuation below +6 dB of -60 + 41.25 log10(position).
int ExpectedAttenuation(int position) {
    if (position <= 0) {
        return 66;
    }
    if (position >= 40) {
        return 0;
    }
    return static_cast<int>(66.0 - 41.25 * std::log10(static_cast<double>(position)));
}

class MainVolume : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mManager->SetClock([this] { return mNow; });
        mDemo.amplifier->ClearReceived();
    }
    std::vector<Data> AccSets() {
        std::vector<Data> picked;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report.size() > 8 && report[4] == device::CMD_MCU && report[5] == device::MCU_ACC &&
                report[6] == device::OP_SET) {
                picked.push_back(Data(report.begin() + 7, report.begin() + 4 + report[3]));
            }
        }
        return picked;
    }
    // The user drags the slider to a position, a while after the last move.
    void Drag(int position, int64_t afterMs = 1000) {
        mNow += afterMs;
        mPage.Get("slider_main_volume").SetValue(position);
        mManager->SetMainVolumeSlider();
    }
    void Type(const std::string& text, bool enter = true) {
        mNow += 1000;
        mPage.Get("edit_main_volume").SetText(text);
        mManager->SetMainVolumeEdit(enter);
    }
    // Asks the amplifier for its level and handles its report.
    void ReadBack() {
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_TRUE(mManager->Link().Get_Main_Volume());
        Settle();
    }
    void SetDeviceAttenuation(int attenuation) {
        virtual_device::AmplifierState state = Amp();
        state.volumeAttenuation = static_cast<uint8_t>(attenuation);
        mDemo.protocol->SetState(0, state);
    }
    int Slider() { return mPage.Get("slider_main_volume").Value(); }
    int Attenuation() { return Amp().volumeAttenuation; }

    int64_t mNow = 100000;
};

TEST_F(MainVolume, TheSliderSendsTheAttenuationOfItsLogarithmicMap) {
    const std::pair<int, int> examples[] = {{1, 66}, {10, 24}, {28, 6}, {40, 0}, {0, 66}};
    for (const auto& [position, attenuation] : examples) {
        mDemo.amplifier->ClearReceived();
        Drag(position);
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_EQ(SetsOf(device::DSP_VOLUME).size(), 1u) << position;
        EXPECT_EQ(SetsOf(device::DSP_VOLUME)[0], Data{static_cast<uint8_t>(attenuation)});
        EXPECT_EQ(Attenuation(), attenuation) << position;
        EXPECT_EQ(mManager->WorkingProfile().mainVolume, position);
        EXPECT_EQ(mPage.Get("edit_main_volume").Text(), std::to_string(position));
    }
}

// Several neighbouring positions near the top send the same whole dB; what
// the device reports must put the slider on a position that sends it again,
// the very position the user chose when the slider is still there.
TEST_F(MainVolume, EveryPositionSurvivesTheRoundTripThroughTheDevice) {
    for (int position = 0; position <= 40; ++position) {
        Drag(position);
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_EQ(Attenuation(), ExpectedAttenuation(position)) << position;
        ReadBack();
        EXPECT_EQ(Slider(), position);
        EXPECT_EQ(mManager->WorkingProfile().mainVolume, position);
        EXPECT_EQ(mPage.Get("edit_main_volume").Text(), std::to_string(position));

        // From a slider elsewhere the report lands on a position that sends
        // what the device holds; sending it changes nothing.
        const int elsewhere = position < 20 ? 40 : 0;
        mPage.Get("slider_main_volume").SetValue(elsewhere);
        ReadBack();
        const int landed = Slider();
        EXPECT_EQ(ExpectedAttenuation(landed), ExpectedAttenuation(position))
            << position << " landed on " << landed;
        EXPECT_EQ(mManager->WorkingProfile().mainVolume, landed);
        Drag(landed);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_EQ(Attenuation(), ExpectedAttenuation(position)) << position;
    }
}

TEST_F(MainVolume, ReportedLevelsMoveTheSliderAndTheEdit) {
    // level reported (dB) -> slider position
    const std::pair<int, int> reports[] = {{-60, 1}, {0, 28}, {6, 40}, {-19, 9}, {-12, 14}};
    for (const auto& [level, position] : reports) {
        mPage.Get("slider_main_volume").SetValue(20);
        SetDeviceAttenuation(6 - level);
        ReadBack();
        EXPECT_EQ(Slider(), position) << level << " dB";
        EXPECT_EQ(mManager->WorkingProfile().mainVolume, position) << level << " dB";
        EXPECT_EQ(mPage.Get("edit_main_volume").Text(), std::to_string(position));
    }
    EXPECT_TRUE(SetsOf(device::DSP_VOLUME).empty());  // a report is not echoed
}

TEST_F(MainVolume, ADragSendsAtMostEvery200MsAndTheTimerSendsTheLastValue) {
    Drag(20);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(20));
    Drag(22, 50);
    Drag(25, 50);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(SetsOf(device::DSP_VOLUME).size(), 1u);
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(20));
    EXPECT_EQ(mPage.Get("edit_main_volume").Text(), "25");  // the view follows at once
    EXPECT_TRUE(mPage.TimerRunning(controller::CACHE_MAIN_VOLUME_TIMER));

    mNow += 100;
    mManager->OnMainVolumeTimerTick();
    mManager->OnMainVolumeTimerTick();  // nothing more held back
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(SetsOf(device::DSP_VOLUME).size(), 2u);
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(25));

    Drag(30, 201);  // a pause longer than the limit: sent at once
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(SetsOf(device::DSP_VOLUME).size(), 3u);
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(30));
}

TEST_F(MainVolume, TypedValuesAreLimitedAndTextsWithoutANumberSendNothing) {
    Type("25");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Slider(), 25);
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(25));
    EXPECT_TRUE(mPage.Get("edit_main_volume").mFocused);

    for (const char* text : {"abc", "", " ", "-", "dB"}) {
        mDemo.amplifier->ClearReceived();
        Type(text);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_TRUE(SetsOf(device::DSP_VOLUME).empty()) << '"' << text << '"';
        EXPECT_EQ(mManager->WorkingProfile().mainVolume, 25) << '"' << text << '"';
        EXPECT_EQ(mPage.Get("edit_main_volume").Text(), "25") << '"' << text << '"';
    }
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(25));

    Type("99");
    EXPECT_EQ(Slider(), 40);
    Type("12.6");
    EXPECT_EQ(Slider(), 13);
    Type("-7", false);  // committed by focus loss
    EXPECT_EQ(Slider(), 0);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Attenuation(), 66);
    Type("30");
    Type("${off}");  // the text of OFF is the slider's minimum
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Slider(), 0);
    EXPECT_EQ(LastOf(SetsOf(device::DSP_VOLUME)), Data{66});
    EXPECT_EQ(Attenuation(), 66);
}

TEST_F(MainVolume, StepsMoveOnePositionAndStopAtTheEnds) {
    Drag(39);
    mNow += 1000;
    mManager->SetMainVolumeUp(true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Slider(), 40);
    EXPECT_EQ(Attenuation(), 0);
    mDemo.amplifier->ClearReceived();
    mNow += 1000;
    mManager->SetMainVolumeUp(true);  // already at the top
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(SetsOf(device::DSP_VOLUME).empty());
    mNow += 1000;
    mManager->SetMainVolumeUp(false);
    mManager->SetMainVolumeUp(false);  // within 200 ms: held for the timer
    EXPECT_EQ(Slider(), 38);
    mManager->OnMainVolumeTimerTick();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Attenuation(), ExpectedAttenuation(38));
}

TEST_F(MainVolume, MovingTheVolumeWhileMutedUnmutes) {
    mPage.Get("main_mute").SetSelected(true, false);
    mManager->SetMainMute();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().mute, 1);
    EXPECT_EQ(mManager->WorkingProfile().mainVolumeMute, 1);
    EXPECT_EQ(LastOf(SetsOf(device::DSP_MUTE)), Data{1});

    Drag(18);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().mute, 0);
    EXPECT_EQ(mManager->WorkingProfile().mainVolumeMute, 0);
    EXPECT_FALSE(mPage.Get("main_mute").Selected());
    EXPECT_EQ(LastOf(SetsOf(device::DSP_MUTE)), Data{0});

    // The device's own mute shows on the option.
    virtual_device::AmplifierState state = Amp();
    state.mute = 1;
    mDemo.protocol->SetState(0, state);
    ASSERT_TRUE(mManager->Link().Get_Mute());
    Settle();
    EXPECT_TRUE(mPage.Get("main_mute").Selected());
    EXPECT_EQ(mManager->WorkingProfile().mainVolumeMute, 1);
}

TEST_F(MainVolume, TheAccDelayFromSliderEditAndSteps) {
    mPage.Get("slider_acc").SetValue(5);
    mManager->SetAccSlider();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 5);
    EXPECT_EQ(mManager->WorkingProfile().acc, 5);
    EXPECT_EQ(mPage.Get("edit_acc").Text(), "5");

    mPage.Get("edit_acc").SetText("${off}");
    mManager->SetAccEdit();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 0);
    EXPECT_EQ(mPage.Get("slider_acc").Value(), 0);
    EXPECT_EQ(mPage.Get("edit_acc").Text(), "${off}");  // the minimum shows OFF

    mDemo.amplifier->ClearReceived();
    mPage.Get("edit_acc").SetText("soon");
    mManager->SetAccEdit();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(AccSets().empty());
    EXPECT_EQ(mPage.Get("edit_acc").Text(), "${off}");

    mPage.Get("edit_acc").SetText("25");  // beyond the slider: its maximum
    mManager->SetAccEdit();
    mManager->SetAccUp(true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mPage.Get("slider_acc").Value(), 10);
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 10);
    mManager->SetAccUp(false);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 9);
    EXPECT_EQ(mPage.Get("edit_acc").Text(), "9");
    EXPECT_EQ(LastOf(AccSets()), Data{9});

    // The device's value reaches slider and edit.
    mManager->ReadMcuValueCallback(device::MCU_ACC, 3, nullptr);
    EXPECT_EQ(mPage.Get("slider_acc").Value(), 3);
    EXPECT_EQ(mPage.Get("edit_acc").Text(), "3");
    mManager->ReadMcuValueCallback(device::MCU_ACC, 0, nullptr);
    EXPECT_EQ(mPage.Get("edit_acc").Text(), "${off}");
}

}  // namespace
