// Crossover and EQ editing of the current output, from the user's edits,
// steps, combos, buttons and chart drags down to the frames and the state of
// the virtual amplifier, and on to linked outputs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller_fixture.h"
#include "device/dsp_subcommands.h"

namespace {

using Data = std::vector<uint8_t>;

class EqEditing : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mManager->SetClock([this] { return mNow; });
        mDemo.amplifier->ClearReceived();
    }
    // The data of every set frame of one sub-command since the last clear.
    void Type(const std::string& edit, const std::string& text) { mPage.Get(edit).SetText(text); }
    void TypeBand(int band, const char* freq, const char* q, const char* gain) {
        Type("eq_freq_" + std::to_string(band), freq);
        Type("eq_q_" + std::to_string(band), q);
        Type("eq_gain_" + std::to_string(band), gain);
        mManager->SetChEqEdit(band);
    }
    void SetHp(const char* text) {
        Type("hp_freq", text);
        mManager->SetCrossoverFreqEdit(true);
    }
    void SetLp(const char* text) {
        Type("lp_freq", text);
        mManager->SetCrossoverFreqEdit(false);
    }
    const model::Channel& Ch(int c) { return mManager->WorkingProfile().channels[c]; }
    const model::EqBand& BandOf(int c, int b) { return mManager->WorkingProfile().eqArray(c)[b]; }
    void Drain() { ASSERT_TRUE(WaitQueueIdle()); }

    int64_t mNow = 100000;
};

TEST_F(EqEditing, CrossoverFrequenciesAreReadLimitedAndSent) {
    SetLp("20000");
    SetHp("1k2");
    Drain();
    EXPECT_EQ(Ch(0).crossover.hp.fs, 1200);
    EXPECT_EQ(mPage.Get("hp_freq").Text(), "1200Hz");
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 1200);
    // clang-format off
    const Data expected = {
        0, 0, 0,     // scene, source, output 0
        2,           // filter index: the high-pass
        static_cast<uint8_t>(Ch(0).crossover.hp.type),
        0x04, 0xB0,  // 1200 Hz
        static_cast<uint8_t>(Ch(0).crossover.hp.slope),
    };
    // clang-format on
    EXPECT_EQ(SetsOf(device::DSP_FILTER_SET).back(), expected);

    SetHp("30000");  // limited by the low-pass at 20000
    EXPECT_EQ(Ch(0).crossover.hp.fs, 20000);
    SetHp("5");  // below the lowest frequency
    EXPECT_EQ(Ch(0).crossover.hp.fs, 20);
    SetLp("3000");
    SetHp("5000");  // a high-pass never goes above the low-pass
    EXPECT_EQ(Ch(0).crossover.hp.fs, 3000);
    SetLp("100");  // nor the low-pass below the high-pass
    EXPECT_EQ(Ch(0).crossover.lp.fs, 3000);
    Drain();
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 3000);
    EXPECT_EQ(Amp().channels[0].lowPass.frequency, 3000);
}

TEST_F(EqEditing, ACrossoverTextThatIsNotAFrequencyChangesNothing) {
    SetHp("200");
    Drain();
    mDemo.amplifier->ClearReceived();
    SetHp("abc");
    SetLp("");
    Drain();
    EXPECT_TRUE(SetsOf(device::DSP_FILTER_SET).empty());
    EXPECT_EQ(Ch(0).crossover.hp.fs, 200);
    EXPECT_EQ(mPage.Get("hp_freq").Text(), "200Hz");
}

TEST_F(EqEditing, CrossoverStepsFollowTheFrequencyGrid) {
    SetHp("1000");
    mManager->SetHpFreqUp(true);
    const int up = Ch(0).crossover.hp.fs;
    EXPECT_GT(up, 1000);
    EXPECT_LT(up, 1100);
    mManager->SetHpFreqUp(false);
    EXPECT_LE(Ch(0).crossover.hp.fs, 1000);
    SetHp("20");
    Drain();  // the frames of the edits above are out before the count starts
    mDemo.amplifier->ClearReceived();
    mManager->SetHpFreqUp(false);  // already at the bottom: nothing
    Drain();
    EXPECT_TRUE(SetsOf(device::DSP_FILTER_SET).empty());
}

