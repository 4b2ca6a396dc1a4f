// The mixer against the virtual amplifier, on a window without a screen:
// each control's change down to the amplifier's mix masks, levels, phases,
// bridges and cross-source choices; its clip reports up to the lamps; and
// the read-back of levels the user turned down to 0.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "controller/mixer.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"

namespace {

using controller::Mixer;

constexpr int kLow = 4;
constexpr int kBt = 2;

class MixerTest : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
    }

    // A mixer window for the source, its sliders 0..100 and its cross-source
    // combos with the items the layout gives them.
    Mixer& Open(int source) {
        for (int c = 0; c < 10; ++c) {
            for (int r = 0; r < controller::kMixerRows; ++r) {
                Slider(c, r).SetRange(0, 100);
            }
        }
        for (int k = 0; k < 2; ++k) {
            auto& combo = mWindow.Get("cmb_csm_vice_source_" + std::to_string(k));
            combo.AddItem("none", "1000");
            for (const char* tag :
                 {"0000", "0001", "0200", "0201", "0400", "0401", "0402", "0500", "0506", "0507"}) {
                combo.AddItem(tag, tag);
            }
        }
        mMixer = std::make_unique<Mixer>(*mManager, mWindow, source);
        mStartsTimer = mMixer->Fill();
        return *mMixer;
    }
    test_support::FakeControl& Cell(const char* kind, int output, int row) {
        return mWindow.Get(std::string("box_") + kind + std::to_string(output) + "_" +
                           std::to_string(row));
    }
    test_support::FakeControl& Slider(int output, int row) { return Cell("volume_", output, row); }
    test_support::FakeControl& Edit(int output, int row) { return Cell("edit_", output, row); }
    test_support::FakeControl& Enable(int output, int row) { return Cell("enable_", output, row); }
    void Notify(const std::string& type, const std::string& name) {
        toolkit::Notification n;
        n.type = type;
        n.name = name;
        n.sender = &mWindow.Get(name);
        EXPECT_TRUE(mMixer->Handle(n)) << type << " " << name;
    }
    void Type(int output, int row, const std::string& text) {
        Edit(output, row).SetText(text);
        mDemo.amplifier->ClearReceived();
        Notify("return", "box_edit_" + std::to_string(output) + "_" + std::to_string(row));
        ASSERT_TRUE(WaitQueueIdle());
    }
    // The mixer levels the amplifier received: (input bit, output, level).
    std::vector<std::vector<int>> LevelsSent() {
        std::vector<std::vector<int>> sent;
        for (const auto& data : SetsOf(device::DSP_INPUT_MIX_CH_TRIM)) {
            sent.push_back({data[2], data[3], data[5]});
        }
        return sent;
    }
    bool Routed(int source, int bit, int output) {
        return (Amp().sources[source].mixMask[output] >> bit & 1u) != 0;
    }
    void SelectItem(int k, const std::string& tag) {
        auto& combo = mWindow.Get("cmb_csm_vice_source_" + std::to_string(k));
        for (int i = 0; i < combo.ItemCount(); ++i) {
            if (combo.ItemUserData(i) == tag) {
                combo.SelectItem(i, false);
            }
        }
        Notify("itemselect", "cmb_csm_vice_source_" + std::to_string(k));
        ASSERT_TRUE(WaitQueueIdle());
    }
    std::string SelectedTag(int k) {
        auto& combo = mWindow.Get("cmb_csm_vice_source_" + std::to_string(k));
        return combo.ItemUserData(combo.SelectedIndex());
    }

    test_support::FakePage mWindow;
    std::unique_ptr<Mixer> mMixer;
    bool mStartsTimer = false;
};

TEST_F(MixerTest, RowsMapToMaskBitsAfterTheSourcesInputs) {
    Mixer& low = Open(kLow);
    EXPECT_EQ(low.InputCount(), 8);
    EXPECT_TRUE(low.HasCrossSource());
    EXPECT_EQ(low.BitOfRow(3), 3);
    EXPECT_EQ(low.BitOfRow(8), 8);
    EXPECT_EQ(low.BitOfRow(9), 9);
    EXPECT_EQ(low.CrossIndex(1), 9);
    EXPECT_EQ(mWindow.Get("title_label_3").Text(), "${source_low_3}");
    EXPECT_TRUE(mStartsTimer) << "both lamp families are there";
    EXPECT_TRUE(mWindow.Get("cmb_csm_vice_source_1").Visible());
    EXPECT_FALSE(mWindow.Get("csm_vice_gain_edit_1").Visible()) << "no cross-source gain here";

    test_support::FakePage other;
    Mixer bt(*mManager, other, kBt);
    bt.Fill();
    EXPECT_EQ(bt.InputCount(), 2);
    EXPECT_EQ(bt.BitOfRow(8), 2);
    EXPECT_EQ(bt.BitOfRow(9), 3);
    EXPECT_EQ(bt.CrossIndex(0), 2);
    EXPECT_FALSE(bt.IsRowActive(2));
    EXPECT_FALSE(other.Get("mixer_row_5").Visible());
    EXPECT_TRUE(other.Get("mixer_row_8").Visible());
    EXPECT_EQ(other.Get("title_label_0").Text(), "${source_bt_l}");
    EXPECT_EQ(other.Get("title_label_1").Text(), "${source_bt_r}");
}

