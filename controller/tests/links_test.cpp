// Links between outputs: the link mode with its copy of one side to the other,
// the output-type lock, link groups and their reset, and how trim, delay,
// mute and phase changes reach linked outputs, down to the frames and the
// state of the virtual amplifier.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "model/output_type.h"

namespace {

using Data = std::vector<uint8_t>;

class Links : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mManager->SetClock([this] { return mNow += 1000; });
        mDemo.amplifier->ClearReceived();
    }
    model::Profile& P() { return mManager->WorkingProfile(); }
    const model::Channel& Ch(int c) { return P().channels[c]; }
    void Drain() { ASSERT_TRUE(WaitQueueIdle()); }
    void SetType(int channel, int type) {
        mManager->SetOutputValue(channel, model::outputTypeKey(type), false);
    }
    void SetTypes(const std::vector<int>& types) {
        for (size_t c = 0; c < types.size(); ++c) {
            SetType(static_cast<int>(c), types[c]);
        }
    }
    // The trim the amplifier holds for an output, in dB.
    float AmpTrim(int c) {
        const auto state = Amp();
        const auto& ch = state.channels[c];
        return -(ch.trimAttenuation + ch.trimHundredths / 100.0f);
    }
    float AmpDelay(int c) {
        const auto state = Amp();
        const auto& ch = state.channels[c];
        return ch.delayMs + ch.delayThousandths / 1000.0f;
    }
    void TypeTrim(int channel, const std::string& text) {
        mPage.Get("edit_ch_volume_" + std::to_string(channel)).SetText(text);
        mManager->SetChVolumeEdit(channel, false);
    }
    void TypeDelay(int channel, const std::string& text) {
        mPage.Get("edit_ch_delay_" + std::to_string(channel)).SetText(text);
        mManager->SetChDelayEdit(channel, false);
    }
    void LinkWith(int choice) {
        mUi.mChoices.push_back(choice);
        mManager->SetOutputLink();
    }
    bool Enabled(const std::string& name) { return mPage.Get(name).Enabled(); }
    bool Selected(const std::string& name) { return mPage.Get(name).Selected(); }

    int64_t mNow = 100000;
};

TEST_F(Links, MirroredTypesInOneHalfAreLinkableOthersAreRefused) {
    // Front left all on output 0, front right all on output 1: linkable.
    SetTypes({6, 12, 0, 0, 0, 0, 0, 0, 0, 0});
    Drain();
    mDemo.amplifier->ClearReceived();
    LinkWith(1);
    Drain();
    EXPECT_EQ(P().linkMode, 1);
    EXPECT_EQ(P().linkOutputs[0], 1);
    EXPECT_EQ(P().linkOutputs[1], 0);
    EXPECT_EQ(Amp().link, 1);
    EXPECT_EQ(Amp().linkPairs[0], 0x01);
    mManager->SetOutputLink();  // and back
    Drain();
    EXPECT_EQ(P().linkMode, 0);
    EXPECT_EQ(Amp().link, 0);

    // A left type on output 2 and its mirror on output 8 lie in different halves.
    SetTypes({0, 0, 1, 0, 0, 0, 0, 0, 7, 0});
    mUi.mMessages.clear();
    mUi.mAsked.clear();
    mPage.Get("btn_link_output").SetSelected(true, false);
    Drain();
    mDemo.amplifier->ClearReceived();
    LinkWith(1);
    Drain();
    EXPECT_TRUE(mUi.mAsked.empty()) << "nothing to choose when nothing can link";
    ASSERT_EQ(mUi.mMessages.size(), 1u);
    EXPECT_EQ(mUi.mMessages[0], "${tips}|${not_linkable_tips}");
    EXPECT_EQ(P().linkMode, 0);
    EXPECT_FALSE(Selected("btn_link_output"));
    EXPECT_EQ(P().linkOutputs[2], -1);
    const auto links = SetsOf(device::DSP_CH_LINK);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], (Data{0, 0, 0}));
    EXPECT_EQ(Amp().link, 0);
    EXPECT_TRUE(SetsOf(device::DSP_CH_LOCK).empty());

    // Outputs 0 and 5 lie in one half but in different link stages: linkable,
    // yet only outputs of one stage pair up.
    SetTypes({1, 0, 0, 0, 0, 7, 0, 0, 0, 0});
    mDemo.amplifier->ClearReceived();
    LinkWith(1);
    Drain();
    EXPECT_EQ(P().linkMode, 1);
    EXPECT_EQ(P().linkOutputs[0], -1);
    EXPECT_EQ(P().linkOutputs[5], -1);
    EXPECT_EQ(SetsOf(device::DSP_CH_LINK).back(), (Data{0, 1, 0}));
    mManager->SetOutputLink();
    ASSERT_EQ(P().linkMode, 0);

    // A type with no mirror at all (19, 20) links nothing either.
    SetTypes({19, 20, 0, 0, 0, 0, 0, 0, 0, 0});
    LinkWith(1);
    EXPECT_EQ(P().linkMode, 0);
}