TEST_F(EqEditing, LinkwitzRileyTakesOnlyEvenSlopes) {
    for (int i = 0; i <= 8; ++i) {
        mPage.Get("hp_slop").AddItem(std::to_string(i * 6) + " dB/oct", std::to_string(i));
    }
    mPage.Get("hp_slop").SelectItem(3, false);  // 18 dB/oct
    mManager->SetCrossoverSlope(true);
    EXPECT_EQ(Ch(0).crossover.hp.slope, 3);
    mPage.Get("hp_type").SelectItem(1, false);  // Linkwitz-Riley, type 2
    mManager->SetCrossoverType(true);
    EXPECT_EQ(Ch(0).crossover.hp.type, 2);
    EXPECT_EQ(Ch(0).crossover.hp.slope, 4);
    EXPECT_EQ(mPage.Get("hp_slop").SelectedIndex(), 4);
    for (int odd : {1, 3, 5, 7}) {
        EXPECT_FALSE(mPage.Get("hp_slop").ItemVisible(odd)) << odd;
    }
    Drain();
    EXPECT_EQ(Amp().channels[0].highPass.type, 2);
    EXPECT_EQ(Amp().channels[0].highPass.slope, 4);
    mPage.Get("hp_type").SelectItem(0, false);  // Butterworth shows them again
    mManager->SetCrossoverType(true);
    EXPECT_TRUE(mPage.Get("hp_slop").ItemVisible(3));
}

TEST_F(EqEditing, BandEditsAreLimitedAndSent) {
    TypeBand(4, "1k2", "12", "4.25");
    Drain();
    EXPECT_EQ(BandOf(0, 4).freq, 1200);
    EXPECT_FLOAT_EQ(BandOf(0, 4).eqFactor, 9.0f);
    EXPECT_EQ(mPage.Get("eq_q_4").Text(), "9.00");
    EXPECT_NEAR(BandOf(0, 4).eqGain, 4.3f, 1e-5);  // the slider holds tenths
    EXPECT_EQ(mPage.Get("eq_gain_4").Text(), "4.3");
    EXPECT_EQ(Amp().channels[0].eq[4].frequency, 1200);
    TypeBand(4, "30000", "0.2", "4.3");  // a frequency out of range keeps the stored one
    EXPECT_EQ(BandOf(0, 4).freq, 1200);
    EXPECT_EQ(mPage.Get("eq_freq_4").Text(), "1200");
    EXPECT_EQ(mPage.Get("eq_q_4").Text(), "0.50");
    TypeBand(4, "1200", "x", "y");  // no number: nothing changes
    EXPECT_FLOAT_EQ(BandOf(0, 4).eqFactor, 0.5f);
    EXPECT_NEAR(BandOf(0, 4).eqGain, 4.3f, 1e-5);
}

TEST_F(EqEditing, TheLastGainGoingToZeroBypassesTheChannel) {
    // Output 8 of the demo tune has one band with a gain: band 1, +3 dB.
    mManager->SetCurChannelChange(8);
    mDemo.amplifier->ClearReceived();
    TypeBand(1, "40", "5.80", "0");
    Drain();
    EXPECT_EQ(mPage.Get("btn_bypass").Text(), "${restore_eq}");
    EXPECT_TRUE(Ch(8).bypass);
    EXPECT_EQ(SetsOf(device::DSP_EQ_BYPASS), (std::vector<Data>{{0, 0, 8, 8, 1}}));
    EXPECT_EQ(Amp().channels[8].eqBypass, 1);
    // A band set to 0 dB while others keep their gains leaves the EQ on:
    // output 0 has gains on bands 4, 13 and 17.
    mManager->SetCurChannelChange(0);
    TypeBand(13, "1800", "5.80", "0");
    EXPECT_FALSE(Ch(0).bypass);
    EXPECT_EQ(mPage.Get("btn_bypass").Text(), "${bypass_eq}");
    mManager->SetCurChannelChange(8);
    // A small gain is a setting, not a flat channel.
    TypeBand(2, "63", "5.80", "0.5");
    EXPECT_FALSE(Ch(8).bypass);
    EXPECT_EQ(mPage.Get("btn_bypass").Text(), "${bypass_eq}");
}

