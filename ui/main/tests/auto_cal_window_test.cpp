// The automatic calibration window in the running program: opened from the
// main page, a whole run on the virtual amplifier's simulated car with the
// frames the window sends and the texts it shows, the measured response and
// the correction reaching the window, apply changing the amplifier and the
// main window after it read the amplifier again, discard changing nothing,
// and the choices that are refused before anything is sent.
#include <QAbstractButton>
#include <QProgressBar>
#include <cmath>

#include "auto_cal_fixture.h"
#include "virtual_device/calibration_run.h"

namespace ui {
namespace {

using testing::AMessageBoxIsUp;
using testing::AutoCalTest;
using testing::BoxAnswerer;
using testing::TopModalWindow;
using testing::WaitFor;

double AmpGain(const virtual_device::EqBandState& band) {
    return ((band.gainByte & 0x1F) * 10 + band.gainTenths) / 10.0 - 18.0;
}

class AutoCalWindowTest : public AutoCalTest {
protected:
    // Ticks exactly the channels of the mask.
    static void ChooseChannels(toolkit::Window& window, uint16_t mask) {
        for (int c = 0; c < 8; ++c) {
            SetOption(window, "ch_checkbox_" + std::to_string(c), (mask >> c) & 1);
        }
    }
    // Starts a run, confirming the test-tone warning; the texts shown until
    // it ended.
    std::set<std::string> RunToItsEnd(CAutoCalWnd& window, BoxAnswerer& boxes) {
        boxes.Expect(1, {"confirm_btn"}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
        EXPECT_EQ(Shown(window, "start_auto_cal"), Text("${stop}"));
        EXPECT_FALSE(Button(window, "closebtn")->isEnabled());
        std::set<std::string> tips = TipsUntil(window, [&] { return RunEnded(window); });
        EXPECT_TRUE(RunEnded(window)) << "the run did not end";
        if (window.Panel()->State().mIrcDone.load()) {
            EXPECT_TRUE(Button(window, "irc_save_data")->isEnabled());
            EXPECT_TRUE(Button(window, "irc_cancel_data")->isEnabled());
        }
        // The last progress report reaches the bar after the final status.
        EXPECT_TRUE(WaitFor([&] { return ProgressShown(window) == 100; }, 5000))
            << "the bar shows " << ProgressShown(window);
        return tips;
    }
    static int ProgressShown(toolkit::Window& window) {
        toolkit::Control* bar = window.Find("progress");
        auto* progress = bar != nullptr ? qobject_cast<QProgressBar*>(bar->Widget()) : nullptr;
        return progress != nullptr ? progress->value() : -1;
    }
};

// Every step of the run lasts long enough for several polls, even on a busy
// machine, so that every step's text is seen.
class AutoCalWholeRunTest : public AutoCalWindowTest {
protected:
    void SetUp() override {
        mRunSpeedUp = 3;
        AutoCalWindowTest::SetUp();
    }
};

TEST_F(AutoCalWholeRunTest, AWholeRunReadsEveryChosenChannelAndApplyReachesTheMainWindow) {
    const uint16_t chosen = 0x000B;  // channels 0, 1 and 3
    BoxAnswerer boxes(mWindow.get());
    std::set<std::string> tips;
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        ChooseChannels(window, chosen);
        Click(window, "audio_effect_3");
        mDemo.amplifier->ClearReceived();
        tips = RunToItsEnd(window, boxes);
        EXPECT_TRUE(boxes.Saw(Text("${irc_warning_tips}")));
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_completed}"));
        EXPECT_EQ(Shown(window, "start_auto_cal"), Text("${start_irc}"));
        EXPECT_TRUE(Button(window, "closebtn")->isEnabled());