TEST_F(Links, CopyLeftToRightCopiesEveryLeftOutputAndSendsOnePairList) {
    // Demo types 6, 12, 15, 18, 19, 20, 14, 17, 22, 23: pairs (0,1) (2,3)
    // in the first stage, (6,7) and (8,9) in the second; 19 and 20 have no mirror.
    mPage.Get("hp_freq").SetText("120");
    mManager->SetCrossoverFreqEdit(true, false);  // output 0 is current
    mManager->SetCurChannelChange(6);
    mPage.Get("lp_freq").SetText("5000");
    mManager->SetCrossoverFreqEdit(false, false);
    TypeDelay(6, "2.5");
    Drain();
    ASSERT_NE(Ch(1).crossover.hp.fs, 120);
    mDemo.amplifier->ClearReceived();

    LinkWith(1);
    Drain();
    ASSERT_EQ(mUi.mAsked.size(), 1u);
    EXPECT_EQ(mUi.mAsked[0], "${tips}|${link_tips}|${copy_left_to_right}|${copy_right_to_left}");
    EXPECT_EQ(P().linkMode, 1);
    EXPECT_EQ(P().lockMode, 1);
    EXPECT_TRUE(Selected("btn_link_output"));
    EXPECT_TRUE(Selected("btn_lock_output"));
    const std::vector<int> partners = {1, 0, 3, 2, -1, -1, 7, 6, 9, 8};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(P().linkOutputs[c], partners[c]) << c;
        EXPECT_FALSE(Enabled("ch_output_btn_" + std::to_string(c))) << c;
        EXPECT_FALSE(Enabled("ch_synchronize_" + std::to_string(c))) << c;
        EXPECT_FALSE(Enabled("delay_link_" + std::to_string(c))) << c;
    }
    // The left outputs' configurations went right, in the profile and in the amplifier.
    EXPECT_EQ(Ch(1).crossover.hp.fs, 120);
    EXPECT_EQ(Amp().channels[1].highPass.frequency, 120);
    EXPECT_EQ(Ch(7).crossover.lp.fs, 5000);
    EXPECT_EQ(Amp().channels[7].lowPass.frequency, 5000);
    EXPECT_EQ(Ch(6).crossover.lp.fs, 5000) << "the source keeps its own";
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Amp().channels[c].highPass.frequency, Ch(c).crossover.hp.fs) << c;
        EXPECT_EQ(Amp().channels[c].lowPass.frequency, Ch(c).crossover.lp.fs) << c;
        EXPECT_NEAR(AmpDelay(c), Ch(c).delay, 0.0015) << c;
        EXPECT_NEAR(AmpTrim(c), Ch(c).gain, 0.006) << c;
    }
    const auto links = SetsOf(device::DSP_CH_LINK);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], (Data{0, 1, 4, 0, 1, 2, 3, 6, 7, 8, 9}));
    EXPECT_EQ(Amp().link, 1);
    EXPECT_EQ(Amp().linkPairs[0], 0x01);
    EXPECT_EQ(Amp().linkPairs[3], 0x89);
    EXPECT_EQ(SetsOf(device::DSP_CH_LOCK).back(), (Data{0, 1}));
    EXPECT_EQ(Amp().lock, 1);
}