TEST_F(EqEditing, EditingABypassedChannelStartsFromFlat) {
    // Output 0 carries gains on bands 4, 13 and 17; bypass it.
    mManager->SetOutputBypass();
    ASSERT_TRUE(Ch(0).bypass);
    EXPECT_EQ(mUi.mAsked.back(), "${tips}|${bypass_all_eq_tips}");
    EXPECT_EQ(mPage.Get("eq_gain_13").Text(), "0.0");  // the view shows it flat
    mDemo.amplifier->ClearReceived();
    TypeBand(10, "800", "5.80", "2");
    Drain();
    EXPECT_FALSE(Ch(0).bypass);
    EXPECT_FLOAT_EQ(BandOf(0, 4).eqGain, 0.0f);
    EXPECT_FLOAT_EQ(BandOf(0, 13).eqGain, 0.0f);
    EXPECT_FLOAT_EQ(BandOf(0, 10).eqGain, 2.0f);
    EXPECT_EQ(Amp().channels[0].eqBypass, 0);
    EXPECT_EQ(Amp().channels[0].eq[13].gainByte & 0x1F, 18);  // 0 dB
}

TEST_F(EqEditing, BypassAndResetAskFirst) {
    mUi.mAnswers = {false};
    mManager->SetOutputBypass();
    EXPECT_FALSE(Ch(0).bypass);
    mManager->SetOutputBypass();  // yes this time
    EXPECT_TRUE(Ch(0).bypass);
    mManager->SetOutputBypass();  // restoring asks too
    EXPECT_EQ(mUi.mAsked.back(), "${tips}|${restore_all_eq_tips}");
    EXPECT_FALSE(Ch(0).bypass);

    mDemo.amplifier->ClearReceived();
    mUi.mAnswers = {false};
    mManager->SetOutputEqReset();
    Drain();
    EXPECT_TRUE(SetsOf(device::DSP_EQ_RESET).empty());
    mManager->SetOutputEqReset();
    Drain();
    EXPECT_EQ(SetsOf(device::DSP_EQ_RESET), (std::vector<Data>{{0, 0, 1, 0}}));
    EXPECT_FLOAT_EQ(BandOf(0, 13).eqGain, 0.0f);
    EXPECT_EQ(mPage.Get("btn_bypass").Text(), "${bypass_eq}");
}

TEST_F(EqEditing, BandTypeOtherThanPeakingHasNoGain) {
    mUi.mChart.mSelected = 13;  // the band selected on the chart
    mPage.Get("comb_eq_type").AddItem("peaking", "0");
    mPage.Get("comb_eq_type").AddItem("all-pass", "1");
    mPage.Get("comb_eq_type").AddItem("type 2", "2");
    mPage.Get("comb_eq_type").AddItem("type 3", "3");
    mPage.Get("comb_eq_type").SelectItem(3, false);
    mManager->SetEqType();
    Drain();
    EXPECT_EQ(BandOf(0, 13).type, 3);
    EXPECT_FLOAT_EQ(BandOf(0, 13).eqGain, 0.0f);
    EXPECT_FALSE(mPage.Get("eq_gain_13").Enabled());
    EXPECT_FALSE(mPage.Get("eq_slider_13").Enabled());
    EXPECT_EQ(Amp().channels[0].eq[13].gainByte, (3 << 5) | 18);  // type 3, 0 dB
    // An all-pass band has no gain either.
    mUi.mChart.mSelected = 17;
    mPage.Get("comb_eq_type").SelectItem(1, false);
    mManager->SetEqType();
    EXPECT_EQ(BandOf(0, 17).type, 1);
    EXPECT_FLOAT_EQ(BandOf(0, 17).eqGain, 0.0f);
}

