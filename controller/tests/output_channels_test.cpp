// A user's action on each output control, through the controller, the queue,
// the framing and the transport, to the frame and the state of the virtual
// amplifier; and the amplifier's own reports back into profile and controls.
#include <gtest/gtest.h>

#include <cmath>

#include "controller/controller_messages.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "model/units.h"

namespace {

using Frames = std::vector<std::pair<uint8_t, std::vector<uint8_t>>>;

class OutputChannelTest : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }

    // The set frames of one sub-command received since the last clear.
    Frames Sets(uint8_t subCommand) {
        Frames all = DspFrames(device::OP_SET);
        Frames picked;
        for (auto& frame : all) {
            if (frame.first == subCommand) {
                picked.push_back(frame);
            }
        }
        return picked;
    }

    void MoveTrimSlider(int channel, int tenths, bool immediate = false) {
        mPage.Get("slider_ch_volume_" + std::to_string(channel)).SetValue(tenths);
        mManager->SetChVolumeSlider(channel, true, false, immediate);
    }

    // The rate limit reads this clock from here on; tests move it by hand.
    void UseTestClock() {
        mManager->SetClock([this] { return mNowMs; });
    }

    // The attenuations the amplifier received for one output, in order.
    std::vector<int> TrimsSent(int channel) {
        std::vector<int> trims;
        for (const auto& frame : Sets(device::DSP_TRIM_CH)) {
            if (frame.second[2] == channel) {
                trims.push_back(frame.second.back());
            }
        }
        return trims;
    }

    int64_t mNowMs = 5000000;
};

TEST_F(OutputChannelTest, TrimSliderSendsTheAttenuation) {
    MoveTrimSlider(3, -120, true);
    ASSERT_TRUE(WaitQueueIdle());
    // clang-format off
    const Frames expected = {{device::DSP_TRIM_CH, {
        0x00,        // scene: the working state
        0x00,        // source: outputs always 0
        0x03, 0x03,  // channels 3..3
        12,          // attenuation in dB
    }}};
    // clang-format on
    EXPECT_EQ(Sets(device::DSP_TRIM_CH), expected);
    EXPECT_EQ(Amp().channels[3].trimAttenuation, 12);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[3].gain, -12.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_3").Text(), "-12dB");
}

TEST_F(OutputChannelTest, TrimEditIsLimitedAndShowsOffAtTheBottom) {
    mPage.Get("edit_ch_volume_5").SetText("-65");
    mManager->SetChVolumeEdit(5);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[5].gain, -60.0f);
    EXPECT_EQ(Amp().channels[5].trimAttenuation, 60);
    EXPECT_EQ(mPage.Get("edit_ch_volume_5").Text(), "${off}");
    EXPECT_EQ(mPage.Get("slider_ch_volume_5").Value(), -600);

    mPage.Get("edit_ch_volume_5").SetText("-4.5dB");
    mManager->SetChVolumeEdit(5);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[5].gain, -4.5f);
    EXPECT_EQ(Amp().channels[5].trimAttenuation, 4);  // whole dB on this model
}

// The trim rate limit: a drag sends at most one trim per 200 ms, and
// CACHE_CH_VOLUME_TIMER sends the last value held back.
TEST_F(OutputChannelTest, ADragSendsAtMostEveryTwoHundredMsAndTheLastValueAfterIt) {
    UseTestClock();
    MoveTrimSlider(1, -10);  // first move: sent at once
    mNowMs += 120;
    MoveTrimSlider(1, -20);  // within 200 ms: held back
    mNowMs += 80;
    MoveTrimSlider(1, -30);  // 200 ms exactly: still held back
    ASSERT_TRUE(WaitQueueIdle());
    Frames sent = Sets(device::DSP_TRIM_CH);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].second.back(), 1);
    EXPECT_TRUE(mPage.TimerRunning(controller::CACHE_CH_VOLUME_TIMER));
    EXPECT_EQ(mPage.TimerPeriod(controller::CACHE_CH_VOLUME_TIMER), 100);
    EXPECT_EQ(mPage.Get("edit_ch_volume_1").Text(), "-3dB");  // the view follows at once

    mManager->OnChVolumeTimer();  // the drag paused: the last value goes out
    ASSERT_TRUE(WaitQueueIdle());
    sent = Sets(device::DSP_TRIM_CH);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].second.back(), 3);
    EXPECT_EQ(Amp().channels[1].trimAttenuation, 3);
    mManager->OnChVolumeTimer();  // a tick without a held value sends nothing
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Sets(device::DSP_TRIM_CH).size(), 2u);
}