TEST_F(Links, CopyRightToLeftAndCancel) {
    mManager->SetCurChannelChange(1);
    mPage.Get("hp_freq").SetText("150");
    mManager->SetCrossoverFreqEdit(true, false);
    Drain();
    mDemo.amplifier->ClearReceived();

    LinkWith(0);  // cancelled: nothing changes
    Drain();
    EXPECT_EQ(P().linkMode, 0);
    EXPECT_EQ(P().lockMode, 0);
    EXPECT_FALSE(Selected("btn_link_output"));
    EXPECT_TRUE(DspFrames(device::OP_SET).empty());
    EXPECT_NE(Ch(0).crossover.hp.fs, 150);

    LinkWith(2);
    Drain();
    EXPECT_EQ(Ch(0).crossover.hp.fs, 150);
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 150);
    EXPECT_EQ(SetsOf(device::DSP_CH_LINK).back(), (Data{0, 1, 4, 1, 0, 3, 2, 7, 6, 9, 8}));
    EXPECT_EQ(Amp().linkPairs[0], 0x10);
}

TEST_F(Links, TrimAndDelayOfALinkedOutputMoveItsPartnerByTheSameChange) {
    TypeTrim(0, "-2");
    TypeTrim(1, "-5");
    Drain();
    LinkWith(1);
    Drain();
    EXPECT_FLOAT_EQ(Ch(1).gain, -5.0f) << "linking keeps the difference in trim";
    TypeTrim(0, "-5");  // -3 dB
    Drain();
    EXPECT_FLOAT_EQ(Ch(0).gain, -5.0f);
    EXPECT_FLOAT_EQ(Ch(1).gain, -8.0f);
    EXPECT_NEAR(AmpTrim(1), -8.0f, 0.006);
    EXPECT_EQ(mPage.Get("slider_ch_volume_1").Value(), -80);
    // The right output moves the left one the same way.
    TypeTrim(1, "-7");
    Drain();
    EXPECT_FLOAT_EQ(Ch(0).gain, -4.0f);
    EXPECT_NEAR(AmpTrim(0), -4.0f, 0.006);
    // An unpaired output moves nobody.
    const float before5 = Ch(5).gain;
    TypeTrim(4, "-9");
    Drain();
    EXPECT_FLOAT_EQ(Ch(5).gain, before5);

    const float delay0 = Ch(0).delay;
    const float delay1 = Ch(1).delay;
    TypeDelay(1, "2");
    Drain();
    EXPECT_NEAR(Ch(0).delay, delay0 + (2.0f - delay1), 0.0015);
    EXPECT_NEAR(AmpDelay(0), Ch(0).delay, 0.0015);
}

TEST_F(Links, UnlockingEndsTheLinkMode) {
    LinkWith(1);
    Drain();
    ASSERT_EQ(P().linkMode, 1);
    mDemo.amplifier->ClearReceived();

    mUi.mAnswers.push_back(false);  // refused: stays locked and linked
    mManager->SetOutpuLock();
    Drain();
    EXPECT_EQ(P().lockMode, 1);
    EXPECT_EQ(P().linkMode, 1);
    EXPECT_FALSE(Enabled("ch_output_btn_0"));
    EXPECT_EQ(mUi.mAsked.back(), "${tips}|${unlock_output_tips}");

    mUi.mAnswers.push_back(true);
    mManager->SetOutpuLock();
    Drain();
    EXPECT_EQ(P().lockMode, 0);
    EXPECT_EQ(P().linkMode, 0);
    EXPECT_FALSE(Selected("btn_lock_output"));
    EXPECT_FALSE(Selected("btn_link_output"));
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(P().linkOutputs[c], -1) << c;
        EXPECT_TRUE(Enabled("ch_output_btn_" + std::to_string(c))) << c;
        EXPECT_TRUE(Enabled("ch_synchronize_" + std::to_string(c))) << c;
    }
    EXPECT_EQ(SetsOf(device::DSP_CH_LINK).back(), (Data{0, 0, 0}));
    EXPECT_EQ(SetsOf(device::DSP_CH_LOCK).back(), (Data{0, 0}));
    EXPECT_EQ(Amp().link, 0);
    EXPECT_EQ(Amp().lock, 0);
    // Unlinked, the trims no longer follow each other.
    const float gain1 = Ch(1).gain;
    TypeTrim(0, "-10");
    EXPECT_FLOAT_EQ(Ch(1).gain, gain1);

    // Locking again asks the other question and locks only the types.
    mUi.mAnswers.push_back(true);
    mManager->SetOutpuLock();
    Drain();
    EXPECT_EQ(mUi.mAsked.back(), "${tips}|${lock_output_tips}");
    EXPECT_EQ(P().lockMode, 1);
    EXPECT_EQ(P().linkMode, 0);
    EXPECT_FALSE(Enabled("ch_output_btn_3"));
    EXPECT_EQ(Amp().lock, 1);
}