// What the device reported out of range goes back to it within range.
TEST_F(EqEditing, ABandIsSentWithinTheDevicesRange) {
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_EQ_CH, device::OP_UPDATE,
                               {0, 0, 0, 3, 3,      // scene, source, output 0, bands 3..3
                                0x75, 0x30, 5, 80,  // 30000 Hz, Q 5.80
                                18 + 1, 0});        // +1.0 dB, peaking
    ReadSpontaneousReport();
    ASSERT_EQ(BandOf(0, 3).freq, 30000);
    mDemo.amplifier->ClearReceived();
    mManager->SetEqGainUp(3, true);
    Drain();
    ASSERT_FALSE(SetsOf(device::DSP_EQ_CH).empty());
    EXPECT_EQ(Amp().channels[0].eq[3].frequency, 20000);
}

TEST_F(EqEditing, BandEnableSendsGainZeroAndBringsItBack) {
    mManager->ToggleEqEnable(13);  // -3 dB band of output 0
    Drain();
    EXPECT_FALSE(BandOf(0, 13).enable);
    EXPECT_FLOAT_EQ(BandOf(0, 13).eqGain, -3.0f);  // kept for later
    EXPECT_EQ(mPage.Get("eq_gain_13").Text(), "0.0");
    EXPECT_EQ(Amp().channels[0].eq[13].gainByte & 0x1F, 18);
    mManager->ToggleEqEnable(13);
    Drain();
    EXPECT_TRUE(BandOf(0, 13).enable);
    EXPECT_EQ(mPage.Get("eq_gain_13").Text(), "-3.0");
    EXPECT_EQ(Amp().channels[0].eq[13].gainByte & 0x1F, 15);
}

TEST_F(EqEditing, GeqModeLocksFrequencyAndQ) {
    const bool peq = mManager->IsPeqMode();
    mManager->TogglePeqMode();
    EXPECT_EQ(mManager->IsPeqMode(), !peq);
    EXPECT_EQ(mUi.mChart.mPeq, !peq);
    EXPECT_EQ(mPage.Get("eq_freq_3").Enabled(), !peq);
    EXPECT_EQ(mPage.Get("eq_q_3").Enabled(), !peq);
    EXPECT_TRUE(mPage.Get("eq_gain_3").Enabled());
    EXPECT_EQ(mPage.Get("btn_arg_eq").Text(), !peq ? "${peq_mode}" : "${geq_mode}");
    mUi.mAnswers = {false};
    mManager->TogglePeqMode();  // refused: the mode stays
    EXPECT_EQ(mManager->IsPeqMode(), !peq);
}

// A drag sends at most one band command per 500 ms, and always the last
// position on release; the chart is fed back after every move.
TEST_F(EqEditing, ADraggedBandSendsEveryFiveHundredMsAndOnRelease) {
    test_support::FakeChart& chart = mUi.mChart;
    ASSERT_EQ(chart.mBands.size(), 21u);
    auto dragTo = [&](int freq, float gain, bool release) {
        chart.mBands[5].freq = freq;
        chart.mBands[5].eqGain = gain;
        chart.mSelected = 5;
        mManager->EqualizerCallback(5, 0, release);
    };
    dragTo(500, 1.0f, false);  // sent
    mNow += 100;
    dragTo(520, 2.0f, false);  // held
    mNow += 300;
    dragTo(540, 3.0f, false);  // held: 400 ms after the first
    mNow += 200;
    dragTo(560, 4.0f, false);  // 600 ms: sent
    mNow += 50;
    dragTo(580, 5.0f, true);  // the release: sent
    Drain();
    const auto bands = SetsOf(device::DSP_EQ_CH);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(BandOf(0, 5).freq, 580);
    EXPECT_FLOAT_EQ(BandOf(0, 5).eqGain, 5.0f);
    EXPECT_EQ(Amp().channels[0].eq[5].frequency, 580);
    EXPECT_EQ(mPage.Get("eq_freq_5").Text(), "580");
    EXPECT_EQ(mPage.Get("eq_gain_5").Text(), "5.0");
    EXPECT_EQ(chart.mBands[5].freq, 580);  // fed back as it stands
    EXPECT_NEAR(chart.ShownDbAt(0, 580.0), 5.0, 0.5);
}