TEST_F(OutputChannelTest, AMoveMoreThanTwoHundredMsAfterTheLastTrimSentGoesAtOnce) {
    UseTestClock();
    MoveTrimSlider(6, -40);
    mNowMs += 201;
    MoveTrimSlider(6, -50);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(TrimsSent(6), (std::vector<int>{4, 5}));
    EXPECT_EQ(Amp().channels[6].trimAttenuation, 5);

    // The window counts from the last trim sent, not from the last move: a
    // held move does not push the next send further out.
    mNowMs += 150;
    MoveTrimSlider(6, -60);  // held
    mNowMs += 51;
    MoveTrimSlider(6, -70);  // 201 ms after the last trim sent
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(TrimsSent(6), (std::vector<int>{4, 5, 7}));
    mManager->OnChVolumeTimer();  // nothing is held back any more
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(TrimsSent(6), (std::vector<int>{4, 5, 7}));

    // A typed trim counts as sent: a drag right after it waits its turn.
    mPage.Get("edit_ch_volume_6").SetText("-2");
    mManager->SetChVolumeEdit(6);
    mNowMs += 100;
    MoveTrimSlider(6, -30);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(TrimsSent(6), (std::vector<int>{4, 5, 7, 2}));
    EXPECT_TRUE(mPage.TimerRunning(controller::CACHE_CH_VOLUME_TIMER));
    mManager->OnChVolumeTimer();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(TrimsSent(6), (std::vector<int>{4, 5, 7, 2, 3}));
}

// Moving the trim of a muted output means the user wants to hear it.
TEST_F(OutputChannelTest, MovingTheTrimOfAMutedOutputUnmutesIt) {
    mPage.Get("ch_mute_8").SetSelected(true, false);
    mManager->SetChMute(8);
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(Amp().channels[8].mute, 1);
    MoveTrimSlider(8, -90, true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[8].trimAttenuation, 9);
    EXPECT_EQ(Amp().channels[8].mute, 0);
    EXPECT_FALSE(mPage.Get("ch_mute_8").Selected());
    // A trim the amplifier reports does not unmute.
    mPage.Get("ch_mute_8").SetSelected(true, false);
    mManager->SetChMute(8);
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_TRIM_CH, device::OP_UPDATE,
                               {0, 0, 8, 8, 0xF4});  // -12 dB
    ReadSpontaneousReport();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[8].gain, -12.0f);
    EXPECT_EQ(Amp().channels[8].mute, 1);
}

TEST_F(OutputChannelTest, TrimUpAndDownStepOneDecibel) {
    mManager->SetChVolumeUp(4, false);  // demo tune: -3 dB
    mManager->OnChVolumeTimer();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 4);
    mManager->SetChVolumeUp(0, true);  // already at 0 dB: nothing happens
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].trimAttenuation, 0);
}