TEST_F(Links, UnlinkingReleasesLockAndControls) {
    LinkWith(1);
    Drain();
    mManager->SetOutputLink();
    Drain();
    EXPECT_EQ(P().linkMode, 0);
    EXPECT_EQ(P().lockMode, 0);
    EXPECT_FALSE(Selected("btn_lock_output"));
    EXPECT_TRUE(Enabled("ch_output_btn_9"));
    EXPECT_TRUE(Enabled("delay_link_9"));
    EXPECT_EQ(P().linkOutputs[0], -1);
    EXPECT_EQ(Amp().link, 0);
    EXPECT_EQ(Amp().lock, 0);
    EXPECT_EQ(mUi.mAsked.size(), 1u) << "unlinking asks nothing";
}

TEST_F(Links, LinkGroupMembersFollowTrimAndDelayWithTheirDifferences) {
    TypeTrim(2, "-1");
    TypeTrim(5, "-4");
    Drain();
    mManager->SetCurChannelChange(2);
    mPage.Get("ch_synchronize_2").SetSelected(true, false);
    mManager->ToggleLinkGroup(2);
    EXPECT_EQ(P().linkGroup[2], 1);
    EXPECT_TRUE(Selected("ch_synchronize_2"));
    EXPECT_FALSE(Enabled("btn_link_output"));
    mManager->ToggleLinkGroup(5);
    Drain();
    EXPECT_EQ(P().linkGroup[5], 1);
    // The joining output takes the trim of the group (the current output's).
    EXPECT_FLOAT_EQ(Ch(5).gain, -1.0f);
    EXPECT_NEAR(AmpTrim(5), -1.0f, 0.006);
    EXPECT_EQ(mManager->CurrentChannel(), 5);
    EXPECT_EQ(mPage.Get("slider_ch_volume_5").Value(), -10);

    const float outsider = Ch(4).gain;
    TypeTrim(5, "-6");  // -5 dB
    TypeTrim(2, "-3");  // +3 dB on the other member
    Drain();
    EXPECT_FLOAT_EQ(Ch(2).gain, -3.0f);
    EXPECT_FLOAT_EQ(Ch(5).gain, -3.0f);
    EXPECT_NEAR(AmpTrim(2), -3.0f, 0.006);
    EXPECT_NEAR(AmpTrim(5), -3.0f, 0.006);
    EXPECT_FLOAT_EQ(Ch(4).gain, outsider) << "an output outside the group keeps its trim";
    EXPECT_NEAR(AmpTrim(4), outsider, 0.006);

    const float delay2 = Ch(2).delay;
    const float delay5 = Ch(5).delay;
    TypeDelay(5, "1.5");
    Drain();
    EXPECT_NEAR(Ch(2).delay, delay2 + (1.5f - delay5), 0.0015);
    EXPECT_NEAR(AmpDelay(2), Ch(2).delay, 0.0015);

    // Leaving the group ends the following.
    mManager->ToggleLinkGroup(5);
    EXPECT_EQ(P().linkGroup[5], 0);
    EXPECT_FALSE(Selected("ch_synchronize_5"));
    EXPECT_FALSE(Enabled("btn_link_output")) << "output 2 is still grouped";
    TypeTrim(2, "-8");
    EXPECT_FLOAT_EQ(Ch(5).gain, -3.0f);
}