TEST_F(EqEditing, HoveringOntoABandSendsNothing) {
    test_support::FakeChart& chart = mUi.mChart;
    chart.mSelected = 7;
    mManager->EqualizerCallback(7, 0, false);
    Drain();
    EXPECT_TRUE(SetsOf(device::DSP_EQ_CH).empty());
    // And it does not hold back the first move of the drag that follows.
    chart.mBands[7].eqGain = -2.0f;
    mManager->EqualizerCallback(7, 0, false);
    Drain();
    EXPECT_EQ(SetsOf(device::DSP_EQ_CH).size(), 1u);
}

// A disabled band is shown flat; hovering onto it keeps it off with its
// stored gain, and only a real move switches it on.
TEST_F(EqEditing, HoveringOntoADisabledBandKeepsIt) {
    mManager->ToggleEqEnable(13);  // off, -3 dB kept
    ASSERT_FALSE(BandOf(0, 13).enable);
    test_support::FakeChart& chart = mUi.mChart;
    ASSERT_FLOAT_EQ(chart.mBands[13].eqGain, 0.0f);
    chart.mSelected = 13;
    mDemo.amplifier->ClearReceived();
    mManager->EqualizerCallback(13, 0, false);
    mManager->EqualizerCallback(13, 0, true);  // a click without moving
    Drain();
    EXPECT_FALSE(BandOf(0, 13).enable);
    EXPECT_FLOAT_EQ(BandOf(0, 13).eqGain, -3.0f);
    EXPECT_EQ(Amp().channels[0].eq[13].gainByte & 0x1F, 18);  // still sent as 0 dB
    mNow += 1000;
    chart.mBands[13].eqGain = 2.0f;  // dragged
    mManager->EqualizerCallback(13, 0, true);
    Drain();
    EXPECT_TRUE(BandOf(0, 13).enable);
    EXPECT_FLOAT_EQ(BandOf(0, 13).eqGain, 2.0f);
}

TEST_F(EqEditing, ADraggedCrossoverHandleMovesTheFilter) {
    test_support::FakeChart& chart = mUi.mChart;
    chart.mHp = 150;
    mManager->EqualizerCallback(-1, 1, false);
    EXPECT_EQ(mPage.Get("hp_freq").Text(), "150Hz");
    mNow += 100;
    chart.mHp = 180;
    mManager->EqualizerCallback(-1, 1, true);
    Drain();
    EXPECT_EQ(SetsOf(device::DSP_FILTER_SET).size(), 2u);
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 180);
    chart.mLp = 5000;
    mManager->EqualizerCallback(-1, 2, true);
    Drain();
    EXPECT_EQ(Amp().channels[0].lowPass.frequency, 5000);
    EXPECT_EQ(chart.mLp, 5000);
}

// Outputs 0 and 1 in link mode; 0, 2 and 5 in one link group. Output 5 is in
// the second link stage: EQ passes inside one stage only, the crossover to
// every member.
TEST_F(EqEditing, LinkedOutputsFollowCrossoverAndEq) {
    model::Profile& p = mManager->WorkingProfile();
    p.linkMode = 1;
    p.linkOutputs[0] = 1;
    p.linkOutputs[1] = 0;
    p.linkGroup[0] = p.linkGroup[2] = p.linkGroup[5] = 1;
    TypeBand(6, "160", "2.00", "-4");
    SetHp("90");
    Drain();
    for (int c : {1, 2}) {
        EXPECT_EQ(BandOf(c, 6).freq, 160) << c;
        EXPECT_FLOAT_EQ(BandOf(c, 6).eqGain, -4.0f) << c;
        EXPECT_EQ(Amp().channels[c].eq[6].frequency, 160) << c;
    }
    EXPECT_NE(BandOf(5, 6).freq, 160);
    for (int c : {1, 2, 5}) {
        EXPECT_EQ(Ch(c).crossover.hp.fs, 90) << c;
        EXPECT_EQ(Amp().channels[c].highPass.frequency, 90) << c;
    }
    EXPECT_NE(Ch(3).crossover.hp.fs, 90);
}

}  // namespace