TEST_F(OutputChannelTest, MuteAndPhaseReachTheAmplifier) {
    mPage.Get("ch_mute_6").SetSelected(true, false);
    mManager->SetChMute(6);
    mPage.Get("ch_phase_2").SetSelected(true, false);
    mManager->SetChPhase(2);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[6].mute, 1);
    EXPECT_EQ(Amp().channels[2].phase, 1);
    EXPECT_EQ(Sets(device::DSP_MUTE_CH), (Frames{{device::DSP_MUTE_CH, {0, 0, 6, 6, 1}}}));
    EXPECT_EQ(mPage.Get("ch_phase_2").Text(), "${reverse phase}");

    mPage.Get("ch_phase_2").SetSelected(false, false);
    mManager->SetChPhase(2);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[2].phase, 0);
    EXPECT_EQ(mPage.Get("ch_phase_2").Text(), "${positive_phase}");
}

TEST_F(OutputChannelTest, MutingOneOutputOfABridgedPairMutesBoth) {
    mManager->ToggleBridge(1);  // outputs 2 and 3
    Settle();
    ASSERT_TRUE(WaitQueueIdle());
    mPage.Get("ch_mute_3").SetSelected(true, false);
    mManager->SetChMute(3);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[2].mute, 1);
    EXPECT_EQ(Amp().channels[3].mute, 1);
    EXPECT_TRUE(mPage.Get("ch_mute_2").Selected());

    // And from the even output back to the odd one.
    mDemo.amplifier->ClearReceived();
    mPage.Get("ch_mute_2").SetSelected(false, false);
    mManager->SetChMute(2);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[2].mute, 0);
    EXPECT_EQ(Amp().channels[3].mute, 0);
    EXPECT_FALSE(mPage.Get("ch_mute_3").Selected());
    EXPECT_EQ(Sets(device::DSP_MUTE_CH), (Frames{{device::DSP_MUTE_CH, {0, 0, 2, 2, 0}},
                                                 {device::DSP_MUTE_CH, {0, 0, 3, 3, 0}}}));
}

// The two outputs of a bridged pair drive one speaker: a phase change on
// either reaches both, as a frame for each; an unbridged pair stays apart.
TEST_F(OutputChannelTest, APhaseChangeOnEitherOutputOfABridgedPairReachesBoth) {
    mManager->ToggleBridge(1);  // outputs 2 and 3
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden >= 2; }, std::chrono::seconds(15)));
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();

    mPage.Get("ch_phase_3").SetSelected(true, false);
    mManager->SetChPhase(3);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Sets(device::DSP_PHASE_CH), (Frames{{device::DSP_PHASE_CH, {0, 0, 3, 3, 1}},
                                                  {device::DSP_PHASE_CH, {0, 0, 2, 2, 1}}}));
    EXPECT_EQ(Amp().channels[2].phase, 1);
    EXPECT_EQ(Amp().channels[3].phase, 1);
    EXPECT_TRUE(mPage.Get("ch_phase_2").Selected());
    EXPECT_EQ(mPage.Get("ch_phase_2").Text(), "${reverse phase}");
    EXPECT_EQ(mManager->WorkingProfile().channels[2].phase, 1);

    mDemo.amplifier->ClearReceived();
    mPage.Get("ch_phase_2").SetSelected(false, false);
    mManager->SetChPhase(2);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Sets(device::DSP_PHASE_CH), (Frames{{device::DSP_PHASE_CH, {0, 0, 2, 2, 0}},
                                                  {device::DSP_PHASE_CH, {0, 0, 3, 3, 0}}}));
    EXPECT_EQ(Amp().channels[2].phase, 0);
    EXPECT_EQ(Amp().channels[3].phase, 0);
    EXPECT_FALSE(mPage.Get("ch_phase_3").Selected());
    EXPECT_EQ(mPage.Get("ch_phase_3").Text(), "${positive_phase}");

    // Outputs 4 and 5 are not bridged.
    mDemo.amplifier->ClearReceived();
    mPage.Get("ch_phase_5").SetSelected(true, false);
    mManager->SetChPhase(5);
    mPage.Get("ch_mute_4").SetSelected(true, false);
    mManager->SetChMute(4);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[5].phase, 1);
    EXPECT_EQ(Amp().channels[4].phase, 0);
    EXPECT_EQ(Amp().channels[4].mute, 1);
    EXPECT_EQ(Amp().channels[5].mute, 0);
    EXPECT_EQ(Sets(device::DSP_PHASE_CH).size(), 1u);
    EXPECT_EQ(Sets(device::DSP_MUTE_CH).size(), 1u);
}