// Mute and phase reach the link group only when the installer chose so; the
// link-mode partner is left out, a bridged member takes its partner along.
TEST_F(Links, MuteAndPhaseReachTheLinkGroupOnlyWhenChosen) {
    auto groupOf = [&](std::initializer_list<int> members) {
        for (int c : members) {
            mManager->SetLinkGroup(c, 1);
        }
    };
    auto mute = [&](int channel, bool on) {
        mPage.Get("ch_mute_" + std::to_string(channel)).SetSelected(on, false);
        mManager->SetChMute(channel);
    };
    auto phase = [&](int channel, bool on) {
        mPage.Get("ch_phase_" + std::to_string(channel)).SetSelected(on, false);
        mManager->SetChPhase(channel);
    };
    groupOf({2, 5, 7});
    Drain();
    ASSERT_EQ(P().linkGroup[7], 1);

    mute(2, true);
    phase(2, true);
    Drain();
    EXPECT_EQ(Amp().channels[2].mute, 1);
    EXPECT_EQ(Amp().channels[2].phase, 1);
    EXPECT_EQ(Amp().channels[5].mute, 0) << "the options are off: only output 2 changes";
    EXPECT_EQ(Amp().channels[5].phase, 0);
    mute(2, false);
    phase(2, false);

    mManager->SetLinkOptions(true, false);
    mute(5, true);
    phase(5, true);
    Drain();
    for (int c : {2, 5, 7}) {
        EXPECT_EQ(Ch(c).mute, 1) << c;
        EXPECT_EQ(Amp().channels[c].mute, 1) << c;
        EXPECT_TRUE(Selected("ch_mute_" + std::to_string(c))) << c;
    }
    EXPECT_EQ(Amp().channels[4].mute, 0) << "outside the group";
    EXPECT_EQ(Amp().channels[2].phase, 0) << "phase is not linked";
    EXPECT_EQ(Amp().channels[5].phase, 1);

    mManager->SetLinkOptions(false, true);
    phase(7, false);
    mute(7, false);
    Drain();
    EXPECT_EQ(Amp().channels[5].phase, 0) << "phase followed output 7";
    EXPECT_EQ(Ch(5).phase, 0);
    EXPECT_FALSE(Selected("ch_phase_5"));
    EXPECT_EQ(Amp().channels[2].mute, 1) << "mute is no longer linked";
    EXPECT_EQ(Amp().channels[7].mute, 0);
}

TEST_F(Links, ABridgedMemberTakesItsBridgePartnerAlong) {
    mManager->ToggleBridge(3);  // outputs 6 and 7
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > 0 && WaitQueueIdle(); }));
    mManager->ToggleLinkGroup(6);
    EXPECT_EQ(P().linkGroup[6], 1);
    EXPECT_EQ(P().linkGroup[7], 1) << "a bridged pair joins as one";
    mManager->ToggleLinkGroup(0);
    Drain();
    TypeTrim(0, "-4");
    const float six = Ch(6).gain;
    TypeTrim(0, "-6");  // -2 dB
    Drain();
    EXPECT_FLOAT_EQ(Ch(6).gain, six - 2.0f);
    EXPECT_FLOAT_EQ(Ch(7).gain, Ch(6).gain);
    EXPECT_NEAR(AmpTrim(7), Ch(7).gain, 0.006);

    // A profile may hold the right half outside the group: it follows its
    // left half all the same.
    P().linkGroup[7] = 0;
    TypeTrim(0, "-7");  // -1 dB
    Drain();
    EXPECT_FLOAT_EQ(Ch(7).gain, Ch(6).gain);
    EXPECT_NEAR(AmpTrim(7), Ch(6).gain, 0.006);
}

TEST_F(Links, ResettingTheLinksEmptiesEveryGroup) {
    for (int c : {0, 3, 8}) {
        mManager->ToggleLinkGroup(c);
    }
    ASSERT_FALSE(Enabled("btn_link_output"));
    mManager->ResetLinks();
    Drain();
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(P().linkGroup[c], 0) << c;
        EXPECT_FALSE(Selected("ch_synchronize_" + std::to_string(c))) << c;
    }
    EXPECT_TRUE(Enabled("btn_link_output"));
    EXPECT_EQ(mManager->CurrentChannel(), 9);
    const float gain3 = Ch(3).gain;
    TypeTrim(0, "-11");
    EXPECT_FLOAT_EQ(Ch(3).gain, gain3);
}

