// The amplifier's switches: a click turns each one over, shows its state
// (on: selected, white text, its on text; off: not selected, red text, its
// off text) and sends it, and what the device reports shows the same way.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controller_fixture.h"
#include "device/dsp_subcommands.h"

namespace {

using Data = std::vector<uint8_t>;

// The last frame's data, none when nothing was sent.
Data LastOf(const std::vector<Data>& frames) {
    return frames.empty() ? Data{} : frames.back();
}

constexpr uint32_t kOnColor = 0xFFFFFFFF;
constexpr uint32_t kOffColor = 0xFFFF0000;

class AmpSwitches : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }
    void ExpectShows(const std::string& name, bool on, const std::string& onText,
                     const std::string& offText) {
        test_support::FakeControl& button = mPage.Get(name);
        EXPECT_EQ(button.Selected(), on) << name;
        EXPECT_EQ(button.TextColor(), on ? kOnColor : kOffColor) << name;
        EXPECT_EQ(button.Text(), on ? onText : offText) << name;
    }
    // Asks the amplifier for a value and handles its report.
    void Read(const std::function<bool()>& request) {
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_TRUE(request());
        Settle();
    }
    void Change(const std::function<void(virtual_device::AmplifierState&)>& edit) {
        virtual_device::AmplifierState state = Amp();
        edit(state);
        mDemo.protocol->SetState(0, state);
    }
};

TEST_F(AmpSwitches, TheSynchronisedStateShowsOnEverySwitch) {
    // The amplifier plays with everything on except the noise gate.
    ExpectShows("btn_amp_onoff", true, "${amp_on}", "${amp_off}");
    ExpectShows("btn_rem_out1_onoff", true, "${rem_out1_on}", "${rem_out1_off}");
    ExpectShows("btn_rem_out2_onoff", true, "${rem_out2_on}", "${rem_out2_off}");
    ExpectShows("btn_2ohm_spk", true, "${btn_2ohm_spk}", "${btn_4ohm_spk}");
    ExpectShows("btn_2ohm_spk_13", true, "${btn_2ohm_spk_13}", "${btn_4ohm_spk_13}");
    ExpectShows("btn_2ohm_spk_21", true, "${btn_2ohm_spk_21}", "${btn_4ohm_spk_21}");
    ExpectShows("btn_noise_gate", false, "${btn_noise_gate_on}", "${btn_noise_gate_off}");
}

TEST_F(AmpSwitches, TheAmplifierSwitchSendsAMute) {
    mManager->ToggleAmp();
    ASSERT_TRUE(WaitQueueIdle());
    ExpectShows("btn_amp_onoff", false, "${amp_on}", "${amp_off}");
    EXPECT_EQ(mManager->WorkingProfile().ampOn, 0);
    EXPECT_EQ(Amp().ampMute, 1);
    EXPECT_EQ(SetsOf(device::DSP_AMP_MUTE), std::vector<Data>{Data{1}});
    mManager->ToggleAmp();
    ASSERT_TRUE(WaitQueueIdle());
    ExpectShows("btn_amp_onoff", true, "${amp_on}", "${amp_off}");
    EXPECT_EQ(Amp().ampMute, 0);
    EXPECT_EQ(mManager->WorkingProfile().ampOn, 1);
}

TEST_F(AmpSwitches, ARemoteOutputClickSendsBothOutputs) {
    mManager->ToggleRemOut1();
    ASSERT_TRUE(WaitQueueIdle());
    ExpectShows("btn_rem_out1_onoff", false, "${rem_out1_on}", "${rem_out1_off}");
    ExpectShows("btn_rem_out2_onoff", true, "${rem_out2_on}", "${rem_out2_off}");
    EXPECT_EQ(LastOf(SetsOf(device::DSP_REM_OUT)), (Data{0, 1}));  // the second unchanged
    EXPECT_EQ(Amp().remOut1, 0);
    EXPECT_EQ(Amp().remOut2, 1);
    mManager->ToggleRemOut2();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LastOf(SetsOf(device::DSP_REM_OUT)), (Data{0, 0}));
    ExpectShows("btn_rem_out2_onoff", false, "${rem_out2_on}", "${rem_out2_off}");
    mManager->ToggleRemOut1();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LastOf(SetsOf(device::DSP_REM_OUT)), (Data{1, 0}));
    EXPECT_EQ(Amp().remOut1, 1);
    EXPECT_EQ(Amp().remOut2, 0);
}