// Without the link mode an output's link partner is its bridge partner, so
// trim, delay and solo of a bridged pair follow from either output.
TEST_F(OutputChannelTest, TrimDelayAndSoloOfABridgedPairFollowFromEitherOutput) {
    mManager->ToggleBridge(1);  // outputs 2 and 3
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden >= 2; }, std::chrono::seconds(15)));
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(mManager->WorkingProfile().linkMode, 0);

    MoveTrimSlider(3, -80, true);
    mPage.Get("edit_ch_delay_2").SetText("3");
    mManager->SetChDelayEdit(2);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[2].trimAttenuation, 8);
    EXPECT_EQ(Amp().channels[3].trimAttenuation, 8);
    EXPECT_EQ(mPage.Get("edit_ch_volume_2").Text(), "-8dB");
    EXPECT_EQ(Amp().channels[3].delayMs, 3);
    EXPECT_EQ(Amp().channels[3].delayThousandths, 0);
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 3);  // the next pair: untouched

    mPage.Get("ch_solo_3").SetSelected(true, false);
    mManager->SetChSolo(3);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[2].solo, 1);
    EXPECT_EQ(Amp().channels[3].solo, 1);
    EXPECT_TRUE(mPage.Get("ch_solo_2").Selected());
    EXPECT_TRUE(mPage.Get("ch_enable_2").Selected());  // shown with the current output
}

TEST_F(OutputChannelTest, SoloIsExclusive) {
    mPage.Get("ch_solo_5").SetSelected(true, false);
    mManager->SetChSolo(5);
    mPage.Get("ch_solo_3").SetSelected(true, false);
    mManager->SetChSolo(3);
    ASSERT_TRUE(WaitQueueIdle());
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Amp().channels[c].solo, c == 3 ? 1 : 0) << "output " << c;
        EXPECT_EQ(mPage.Get("ch_solo_" + std::to_string(c)).Selected(), c == 3);
    }
    // One command carries every output's solo byte.
    Frames sent = Sets(device::DSP_CH_SOLO);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].second, (std::vector<uint8_t>{0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mManager->CurrentChannel(), 3);
}

TEST_F(OutputChannelTest, DelayInMillisecondsCentimetresAndInches) {
    mPage.Get("edit_ch_delay_4").SetText("2.5 ms");
    mManager->SetChDelayEdit(4);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[4].delayMs, 2);
    EXPECT_EQ(Amp().channels[4].delayThousandths, 500);
    // clang-format off
    EXPECT_EQ(Sets(device::DSP_DELAY_CH), (Frames{{device::DSP_DELAY_CH, {
        0, 0, 4, 4,   // scene, source, channels 4..4
        2,            // whole milliseconds
        0x01, 0xF4,   // thousandths: 500
    }}}));
    // clang-format on

    mPage.Get("comb_ch_unit").SelectItem(model::kDelayUnitCm, false);
    mManager->OnDelayUnitChanged();
    EXPECT_EQ(mPage.Get("edit_ch_delay_4").Text(), model::formatDelayText(1, 2.5f));
    mPage.Get("edit_ch_delay_4").SetText("600");  // beyond the 519 cm limit
    mManager->SetChDelayEdit(4);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(mManager->WorkingProfile().channels[4].delay, 15.0f, 1e-3);
    EXPECT_EQ(Amp().channels[4].delayMs, 15);

    mPage.Get("comb_ch_unit").SelectItem(model::kDelayUnitInch, false);
    mPage.Get("edit_ch_delay_4").SetText("68");  // 68 in = 5 ms
    mManager->SetChDelayEdit(4);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(mManager->WorkingProfile().channels[4].delay, 5.0f, 1e-3);
}