        // The start: the modules, then on, the mask and the EQ mode.
        EXPECT_EQ(Frames(device::DSP_IRC_SEL_TEST_MODULE, device::OP_SET),
                  (std::vector<std::vector<uint8_t>>{{7}}));
        const auto controls = Frames(device::DSP_IRC_CTRL, device::OP_SET);
        ASSERT_FALSE(controls.empty());
        EXPECT_EQ(controls.front(), (std::vector<uint8_t>{1, 0x00, 0x0B, 4}));
        EXPECT_FALSE(Frames(device::DSP_IRC_CTRL, device::OP_GET).empty());

        // Each chosen channel: its response in 14 requests of nine points,
        // then its correction in two; nothing for the others.
        const auto spectra = Frames(device::DSP_IRC_SPECTRUM, device::OP_GET);
        const auto eqs = Frames(device::DSP_IRC_EQ, device::OP_GET);
        std::vector<std::vector<uint8_t>> wantSpectra, wantEqs;
        for (uint8_t c : {0, 1, 3}) {
            for (int first = 0; first < 121; first += 9) {
                wantSpectra.push_back({c, static_cast<uint8_t>(first),
                                       static_cast<uint8_t>(std::min(first + 8, 120))});
            }
            wantEqs.push_back({c, 0, 5});
            wantEqs.push_back({c, 6, 10});
        }
        EXPECT_EQ(spectra, wantSpectra);
        EXPECT_EQ(eqs, wantEqs);

        // What the window keeps is what the amplifier measured and computed.
        const controller::AutoCalPanel& panel = *window.Panel();
        for (int c : {0, 1, 3}) {
            const auto measured = mDemo.protocol->MeasuredResponse(c);
            ASSERT_EQ(measured.size(), 121u);
            for (int i = 0; i < 121; ++i) {
                EXPECT_NEAR(panel.Curves().SpeakerPoint(c, i).eqGain, measured[i].second, 0.011);
                EXPECT_EQ(panel.Curves().SpeakerPoint(c, i).freq,
                          static_cast<int>(measured[i].first));
            }
            const auto result = mDemo.protocol->CalibrationResult(c);
            ASSERT_EQ(result.size(), 11u);
            for (int b = 0; b < 11; ++b) {
                EXPECT_EQ(panel.Curves().EqBand(c, b).freq, result[b].freq);
                EXPECT_NEAR(panel.Curves().EqBand(c, b).eqGain, result[b].eqGain, 0.051);
            }
        }

        Click(window, "irc_save_data");
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_applyed}"));
        EXPECT_EQ(Frames(device::DSP_IRC_CTRL, device::OP_SET).back(),
                  (std::vector<uint8_t>{2, 0, 0, 4}));
        // Nothing more to apply or discard.
        EXPECT_FALSE(Button(window, "irc_save_data")->isEnabled());
        EXPECT_FALSE(Button(window, "irc_cancel_data")->isEnabled());
        mDemo.amplifier->ClearReceived();
        Click(window, "closebtn");
    }));

    for (const char* key :
         {"${detect_speaker}", "${detect_level}", "${detect_location}", "${adjust_ch_volume}",
          "${compensate_eq}", "${test_freq_response}", "${irc_completed}"}) {
        EXPECT_TRUE(tips.count(Text(key))) << key << " was never shown";
    }
    // The amplifier took the correction, and the main window shows it after
    // reading the amplifier again.
    ASSERT_TRUE(ReadTheAmplifierAgain());
    const virtual_device::AmplifierState after = Amp();
    for (int c : {0, 1, 3}) {
        const auto result = mDemo.protocol->CalibrationResult(c);
        ASSERT_EQ(result.size(), 11u);
        const model::EqBand* shown = mWindow->Manager().WorkingProfile().eqArray(c);
        for (int b = 0; b < 11; ++b) {
            EXPECT_EQ(after.channels[c].eq[b].frequency, result[b].freq) << c << "/" << b;
            EXPECT_EQ(after.channels[c].eqBypass, 0) << "the correction is heard";
            EXPECT_NEAR(AmpGain(after.channels[c].eq[b]), result[b].eqGain, 0.051);
            EXPECT_EQ(shown[b].freq, result[b].freq);
            EXPECT_NEAR(shown[b].eqGain, result[b].eqGain, 0.051);
        }
    }
}