TEST_F(AmpSwitches, SpeakerImpedancesAndTheNoiseGate) {
    mManager->ToggleSpkOhm();
    mManager->ToggleSpkOhm21();
    mManager->ToggleNoiseGate();
    ASSERT_TRUE(WaitQueueIdle());
    ExpectShows("btn_2ohm_spk", false, "${btn_2ohm_spk}", "${btn_4ohm_spk}");
    ExpectShows("btn_2ohm_spk_13", true, "${btn_2ohm_spk_13}", "${btn_4ohm_spk_13}");
    ExpectShows("btn_2ohm_spk_21", false, "${btn_2ohm_spk_21}", "${btn_4ohm_spk_21}");
    ExpectShows("btn_noise_gate", true, "${btn_noise_gate_on}", "${btn_noise_gate_off}");
    EXPECT_EQ(SetsOf(device::DSP_SPK_OHM), std::vector<Data>{Data{0}});
    EXPECT_EQ(SetsOf(device::DSP_SPK_OHM13_21), std::vector<Data>{(Data{1, 0})});
    EXPECT_EQ(SetsOf(device::DSP_NOISE_GATE), std::vector<Data>{Data{1}});
    const virtual_device::AmplifierState amp = Amp();
    EXPECT_EQ(amp.spkOhm, 0);
    EXPECT_EQ(amp.spkOhm13, 1);
    EXPECT_EQ(amp.spkOhm21, 0);
    EXPECT_EQ(amp.noiseGate, 1);
    EXPECT_EQ(mManager->WorkingProfile().noiseGate, 1);
    mManager->ToggleSpkOhm13();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LastOf(SetsOf(device::DSP_SPK_OHM13_21)), (Data{0, 0}));
    EXPECT_EQ(Amp().spkOhm13, 0);
}

// The toolkit flips a checkable button before its click arrives: the click
// still turns the switch over once, from what it showed before.
TEST_F(AmpSwitches, AButtonAlreadyFlippedByTheToolkitTurnsOverOnce) {
    mPage.Get("btn_noise_gate").SetSelected(true, false);
    mManager->ToggleNoiseGate();
    ASSERT_TRUE(WaitQueueIdle());
    ExpectShows("btn_noise_gate", true, "${btn_noise_gate_on}", "${btn_noise_gate_off}");
    EXPECT_EQ(Amp().noiseGate, 1);
    mPage.Get("btn_amp_onoff").SetSelected(false, false);
    mManager->ToggleAmp();
    ASSERT_TRUE(WaitQueueIdle());
    ExpectShows("btn_amp_onoff", false, "${amp_on}", "${amp_off}");
    EXPECT_EQ(Amp().ampMute, 1);
}

TEST_F(AmpSwitches, ReportsOfTheDeviceShowWithoutBeingSentBack) {
    Change([](virtual_device::AmplifierState& s) {
        s.ampMute = 1;
        s.remOut1 = 1;
        s.remOut2 = 0;
        s.spkOhm = 0;
        s.spkOhm13 = 0;
        s.spkOhm21 = 1;
        s.noiseGate = 1;
    });
    Read([&] { return mManager->Link().Get_Amp_Mute(); });
    Read([&] { return mManager->Link().Get_Rem_Out(); });
    Read([&] { return mManager->Link().Get_Spk_Ohm(); });
    Read([&] { return mManager->Link().Get_Spk_Ohm13_21(); });
    Read([&] { return mManager->Link().Get_Noise_Gate(); });
    ExpectShows("btn_amp_onoff", false, "${amp_on}", "${amp_off}");
    ExpectShows("btn_rem_out1_onoff", true, "${rem_out1_on}", "${rem_out1_off}");
    ExpectShows("btn_rem_out2_onoff", false, "${rem_out2_on}", "${rem_out2_off}");
    ExpectShows("btn_2ohm_spk", false, "${btn_2ohm_spk}", "${btn_4ohm_spk}");
    ExpectShows("btn_2ohm_spk_13", false, "${btn_2ohm_spk_13}", "${btn_4ohm_spk_13}");
    ExpectShows("btn_2ohm_spk_21", true, "${btn_2ohm_spk_21}", "${btn_4ohm_spk_21}");
    ExpectShows("btn_noise_gate", true, "${btn_noise_gate_on}", "${btn_noise_gate_off}");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(DspFrames(device::OP_SET).empty());

    // A click then starts from what the device reported.
    mManager->ToggleRemOut2();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(LastOf(SetsOf(device::DSP_REM_OUT)), (Data{1, 1}));
    mManager->ToggleAmp();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().ampMute, 0);
}

}  // namespace