TEST_F(OutputChannelTest, SpeakerPositionDelayEditsTheChannelPlayingThere) {
    const int type = mManager->WorkingProfile().outputs[7];
    ASSERT_GT(type, 0);
    mPage.Get("comb_ch_unit").SelectItem(model::kDelayUnitCm, false);
    mPage.Get("spk_delay_" + std::to_string(type)).SetText("600");
    mManager->SetSpeakerDelayEdit(type);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(mManager->WorkingProfile().channels[7].delay, 15.0f, 1e-3);
    EXPECT_EQ(Amp().channels[7].delayMs, 15);
    EXPECT_EQ(mPage.Get("spk_delay_" + std::to_string(type)).Text(), "519");

    mDemo.amplifier->ClearReceived();
    mManager->SetSpeakerDelayEdit(30);  // nobody plays at position 30
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(Sets(device::DSP_DELAY_CH).empty());
}

TEST_F(OutputChannelTest, DelayStepsAndTheDelaySliderOfTheFocusedChannel) {
    mManager->SetChDelayUp(9, true);  // 2 ms + 21 us
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[9].delayThousandths, 21);
    mManager->ShowDelaySlider(3);
    EXPECT_TRUE(mPage.Get("slider_ch_delay_3").Visible());
    EXPECT_FALSE(mPage.Get("delay_lable_3").Visible());
    EXPECT_FALSE(mPage.Get("slider_ch_delay_4").Visible());
    mManager->HideDelaySliders();
    EXPECT_FALSE(mPage.Get("slider_ch_delay_3").Visible());
    EXPECT_TRUE(mPage.Get("delay_lable_3").Visible());
}

// With centimetres chosen, a step moves the delay to the next whole
// centimetre, so the stored delay is always one the text can show.
TEST_F(OutputChannelTest, DelayStepsInCentimetresLandOnWholeCentimetres) {
    mPage.Get("comb_ch_unit").SelectItem(model::kDelayUnitCm, false);
    mManager->OnDelayUnitChanged();
    mPage.Get("edit_ch_delay_5").SetText("100");
    mManager->SetChDelayEdit(5);
    mManager->SetChDelayUp(5, true);
    ASSERT_TRUE(WaitQueueIdle());
    const float cmInMs = 15.0f / 519.0f;
    EXPECT_NEAR(mManager->WorkingProfile().channels[5].delay, 101 * cmInMs, 1e-5);
    EXPECT_EQ(mPage.Get("edit_ch_delay_5").Text(), "101 cm");
    EXPECT_EQ(Amp().channels[5].delayMs, 2);
    EXPECT_EQ(Amp().channels[5].delayThousandths, 919);  // 2.919 ms
    mManager->SetChDelayUp(5, false);
    mManager->SetChDelayUp(5, false);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(mManager->WorkingProfile().channels[5].delay, 99 * cmInMs, 1e-5);
}

// The delay slider moves in microseconds. In inches a small move (a wheel
// notch, 21 us) is less than half an inch: it still takes the delay one whole
// inch its way; a large move lands on the nearest whole inch.
TEST_F(OutputChannelTest, TheDelaySliderInInchesMovesWholeInches) {
    mPage.Get("comb_ch_unit").SelectItem(model::kDelayUnitInch, false);
    mManager->OnDelayUnitChanged();
    test_support::FakeControl& slider = mPage.Get("slider_ch_delay_5");
    slider.SetRange(0, 15000);
    mPage.Get("edit_ch_delay_5").SetText("68");  // 5 ms
    mManager->SetChDelayEdit(5);
    ASSERT_EQ(slider.Value(), 5000);
    const float inchInMs = 15.0f / 204.0f;

    slider.SetValue(5021);
    mManager->SetChDelaySlider(5);
    EXPECT_NEAR(mManager->WorkingProfile().channels[5].delay, 69 * inchInMs, 1e-5);
    EXPECT_EQ(mPage.Get("edit_ch_delay_5").Text(), "69 in");

    slider.SetValue(6000);  // 81.6 in
    mManager->SetChDelaySlider(5);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(mManager->WorkingProfile().channels[5].delay, 82 * inchInMs, 1e-5);
    EXPECT_EQ(mPage.Get("edit_ch_delay_5").Text(), "82 in");
    EXPECT_EQ(Amp().channels[5].delayMs, 6);
    EXPECT_EQ(Amp().channels[5].delayThousandths, 29);  // 6.029 ms
}