TEST_F(MixerTest, ACrossSourceRowOfATwoInputSourceMixesBitTwo) {
    Open(kBt);
    Slider(3, 8).SetValue(40);
    mDemo.amplifier->ClearReceived();
    Notify("valuechanged", "box_volume_3_8");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{2, 3, 40}}));
    EXPECT_TRUE(Routed(kBt, 2, 3));
    EXPECT_EQ(Amp().sources[kBt].mixTrim[2][3], 40);
}

TEST_F(MixerTest, TheSliderSetsTheLevelAndSwitchesThePointOn) {
    Open(kLow);
    ASSERT_FALSE(Routed(kLow, 5, 2));
    Slider(2, 5).SetValue(63);
    mDemo.amplifier->ClearReceived();
    Notify("movevaluechanged", "box_volume_2_5");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{5, 2, 63}}));
    EXPECT_EQ(Amp().sources[kLow].mixTrim[5][2], 63);
    EXPECT_TRUE(Routed(kLow, 5, 2)) << "the amplifier routes the input now";
    EXPECT_TRUE(Enable(2, 5).Selected());
    EXPECT_EQ(Edit(2, 5).Text(), "63");
    EXPECT_TRUE(mPage.Get("option_ch_in6_2").Selected()) << "the main page shows the routing";
}

TEST_F(MixerTest, TypedLevelsAreLimitedAndZeroSwitchesThePointOff) {
    Open(kLow);
    Type(0, 0, "150");
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{}))
        << "input 1 of output 1 plays at 100 already: 150 is 100";
    EXPECT_EQ(Edit(0, 0).Text(), "100");
    Type(0, 0, "70");
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{0, 0, 70}}));
    Type(0, 0, "-5");
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{0, 0, 0}}));
    EXPECT_FALSE(Enable(0, 0).Selected());
    EXPECT_FALSE(Routed(kLow, 0, 0));
    EXPECT_EQ(Edit(0, 0).Text(), "0");
    Type(1, 3, "150");
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{3, 1, 100}}));
}

TEST_F(MixerTest, TextThatIsNoNumberSendsNothingAndShowsTheLevelAgain) {
    Open(kLow);
    Type(0, 0, "55");
    Type(0, 0, "loud");
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
    EXPECT_EQ(Edit(0, 0).Text(), "55");
    EXPECT_EQ(Amp().sources[kLow].mixTrim[0][0], 55);
}

TEST_F(MixerTest, StepsMoveTheLevelByOneWithinTheSlidersRange) {
    Open(kLow);
    Type(0, 0, "99");
    mDemo.amplifier->ClearReceived();
    Notify("valuechangedup", "box_edit_0_0");
    Notify("valuechangedup", "box_edit_0_0");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{0, 0, 100}}));
    mDemo.amplifier->ClearReceived();
    Notify("valuechangeddown", "box_edit_0_0");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{0, 0, 99}}));
}

TEST_F(MixerTest, EnablingAPointWithNoLevelPlaysItAtFullLevel) {
    Open(kLow);
    ASSERT_EQ(mManager->WorkingProfile().inputMixVolume[kLow][6][3], 0);
    Enable(3, 6).SetSelected(true, false);
    mDemo.amplifier->ClearReceived();
    Notify("selectchanged", "box_enable_3_6");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{6, 3, 100}}));
    EXPECT_TRUE(Routed(kLow, 6, 3));
    Enable(3, 6).SetSelected(false, false);
    mDemo.amplifier->ClearReceived();
    Notify("selectchanged", "box_enable_3_6");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{6, 3, 0}}));
    EXPECT_FALSE(Routed(kLow, 6, 3));
}

TEST_F(MixerTest, ALevelTurnedDownToZeroReadsBackAsZero) {
    // The amplifier routes input 1 to output 1 at level 0.
    virtual_device::AmplifierState state = Amp();
    state.sources[kLow].mixMask[0] |= 1u;
    state.sources[kLow].mixTrim[0][0] = 0;
    mDemo.protocol->SetState(0, state);
    mManager->DisconnectDevice();
    ASSERT_TRUE(ConnectAndSync());
    EXPECT_EQ(mManager->WorkingProfile().inputMixVolume[kLow][0][0], 0);
    Open(kLow);
    EXPECT_TRUE(Enable(0, 0).Selected());
    EXPECT_EQ(Edit(0, 0).Text(), "0");
    EXPECT_EQ(Slider(0, 0).Value(), 0);
}