TEST_F(AutoCalWindowTest, DiscardLeavesTheAmplifierAsItWas) {
    const virtual_device::AmplifierState before = Amp();
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        ChooseChannels(window, 0x0001);
        RunToItsEnd(window, boxes);
        Click(window, "irc_cancel_data");
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_canceled}"));
        EXPECT_EQ(Frames(device::DSP_IRC_CTRL, device::OP_SET).back(),
                  (std::vector<uint8_t>{3, 0, 0, 0}));
        EXPECT_FALSE(Button(window, "irc_save_data")->isEnabled()) << "the result is gone";
        mDemo.amplifier->ClearReceived();
        Click(window, "closebtn");
    }));
    ASSERT_TRUE(ReadTheAmplifierAgain());
    const virtual_device::AmplifierState after = Amp();
    for (int c = 0; c < 10; ++c) {
        for (int b = 0; b < 21; ++b) {
            EXPECT_EQ(after.channels[c].eq[b].frequency, before.channels[c].eq[b].frequency);
            EXPECT_EQ(after.channels[c].eq[b].gainByte, before.channels[c].eq[b].gainByte);
        }
        EXPECT_EQ(after.channels[c].delayMs, before.channels[c].delayMs);
    }
}

TEST_F(AutoCalWindowTest, ClosingAfterARunAsksWhetherToApply) {
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        ChooseChannels(window, 0x0002);
        RunToItsEnd(window, boxes);
        boxes.Expect(1, {}, AMessageBoxIsUp);
        mDemo.amplifier->ClearReceived();
        Click(window, "closebtn");
        EXPECT_EQ(Frames(device::DSP_IRC_CTRL, device::OP_SET).front(),
                  (std::vector<uint8_t>{2, 0, 0, 0}));
    }));
    EXPECT_TRUE(boxes.Saw(Text("${irc_apply_tips}")));
    ASSERT_TRUE(ReadTheAmplifierAgain());
    EXPECT_EQ(Amp().channels[1].eq[0].frequency, mDemo.protocol->CalibrationResult(1).at(0).freq);
}

TEST_F(AutoCalWindowTest, ClosingWithoutARunDiscardsAndKeepsTheConnection) {
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        EXPECT_EQ(Shown(window, "tips"), Text("${ui_autocal_hint}"));
        EXPECT_FALSE(Button(window, "irc_save_data")->isEnabled()) << "no result yet";
        EXPECT_FALSE(Button(window, "irc_cancel_data")->isEnabled());
        mDemo.amplifier->ClearReceived();
        Click(window, "closebtn");
        EXPECT_EQ(Frames(device::DSP_IRC_CTRL, device::OP_SET),
                  (std::vector<std::vector<uint8_t>>{{3, 0, 0, 0}}));
    }));
    QTest::qWait(200);
    EXPECT_TRUE(Frames(device::DSP_SOURCE_SWITCH, device::OP_GET).empty());
    EXPECT_TRUE(mWindow->Manager().IsSynchronised());
}

TEST_F(AutoCalWindowTest, StoppingARunTellsTheAmplifierAndOffersNoResult) {
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        boxes.Expect(1, {"confirm_btn"}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
        ASSERT_TRUE(WaitFor([&] { return MidRun(window); }));
        // The run's choices are fixed while it runs.
        EXPECT_FALSE(Button(window, "irc_eq")->isEnabled());
        EXPECT_FALSE(Button(window, "audio_effect_3")->isEnabled());
        EXPECT_FALSE(Button(window, "irc_save_data")->isEnabled());
        Click(window, "start_auto_cal");
        EXPECT_TRUE(RunEnded(window));
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_stoped}"));
        EXPECT_EQ(Shown(window, "start_auto_cal"), Text("${start_irc}"));
        EXPECT_EQ(Frames(device::DSP_IRC_CTRL, device::OP_SET).back(),
                  (std::vector<uint8_t>{0, 0, 0, 0}));
        EXPECT_EQ(mDemo.protocol->CalibrationStatusNow().status, 12);
        EXPECT_FALSE(Button(window, "irc_save_data")->isEnabled());
        EXPECT_TRUE(Button(window, "irc_eq")->isEnabled()) << "the choices are free again";
        Click(window, "closebtn");
    }));
}