TEST_F(OutputChannelTest, OutputTypeSendsTypeFiltersAndTrim) {
    mManager->SetOutputValue(6, "output_menu_subwoof_left", false);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[6].type, 22);
    EXPECT_EQ(mManager->WorkingProfile().outputs_bk[6], 22);
    EXPECT_EQ(mPage.Get("ch_output_btn_6").Text(), "${output_menu_subwoof_left}");
    Frames filters = Sets(device::DSP_FILTER_SET);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].second[3], 2);  // high-pass first
    EXPECT_EQ(filters[1].second[3], 1);  // then low-pass
    EXPECT_EQ(Sets(device::DSP_TRIM_CH).size(), 1u);
    // A type already used by another output is allowed in this build.
    mManager->SetOutputValue(7, "output_menu_subwoof_left", false);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[7].type, 22);
}

TEST_F(OutputChannelTest, BridgingCopiesTheLeftOutputAndUnbridgingClearsBoth) {
    mPage.Get("slider_ch_volume_0").SetValue(-50);
    mManager->SetChVolumeSlider(0, false, false, true);
    mPage.Get("ch_phase_0").SetSelected(true, false);
    mManager->SetChPhase(0);
    mPage.Get("ch_mute_0").SetSelected(true, false);
    mManager->SetChMute(0);
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(Amp().channels[1].phase, 0);
    ASSERT_EQ(Amp().channels[1].mute, 0);
    mManager->ToggleBridge(0);
    EXPECT_EQ(mUi.mLoadingShown, 1);
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden >= 2; }, std::chrono::seconds(15)));
    ASSERT_TRUE(WaitQueueIdle());
    virtual_device::AmplifierState amp = Amp();
    EXPECT_EQ(amp.bridges[0], 1);
    EXPECT_EQ(amp.channels[1].trimAttenuation, 5);
    EXPECT_EQ(amp.channels[1].delayThousandths, amp.channels[0].delayThousandths);
    EXPECT_EQ(amp.channels[1].type, amp.channels[0].type);
    EXPECT_EQ(amp.channels[1].phase, 1);
    EXPECT_EQ(amp.channels[1].mute, 1);
    EXPECT_TRUE(mPage.Get("ch_phase_1").Selected());
    EXPECT_TRUE(mPage.Get("ch_mute_1").Selected());
    EXPECT_TRUE(mPage.Get("ch_bridge_0").Selected());
    EXPECT_EQ(mPage.Get("bridge_hl_0").mImage, "ch_in_selected.png");

    mManager->ToggleBridge(0);
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden >= 3; }, std::chrono::seconds(15)));
    ASSERT_TRUE(WaitQueueIdle());
    amp = Amp();
    EXPECT_EQ(amp.bridges[0], 0);
    EXPECT_EQ(amp.channels[0].type, 0);
    EXPECT_EQ(amp.channels[1].type, 0);
    EXPECT_EQ(amp.channels[0].phase, 0);
    EXPECT_EQ(amp.channels[1].phase, 0);
    EXPECT_FALSE(mPage.Get("ch_phase_1").Selected());
    for (int s = 0; s < 10; ++s) {
        EXPECT_EQ(amp.sources[s].mixMask[0], 0u) << "source " << s;
        EXPECT_EQ(amp.sources[s].mixMask[1], 0u) << "source " << s;
    }
    EXPECT_EQ(mPage.Get("ch_output_btn_1").Text(), "${output_item_empty}");
}