TEST_F(MixerTest, APointSwitchedOffOnTheMainPageShowsNoLevel) {
    // Input 1 of output 1 is switched off by its routing option; its level
    // is kept for when it comes back, but the point plays nothing.
    mPage.Get("option_ch_in1_0").SetSelected(false, false);
    mManager->SetInputIn(1, 0);
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(mManager->WorkingProfile().inputMixVolume[kLow][0][0], 100);
    Open(kLow);
    EXPECT_FALSE(Enable(0, 0).Selected());
    EXPECT_EQ(Edit(0, 0).Text(), "0");
    EXPECT_EQ(Slider(0, 0).Value(), 0);
    EXPECT_EQ(mMixer->EffectiveLevel(0, 0), 0);
    // Switching it on in the mixer brings the kept level back.
    Enable(0, 0).SetSelected(true, false);
    mDemo.amplifier->ClearReceived();
    Notify("selectchanged", "box_enable_0_0");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{0, 0, 100}}));
    EXPECT_TRUE(Routed(kLow, 0, 0));
}

TEST_F(MixerTest, TheInputPhaseIsStoredAndSent) {
    Open(kLow);
    mWindow.Get("in_phase_2").SetSelected(true, false);
    Notify("selectchanged", "in_phase_2");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sources[kLow].inputPhase[2], 1);
    EXPECT_EQ(mManager->WorkingProfile().inMixPhase[kLow][2], 1);
    mWindow.Get("in_phase_2").SetSelected(false, false);
    Notify("selectchanged", "in_phase_2");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sources[kLow].inputPhase[2], 0);
}

TEST_F(MixerTest, ABridgedPairMixesAlike) {
    Open(kLow);
    mWindow.Get("ch_bridge_1").SetSelected(true, false);
    Notify("selectchanged", "ch_bridge_1");
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden >= mUi.mLoadingShown; }));
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NE(Amp().bridges[1], 0);
    EXPECT_EQ(Amp().sources[kLow].mixMask[3], Amp().sources[kLow].mixMask[2])
        << "the right half takes the left half's mix";
    Slider(2, 4).SetValue(30);
    mDemo.amplifier->ClearReceived();
    Notify("valuechanged", "box_volume_2_4");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LevelsSent(), (std::vector<std::vector<int>>{{4, 2, 30}, {4, 3, 30}}));
    EXPECT_TRUE(Routed(kLow, 4, 3));
    EXPECT_EQ(Slider(3, 4).Value(), 30);
}

TEST_F(MixerTest, ClearingSwitchesEveryPointOfTheSourceOff) {
    Open(kLow);
    ASSERT_NE(Amp().sources[kLow].mixMask[0], 0u);
    Notify("click", "btn_reset_input");
    ASSERT_TRUE(WaitQueueIdle());
    for (int o = 0; o < 10; ++o) {
        EXPECT_EQ(Amp().sources[kLow].mixMask[o], 0u) << "output " << o;
        EXPECT_EQ(Amp().sources[kLow].mixTrim[0][o], 0) << "output " << o;
        EXPECT_FALSE(Enable(o, 0).Selected());
    }
    EXPECT_NE(Amp().sources[kBt].mixMask[0], 0u) << "other sources keep their mix";
}

TEST_F(MixerTest, FocusWalksTheInputCellsAndWraps) {
    Open(kLow);
    Notify("valuechangedright", "box_edit_9_7");
    EXPECT_TRUE(Edit(0, 0).mFocused) << "past the last cell: the first";
    Notify("valuechangedleft", "box_edit_0_0");
    EXPECT_TRUE(Edit(9, 7).mFocused) << "before the first cell: the last";
    Notify("valuechangedright", "box_edit_4_2");
    EXPECT_TRUE(Edit(5, 2).mFocused);
    EXPECT_FALSE(Edit(0, 8).mFocused) << "the cross-source rows are not visited";
}