TEST_F(Links, ADelayLinkGroupOnOneHalfOfABridgedPairReachesTheOtherHalf) {
    mManager->ToggleBridge(1);  // outputs 2 and 3
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > 0 && WaitQueueIdle(); }));
    mManager->SetDelayLinkGroup(3, 2);
    EXPECT_EQ(P().delayLinkGroup[3], 2);
    EXPECT_EQ(P().delayLinkGroup[2], 2);
    EXPECT_EQ(mPage.Get("delay_link_2").mBkColor, mPage.Get("delay_link_3").mBkColor);
    const uint32_t groupTwo = mPage.Get("delay_link_3").mBkColor;
    EXPECT_FALSE(Enabled("btn_link_output")) << "no link mode while a delay-link group stands";
    EXPECT_EQ(P().delayLinkGroup[4], 0) << "an unbridged output stays alone";
    mManager->SetDelayLinkGroup(4, 3);
    EXPECT_EQ(P().delayLinkGroup[5], 0);
    EXPECT_NE(mPage.Get("delay_link_4").mBkColor, groupTwo) << "each group its own colour";
    mManager->SetDelayLinkGroup(4, 9);  // no such group
    EXPECT_EQ(P().delayLinkGroup[4], 3);

    // The reset of the links leaves delay-link groups alone.
    mManager->ResetLinks();
    EXPECT_EQ(P().delayLinkGroup[2], 2);
    EXPECT_FALSE(Enabled("btn_link_output"));
    for (int c : {2, 3, 4}) {
        mManager->SetDelayLinkGroup(c, 0);
    }
    EXPECT_TRUE(Enabled("btn_link_output"));
    EXPECT_NE(mPage.Get("delay_link_2").mBkColor, groupTwo);
}

class OutputReset : public Links {
protected:
    // Answers the reset box and waits for the reset to finish.
    void ResetWith(int answer) {
        const int hidden = mUi.mLoadingHidden;
        mUi.mButtons.push_back(answer);
        mManager->SetOutputReset();
        ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > hidden; }));
        Drain();
    }
    // Links, locks, bridges, groups and solos a little of everything first.
    void Entangle() {
        LinkWith(1);
        mManager->ToggleBridge(2);  // outputs 4 and 5
        ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > 0; }));
        mPage.Get("ch_solo_3").SetSelected(true, false);
        mManager->SetChSolo(3);
        P().linkGroup[8] = 1;
        Drain();
        ASSERT_EQ(Amp().link, 1);
        ASSERT_EQ(Amp().bridges[2], 1);
        mDemo.amplifier->ClearReceived();
    }
    void ExpectAllUndone() {
        EXPECT_EQ(P().linkMode, 0);
        EXPECT_EQ(P().lockMode, 0);
        EXPECT_EQ(Amp().link, 0);
        EXPECT_EQ(Amp().lock, 0);
        EXPECT_FALSE(Selected("btn_link_output"));
        EXPECT_FALSE(Selected("btn_lock_output"));
        for (int c = 0; c < 10; ++c) {
            EXPECT_EQ(P().linkOutputs[c], -1) << c;
            EXPECT_EQ(P().linkGroup[c], 0) << c;
            EXPECT_EQ(Ch(c).solo, 0) << c;
            EXPECT_EQ(Amp().channels[c].solo, 0) << c;
            EXPECT_TRUE(Enabled("ch_output_btn_" + std::to_string(c))) << c;
            EXPECT_EQ(Amp().channels[c].highPass.frequency, Ch(c).crossover.hp.fs) << c;
            EXPECT_EQ(Amp().channels[c].lowPass.frequency, Ch(c).crossover.lp.fs) << c;
            EXPECT_NEAR(AmpTrim(c), Ch(c).gain, 0.006) << c;
        }
        for (int pair = 0; pair < 5; ++pair) {
            EXPECT_EQ(P().bridgeOutputs[pair], 0) << pair;
            EXPECT_EQ(Amp().bridges[pair], 0) << pair;
        }
        EXPECT_TRUE(Enabled("btn_link_output"));
    }
};