TEST_F(OutputChannelTest, PullingTheCableDuringABridgeJobNeitherCrashesNorHangs) {
    mDemo.amplifier->UnplugAtReport(3);
    mManager->ToggleBridge(2);
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden >= 2; }, std::chrono::seconds(15)));
    mManager->DevicePlugOut(mPath);
    Settle();
    EXPECT_FALSE(mManager->Link().IsConnected());
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|AMP-A was unplugged");
}

TEST_F(OutputChannelTest, PullingTheCableDuringADragNeitherCrashesNorHangs) {
    for (int i = 1; i <= 20; ++i) {
        if (i == 8) {
            mDemo.amplifier->Unplug();
        }
        MoveTrimSlider(2, -10 * i);
        mManager->OnChVolumeTimer();
    }
    mManager->DevicePlugOut(mPath);
    Settle();
    EXPECT_FALSE(mManager->Link().IsConnected());
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[2].gain, -20.0f);
}

// In delta mode a linked partner keeps its own trim and delay and takes only
// the change: the two outputs start apart, so a copy of the value would show.
TEST_F(OutputChannelTest, ALinkedPartnerFollowsTrimAndDelayWithItsDifference) {
    MoveTrimSlider(0, -30, true);
    MoveTrimSlider(1, -100, true);
    mPage.Get("edit_ch_delay_0").SetText("1");
    mManager->SetChDelayEdit(0);
    mPage.Get("edit_ch_delay_1").SetText("3");
    mManager->SetChDelayEdit(1);
    // The amplifier reports outputs 0/1 and 2/3 linked.
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_CH_LINK, device::OP_UPDATE,
                               {0, 1, 0x01, 0x23, 0x44, 0x66, 0x88});
    ReadSpontaneousReport();
    ASSERT_EQ(mManager->WorkingProfile().linkMode, 1);
    EXPECT_EQ(mManager->WorkingProfile().linkOutputs[0], 1);
    EXPECT_EQ(mManager->WorkingProfile().linkOutputs[3], 2);
    EXPECT_EQ(mManager->WorkingProfile().linkOutputs[4], -1);  // 0x44 links nothing
    EXPECT_FALSE(mPage.Get("ch_output_btn_0").Enabled());

    mPage.Get("slider_ch_volume_0").SetValue(-20);
    mManager->SetChVolumeSlider(0, false, false, true);  // -3 dB to -2 dB
    mPage.Get("edit_ch_delay_0").SetText("2.25");
    mManager->SetChDelayEdit(0);  // 1 ms to 2.25 ms
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].trimAttenuation, 2);
    EXPECT_EQ(Amp().channels[1].trimAttenuation, 9);  // -10 dB + 1 dB
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[1].gain, -9.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_1").Text(), "-9dB");
    EXPECT_EQ(Amp().channels[1].delayMs, 4);  // 3 ms + 1.25 ms
    EXPECT_EQ(Amp().channels[1].delayThousandths, 250);
    EXPECT_EQ(Amp().channels[5].trimAttenuation, 3);  // not linked: untouched

    // The partner moves the other way too, and the change is added, not the
    // value: output 1 down by 4 dB takes output 0 from -2 dB to -6 dB.
    MoveTrimSlider(1, -130, true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[1].trimAttenuation, 13);
    EXPECT_EQ(Amp().channels[0].trimAttenuation, 6);
}