TEST_F(MixerTest, ACrossSourceChoiceIsSentForItsRowAndPairsTheOtherRow) {
    Open(kLow);
    SelectItem(1, "0200");  // the second row plays Bluetooth L
    EXPECT_EQ(Amp().sources[kLow].crossMix[9].viceSource, 2);
    mDemo.amplifier->ClearReceived();
    SelectItem(0, "0400");  // the first row: low level 1
    EXPECT_EQ(Amp().sources[kLow].crossMix[8].viceSource, 4);
    EXPECT_EQ(Amp().sources[kLow].crossMix[8].viceChannel, 0);
    EXPECT_EQ(Amp().sources[kLow].crossMix[9].viceSource, 4) << "the pair plays one source";
    EXPECT_EQ(Amp().sources[kLow].crossMix[9].viceChannel, 1);
    EXPECT_EQ(SelectedTag(1), "0401");
    EXPECT_EQ(SetsOf(device::DSP_CROSS_SOURCE_MIX_CS47048).size(), 2u);

    mDemo.amplifier->ClearReceived();
    SelectItem(0, "0402");  // another channel of the same source: the pair stays
    EXPECT_EQ(SelectedTag(1), "0401");
    EXPECT_EQ(SetsOf(device::DSP_CROSS_SOURCE_MIX_CS47048).size(), 1u);
}

TEST_F(MixerTest, ARowThatMixesNothingStaysSoAndTheChoiceShowsOnReopening) {
    Open(kLow);
    SelectItem(0, "0500");
    EXPECT_EQ(SelectedTag(1), "1000") << "a row mixing nothing is not paired";
    Open(kLow);
    EXPECT_EQ(SelectedTag(0), "0500");
}

TEST_F(MixerTest, ClipReportsLightTheLampsOnTheNextTick) {
    Open(kLow);
    mMixer->OnStatusTick();
    ASSERT_TRUE(Pump([&] { return mManager->Link().IsCmdQueueIdle(); }));
    Settle();
    mMixer->OnStatusTick();
    // The demo feeds input 1 hot; output 2 hears only input 2.
    EXPECT_EQ(mWindow.Get("in_distort_0").mBkColor, controller::kLampLitColor);
    EXPECT_EQ(mWindow.Get("in_distort_1").mBkColor, controller::kLampDarkColor);
    EXPECT_EQ(mWindow.Get("out_distort_0").mBkColor, controller::kLampLitColor);
    EXPECT_EQ(mWindow.Get("out_distort_1").mBkColor, controller::kLampDarkColor);

    mDemo.protocol->SetInputPeak(kLow, 0, 10);
    Settle();
    mMixer->OnStatusTick();
    ASSERT_TRUE(WaitQueueIdle());
    Settle();
    mMixer->OnStatusTick();
    EXPECT_EQ(mWindow.Get("in_distort_0").mBkColor, controller::kLampDarkColor);
    EXPECT_EQ(mWindow.Get("out_distort_0").mBkColor, controller::kLampDarkColor);
}

TEST_F(MixerTest, TheLampTimerNeverWaitsForTheAmplifier) {
    Open(kLow);
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->SetStalled(true);  // the amplifier takes no report now
    auto tick = std::async(std::launch::async, [&] { mMixer->OnStatusTick(); });
    const bool returned = tick.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    mDemo.amplifier->SetStalled(false);
    tick.wait();
    EXPECT_TRUE(returned) << "the requests are queued, not sent and waited for";
}

TEST_F(MixerTest, TicksWhileTheLinkIsBusyAskNothingMore) {
    Open(kLow);
    mDemo.amplifier->ClearReceived();
    // A slow amplifier: each answer comes 300 ms late.
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(300));
    for (int tick = 0; tick < 5; ++tick) {
        mMixer->OnStatusTick();
    }
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(0));
    size_t inputRequests = 0;
    for (auto& [sub, data] : DspFrames(device::OP_GET)) {
        inputRequests += sub == device::DSP_INPUT_CH_DISTORT ? 1 : 0;
    }
    EXPECT_EQ(inputRequests, 1u) << "one round of requests at a time, none piled up";
}

TEST_F(MixerTest, ClipRequestsAreQueuedAndDroppedWhileDisconnected) {
    Open(kLow);
    mManager->DisconnectDevice();
    EXPECT_GE(mUi.mMixerCloses, 1) << "disconnecting closes the mixer";
    mDemo.amplifier->ClearReceived();
    mMixer->OnStatusTick();  // must neither block nor reach the amplifier
    Settle();
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
}

TEST_F(MixerTest, NothingIsHandledBeforeTheWindowIsFilled) {
    Mixer mixer(*mManager, mWindow, kLow);
    toolkit::Notification n;
    n.type = "click";
    n.name = "btn_reset_input";
    EXPECT_FALSE(mixer.Handle(n));
    EXPECT_NE(mManager->WorkingProfile().inputs[kLow][0], 0);
}

TEST_F(MixerTest, TheAdvancedMenusMixerOpensTheWindow) {
    mManager->OpenMixer();
    EXPECT_EQ(mUi.mMixerWindowsOpened, 1);
}

}  // namespace