TEST_F(AutoCalWindowTest, ChoicesThatCannotRunSendNothing) {
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        mDemo.amplifier->ClearReceived();
        // No test module.
        for (const char* module : {"irc_eq", "irc_delay", "irc_phase"}) {
            SetOption(window, module, false);
        }
        EXPECT_EQ(window.Panel()->Modules(), 0);
        boxes.Expect(1, {}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
        EXPECT_TRUE(boxes.Saw(Text("${irc_option_warning_tips}")));
        SetOption(window, "irc_delay", true);
        SetOption(window, "irc_phase", true);
        EXPECT_EQ(window.Panel()->Modules(), 6);
        // No channel.
        ChooseChannels(window, 0);
        boxes.Expect(1, {}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
        EXPECT_TRUE(boxes.Saw(Text("${irc_no_channel_tips}")));
        // The warning declined.
        ChooseChannels(window, 0x0001);
        boxes.Expect(0, {"cancel_btn"}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
        EXPECT_EQ(Shown(window, "start_auto_cal"), Text("${start_irc}"));
        EXPECT_TRUE(Frames(device::DSP_IRC_CTRL, device::OP_SET).empty());
        EXPECT_TRUE(Frames(device::DSP_IRC_SEL_TEST_MODULE, device::OP_SET).empty());
        Click(window, "closebtn");
    }));
}

TEST_F(AutoCalWindowTest, TheChannelBoxesFollowTheOutputs) {
    // Outputs 4 and 5 bridged, output 6 without a speaker.
    mWindow->Manager().WorkingProfile().bridgeOutputs[2] = 1;
    mWindow->Manager().WorkingProfile().outputs[6] = 0;
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        EXPECT_TRUE(Button(window, "ch_checkbox_4")->isChecked());
        EXPECT_TRUE(Button(window, "ch_checkbox_4")->isEnabled());
        EXPECT_FALSE(Button(window, "ch_checkbox_5")->isChecked());
        EXPECT_FALSE(Button(window, "ch_checkbox_5")->isEnabled());
        EXPECT_FALSE(Button(window, "ch_checkbox_6")->isChecked());
        EXPECT_FALSE(Button(window, "ch_checkbox_6")->isEnabled());
        EXPECT_FALSE(window.Panel()->ChannelVisible(5));
        EXPECT_FALSE(window.Panel()->ChannelVisible(6));
        EXPECT_TRUE(window.Panel()->ChannelVisible(7));
        // Each box shows the speaker its output feeds.
        EXPECT_FALSE(Shown(window, "ch_name_0").empty());
        SetOption(window, "ch_checkbox_7", false);
        EXPECT_FALSE(window.Panel()->ChannelVisible(7));
        Click(window, "closebtn");
    }));
}

TEST_F(AutoCalWindowTest, TheAdvanceMenuItemOpensTheWindowToo) {
    EXPECT_TRUE(InCalibrationWindow(
        [&](CAutoCalWnd& window) { Click(window, "closebtn"); },
        [&] {
            platform::PostMessage(
                mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                platform::MakeRecord(toolkit::MenuClick{"advance_item_autocal", "", ""}));
        }));
}

TEST_F(AutoCalWindowTest, TheMainWindowIsMinimisedWhileTheWindowIsOpen) {
    bool minimised = false;
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        minimised = mWindow->Widget()->isMinimized();
        Click(window, "closebtn");
    }));
    EXPECT_TRUE(minimised);
    EXPECT_FALSE(mWindow->Widget()->isMinimized());
}

}  // namespace
}  // namespace ui