TEST_F(OutputChannelTest, AReportFromTheAmplifierUpdatesProfileAndControlsAndIsEchoedOnce) {
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_TRIM_CH, device::OP_UPDATE,
                               {0, 0, 2, 2, 0xF6});  // output 2 at -10 dB
    ReadSpontaneousReport();
    ASSERT_TRUE(WaitQueueIdle());
    Settle();
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[2].gain, -10.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_2").Text(), "-10dB");
    EXPECT_EQ(mPage.Get("slider_ch_volume_2").Value(), -100);
    // The trim goes back to the amplifier once with the same value, and
    // that acknowledgement starts nothing further.
    EXPECT_EQ(Sets(device::DSP_TRIM_CH).size(), 1u);
    EXPECT_EQ(Amp().channels[2].trimAttenuation, 10);
}

TEST_F(OutputChannelTest, ReportsForAStoredSceneLeaveTheViewAlone) {
    const std::string before = mPage.Get("edit_ch_volume_4").Text();
    // Scene 3, and the last stored scene, 10.
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_TRIM_CH, device::OP_UPDATE,
                               {3, 0, 4, 4, 0xF0});
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_TRIM_CH, device::OP_UPDATE,
                               {10, 0, 4, 4, 0xEC});
    ReadSpontaneousReport();
    ReadSpontaneousReport();
    EXPECT_FLOAT_EQ(mManager->SceneProfile(3).channels[4].gain, -16.0f);
    EXPECT_FLOAT_EQ(mManager->SceneProfile(10).channels[4].gain, -20.0f);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[4].gain, -3.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_4").Text(), before);
}

TEST_F(OutputChannelTest, CurrentChannelFollowsTheSelectButton) {
    mManager->SetCurChannelChange(7);
    EXPECT_EQ(mManager->CurrentChannel(), 7);
    EXPECT_TRUE(mPage.Get("ch_enable_7").Selected());
    EXPECT_FALSE(mPage.Get("ch_enable_0").Selected());
    EXPECT_EQ(mPage.Get("label_channel_name").Text(), "CH8");
    EXPECT_EQ(mPage.Get("edit_ch_volume").Text(), "-3dB");
}

}  // namespace

namespace {

TEST_F(OutputChannelTest, TheChartShowsTheComputedResponseOfTheCurrentOutput) {
    const test_support::FakeChart& chart = mUi.mChart;
    ASSERT_EQ(chart.mFrequency.size(), 10u);
    ASSERT_EQ(chart.mBands.size(), 21u);
    EXPECT_FLOAT_EQ(chart.mBands[13].eqGain, -3.0f);
    EXPECT_EQ(chart.mBands[13].freq, 1800);
    EXPECT_EQ(chart.mCurrent, 0);
    // Output 0 of the demo tune: -3 dB at 1800 Hz, +2.5 dB at 80 Hz.
    EXPECT_NEAR(chart.ShownDbAt(0, 1800.0), -3.0, 0.3);
    EXPECT_NEAR(chart.ShownDbAt(0, 80.0), 2.5, 0.5);

    // A report that changes a band redraws the chart with it.
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_EQ_CH, device::OP_UPDATE,
                               {0, 0, 0, 10, 10,    // scene, source, output 0, bands 10..10
                                0x03, 0xE8, 5, 80,  // 1000 Hz, Q 5.80
                                18 + 6, 0});        // +6.0 dB, peaking
    ReadSpontaneousReport();
    EXPECT_FLOAT_EQ(chart.mBands[10].eqGain, 6.0f);
    EXPECT_NEAR(chart.ShownDbAt(0, 1000.0), 6.0, 0.3);

    // Showing another output adds its curve behind the current one.
    mPage.Get("ch_show_9").SetSelected(true, false);
    mManager->SetChShow(9);
    ASSERT_EQ(chart.mShow.size(), 10u);
    EXPECT_NE(chart.mShow[9], 0);
    EXPECT_NEAR(chart.ShownDbAt(9, 40.0), 3.0, 0.5);  // output 9: +3 dB at 40 Hz
}

}  // namespace