TEST_F(OutputReset, EmptiedSetsEveryOutputToNoType) {
    Entangle();
    ResetWith(2);
    ASSERT_FALSE(mUi.mAsked.empty());
    EXPECT_EQ(mUi.mAsked.back(), "${tips}|${empty_output_tips}|${default}|${cancel}|${emptied}");
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(P().outputs[c], 0) << c;
        EXPECT_EQ(Amp().channels[c].type, 0) << c;
        EXPECT_EQ(mPage.Get("ch_output_btn_" + std::to_string(c)).Text(),
                  mPage.Get("ch_output_btn_9").Text())
            << c;
    }
    ExpectAllUndone();
    EXPECT_GE(mUi.mLoadingShown, 1);
}

TEST_F(OutputReset, DefaultGivesTenOutputsTheirPositionsTypes) {
    Entangle();
    SetTypes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Drain();
    ResetWith(1);
    const std::vector<int> expected = {6, 12, 15, 18, 19, 20, 14, 17, 22, 23};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(P().outputs[c], expected[c]) << c;
        EXPECT_EQ(Amp().channels[c].type, expected[c]) << c;
    }
    ExpectAllUndone();
}

TEST_F(OutputReset, CancelChangesNothing) {
    SetTypes({1, 7, 0, 0, 0, 0, 0, 0, 0, 0});
    LinkWith(1);
    Drain();
    mDemo.amplifier->ClearReceived();
    const int shown = mUi.mLoadingShown;
    mUi.mButtons.push_back(0);
    mManager->SetOutputReset();
    Settle();
    Drain();
    EXPECT_EQ(mUi.mLoadingShown, shown);
    EXPECT_EQ(P().outputs[0], 1);
    EXPECT_EQ(P().linkMode, 1);
    EXPECT_TRUE(DspFrames(device::OP_SET).empty());
}

TEST_F(Links, FactoryDefaultAfterConfirmationResetsAndRestartsTheDevice) {
    const int shown = mUi.mLoadingShown;
    const int hidden = mUi.mLoadingHidden;
    mUi.mAnswers.push_back(false);
    mManager->ResetMcuFactoryDefault();
    Settle();
    ASSERT_EQ(mUi.mAsked.back(), "${tips}|${factory_default_tips}");
    EXPECT_EQ(mUi.mLoadingShown, shown);
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 3) << "refused: the tune stays";

    mUi.mAnswers.push_back(true);
    mManager->SetCurChannelChange(0);
    mManager->ResetMcuFactoryDefault();
    ASSERT_TRUE(Pump([&] {
        return !mUi.mMessages.empty() && mUi.mMessages.back() == "${tips}|${device_reboot}";
    }));
    EXPECT_EQ(mUi.mLoadingShown, shown + 1);
    EXPECT_GT(mUi.mLoadingHidden, hidden);
    bool sent = false;
    for (const auto& report : mDemo.amplifier->ReceivedReports()) {
        sent = sent || (report.size() > 6 && report[4] == device::CMD_MCU && report[5] == 0x90 &&
                        report[6] == device::OP_SET);
    }
    EXPECT_TRUE(sent);
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 0) << "the device went back to its defaults";
}

}  // namespace

namespace {

// After the profile is shown again (a read or a load), the link controls
// show what it holds.
TEST_F(Links, AProfileShownAgainShowsItsLinks) {
    P().linkGroup[2] = 1;
    P().linkGroup[5] = 1;
    P().delayLinkGroup[7] = 2;
    P().lockMode = 1;
    mManager->SetReadProfileToView();
    EXPECT_TRUE(Selected("ch_synchronize_2"));
    EXPECT_TRUE(Selected("ch_synchronize_5"));
    EXPECT_FALSE(Selected("ch_synchronize_3"));
    EXPECT_TRUE(Selected("delay_link_7"));
    EXPECT_NE(mPage.Get("delay_link_7").mBkColor, mPage.Get("delay_link_6").mBkColor);
    EXPECT_FALSE(Enabled("btn_link_output"));  // groups exist
    EXPECT_TRUE(Selected("btn_lock_output"));
    EXPECT_FALSE(Enabled("ch_output_btn_0"));  // locked: types cannot change
}

}  // namespace
