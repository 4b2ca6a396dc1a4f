// The calibration window's logic and its worker on their two threads,
// against the virtual amplifier's measurement run over the real device link:
// a whole run, a stop while the worker waits for an answer, the window going
// away mid-run, the link lost mid-run, and which reports redraw the chart.
// The worker and the window share the run's state; these tests also run
// under the thread sanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <deque>
#include <mutex>
#include <thread>

#include "app/model_cfg.h"
#include "controller/auto_cal_panel.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"
#include "dsp_math/band_design.h"
#include "dsp_math/log_grid.h"
#include "virtual_device/calibration_run.h"

namespace test_support {
namespace {

constexpr platform::WindowHandle kCalibrationWindow = 2;

// The calibration window without a screen: its own handle, controls that
// remember what they were given.
class CalibrationPage final : public toolkit::ControlAccess {
public:
    toolkit::ControlHandle* FindControl(const std::string& name) override {
        return mPage.FindControl(name);
    }
    platform::WindowHandle Handle() const override { return kCalibrationWindow; }
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void Retranslate() override {}
    FakeControl& Get(const std::string& name) { return mPage.Get(name); }

private:
    FakePage mPage;
};

// Sends what is posted to the main page on to the controller's queue and
// keeps what is posted to the calibration window.
class RoutingSink final : public platform::MessageSink {
public:
    explicit RoutingSink(std::shared_ptr<QueueSink> main) : mMain(std::move(main)) {}
    bool Post(platform::PostedMessage message) override {
        if (message.target != kCalibrationWindow) {
            return mMain->Post(std::move(message));
        }
        return mCalibration.Post(std::move(message));
    }
    bool Take(platform::PostedMessage* message) { return mCalibration.Take(message); }

private:
    std::shared_ptr<QueueSink> mMain;
    QueueSink mCalibration{kCalibrationWindow};
};

class RecordingChart final : public controller::CalibrationChart {
public:
    void setSpeakerCurves(std::span<const controller::SpeakerRow>,
                          std::span<const controller::SpeakerRow> value, int count,
                          std::span<const bool> visible) override {
        ++speakerHands;
        lastSpeaker0 = value[0];
        speakerVisible.assign(visible.begin(), visible.begin() + count);
    }
    void setEqLayerCurves(std::span<const controller::CurveRow>,
                          std::span<const controller::CurveRow>, int count,
                          std::span<const bool> visible) override {
        ++eqHands;
        eqVisible.assign(visible.begin(), visible.begin() + count);
    }
    void setTargetCurves(std::span<const controller::CurveRow>,
                         std::span<const controller::CurveRow>, int,
                         std::span<const bool>) override {
        ++targetHands;
    }
    int speakerHands = 0, eqHands = 0, targetHands = 0;
    controller::SpeakerRow lastSpeaker0{};
    std::vector<bool> speakerVisible, eqVisible;
};

class SayYes final : public controller::AutoCalQuestions {
public:
    bool Ask(const std::string& text, const std::string&, const std::string&) override {
        asked.push_back(text);
        return true;
    }
    void Tell(const std::string& text) override { told.push_back(text); }
    bool Confirm(const std::string& text) override {
        asked.push_back(text);
        return confirm;
    }
    std::vector<std::string> asked, told;
    bool confirm = false;
};

class AutoCalRunTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mRouter = std::make_shared<RoutingSink>(mSink);
        platform::SetMessageSink(mRouter);
        mStarted = std::chrono::steady_clock::now();
        mDemo.protocol->SetCalibrationClock([this] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - mStarted)
                       .count() *
                   20;
        });
        // The options as the layout has them at first.
        for (const char* name : {"display_eq", "display_spk", "display_target", "irc_eq",
                                 "irc_delay", "irc_phase", "audio_effect_null"}) {
            mWindow.Get(name).SetSelected(true, false);
        }
        mPanel = std::make_unique<controller::AutoCalPanel>(
            mManager->Link(), mManager->WorkingProfile(), mWindow, &mChart, mQuestions,
            controller::AutoCalTimings{10, 10});
        mPanel->Open();
    }
    void TearDown() override {
        mPanel.reset();
        ControllerTest::TearDown();
    }

    // Hands the calibration window's messages to the panel, as its window
    // does, until `done` holds.
    bool PumpWindow(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            platform::PostedMessage message;
            while (mRouter->Take(&message)) {
                Deliver(message);
            }
            Settle();
            if (done()) {
                return true;
            }
        }
        return done();
    }
    void Deliver(platform::PostedMessage& message) {
        if (message.message == device::WM_READ_IRC_VALUE) {
            mPanel->OnReport(message.wParam, message.lParam, message.record.get());
        } else if (message.message == controller::WM_IRC_PROGRESS) {
            mPanel->OnProgress(message.wParam);
        } else if (message.message == controller::WM_IRC_LINK_LOST) {
            mPanel->OnLinkLost();
        }
    }
    void Click(const std::string& name) {
        toolkit::Notification click{toolkit::kNotifyClick, &mWindow.Get(name), name, "", -1};
        mPanel->Handle(click);
    }
    void Toggle(const std::string& name, bool on, int userData = -1) {
        mWindow.Get(name).SetSelected(on, false);
        toolkit::Notification change{toolkit::kNotifySelectChanged, &mWindow.Get(name), name,
                                     std::to_string(userData), userData};
        mPanel->Handle(change);
    }
    bool Running() const { return mPanel->State().mIrcRunning.load(); }
    // The amplifier has reported and the run goes on (it cannot end before
    // every chosen channel was read).
    bool MidRun() const { return mPanel->State().mStatusReports.load() >= 1 && Running(); }
    std::string Tips() { return mWindow.Get("tips").Text(); }

    std::shared_ptr<RoutingSink> mRouter;
    std::chrono::steady_clock::time_point mStarted;
    CalibrationPage mWindow;
    RecordingChart mChart;
    SayYes mQuestions;
    std::unique_ptr<controller::AutoCalPanel> mPanel;
};

TEST_F(AutoCalRunTest, AWholeRunEndsWithTheMeasuredCurvesAndAResultToApply) {
    for (int c = 2; c < 8; ++c) {
        Toggle("ch_checkbox_" + std::to_string(c), false, c);
    }
    Click("start_auto_cal");
    EXPECT_EQ(mQuestions.asked, std::vector<std::string>{"${irc_warning_tips}"});
    EXPECT_EQ(mPanel->ChannelMask(), 0x0003);
    ASSERT_TRUE(PumpWindow([&] { return !Running(); }));
    EXPECT_EQ(Tips(), "${irc_completed}");
    EXPECT_TRUE(mPanel->State().mIrcDone.load());
    // The speaker curves were handed once per channel's last point, with
    // the two chosen channels shown.
    EXPECT_GE(mChart.speakerHands, 2 + 1);
    EXPECT_EQ(mChart.speakerVisible.size(), 10u);
    EXPECT_TRUE(mChart.speakerVisible[0] && mChart.speakerVisible[1]);
    EXPECT_FALSE(mChart.speakerVisible[2]);
    // The EQ curve is the sum of the result's bands.
    const auto result = mDemo.protocol->CalibrationResult(0);
    ASSERT_EQ(result.size(), 11u);
    controller::CurveRow grid{}, sum{}, magnitude{}, phase{};
    dsp::makeLogGrid(48000.0, grid);
    for (const model::EqBand& band : result) {
        dsp::bandResponse(48000.0, band.freq, band.eqGain, band.eqFactor, grid, 0, magnitude,
                          phase);
        for (size_t i = 0; i < sum.size(); ++i) {
            sum[i] += magnitude[i];
        }
    }
    for (size_t i = 0; i < sum.size(); i += 37) {
        EXPECT_NEAR(mPanel->Curves().EqValues(0)[i], sum[i], 0.1) << i;
    }
    mDemo.amplifier->ClearReceived();
    Click("irc_save_data");
    EXPECT_EQ(Tips(), "${irc_applyed}");
    EXPECT_EQ(SetsOf(device::DSP_IRC_CTRL), (std::vector<std::vector<uint8_t>>{{2, 0, 0, 0}}));
    EXPECT_EQ(mPanel->Close(), 1);
}

TEST_F(AutoCalRunTest, NoResultIsAppliedOrDiscardedWithoutACompletedRun) {
    mDemo.amplifier->ClearReceived();
    Click("irc_save_data");
    EXPECT_EQ(Tips(), "${irc_start_tips}");
    Click("irc_cancel_data");
    EXPECT_EQ(Tips(), "${irc_start_tips}");
    // A run that failed leaves nothing to apply either.
    mDemo.protocol->SetCalibrationFault(virtual_device::CalibrationFault::kNoMicrophone, -1);
    Click("start_auto_cal");
    ASSERT_TRUE(PumpWindow([&] { return !Running(); }));
    EXPECT_EQ(Tips(), "${irc_failed_mic}");
    Click("irc_save_data");
    EXPECT_EQ(Tips(), "${irc_start_tips}");
    for (const auto& data : SetsOf(device::DSP_IRC_CTRL)) {
        EXPECT_EQ(data.front(), 1) << "only the start went out";
    }
}

// The window is slow to take the amplifier's reports: the worker must not
// act again on the last status it saw, or it reads the same channel twice.
TEST_F(AutoCalRunTest, AWindowSlowToTakeReportsDoesNotMakeTheWorkerReadAChannelTwice) {
    std::atomic<int> polls{0};
    mDemo.amplifier->SetHandler(
        device::CMD_DSP, device::DSP_IRC_CTRL,
        [&](const virtual_device::HostFrame& frame, virtual_device::Replies& replies) {
            if (frame.operation == device::OP_SET) {
                replies.Frame(device::CMD_DSP, device::DSP_IRC_CTRL, device::OP_ACK, {0x0A});
                return;
            }
            ++polls;
            // Channel 2's response stays announced.
            replies.Frame(device::CMD_DSP, device::DSP_IRC_CTRL, device::OP_UPDATE,
                          {7, 2, 0, 60, 0});
        });
    mDemo.amplifier->ClearReceived();
    Click("start_auto_cal");
    auto spectra = [&] {
        int count = 0;
        for (const auto& [sub, data] : DspFrames(device::OP_GET)) {
            count += sub == device::DSP_IRC_SPECTRUM;
        }
        return count;
    };
    ASSERT_TRUE(PumpWindow([&] { return spectra() == 14; }));
    // The window takes nothing for a while; the worker polls on meanwhile.
    const int pollsBefore = polls.load();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GT(polls.load(), pollsBefore + 2) << "the worker kept polling";
    EXPECT_EQ(spectra(), 14) << "nothing was read again on a status not taken";
    Click("start_auto_cal");  // stop
    EXPECT_FALSE(Running());
}

TEST_F(AutoCalRunTest, AStopWhileTheWorkerWaitsForAnAnswerEndsTheRun) {
    Click("start_auto_cal");
    ASSERT_TRUE(PumpWindow([&] { return MidRun(); }));
    // The amplifier is slow to answer: the worker is mid-request when the
    // stop goes out from this thread.
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(30));
    Click("start_auto_cal");
    EXPECT_FALSE(Running());
    EXPECT_EQ(Tips(), "${irc_stoped}");
    EXPECT_EQ(mWindow.Get("start_auto_cal").Text(), "${start_irc}");
    EXPECT_TRUE(mWindow.Get("closebtn").Enabled());
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(0));
    EXPECT_TRUE(PumpWindow([&] { return mDemo.protocol->CalibrationStatusNow().status == 12; }));
    // Reports still on their way change nothing but the last status.
    mPanel->OnReport(1, 30, nullptr);
    EXPECT_EQ(Tips(), "${irc_stoped}");
    EXPECT_EQ(mPanel->Close(), 0);
}

TEST_F(AutoCalRunTest, TheWindowGoingMidRunStopsTheAmplifiersRun) {
    Click("start_auto_cal");
    ASSERT_TRUE(PumpWindow([&] { return MidRun(); }));
    mPanel.reset();
    EXPECT_EQ(mDemo.protocol->CalibrationStatusNow().status, 12);
}

TEST_F(AutoCalRunTest, TheLinkLostMidRunEndsTheRunAtOnce) {
    Click("start_auto_cal");
    ASSERT_TRUE(PumpWindow([&] { return MidRun(); }));
    mDemo.amplifier->Unplug();
    ASSERT_TRUE(PumpWindow([&] { return !Running(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(
        PumpWindow([&] { return Tips() == "${irc_device_lost}"; }, std::chrono::seconds(5)));
    EXPECT_TRUE(mWindow.Get("start_auto_cal").Enabled());
    EXPECT_TRUE(mWindow.Get("closebtn").Enabled());
    Click("start_auto_cal");
    EXPECT_EQ(mQuestions.told.back(), "${irc_not_connected}");
    EXPECT_FALSE(Running());
}

TEST_F(AutoCalRunTest, OnlyTheLastBandAndTheLastPointRedrawTheirCurves) {
    const int eqBefore = mChart.eqHands;
    for (int b = 0; b < 10; ++b) {
        device::IrcEqRecord band{3, b, 100 * (b + 1), 2.0f, -3.0f};
        mPanel->OnReport(device::DSP_IRC_EQ, 0, platform::MakeRecord(band).get());
    }
    EXPECT_EQ(mChart.eqHands, eqBefore);
    EXPECT_NEAR(mPanel->Curves().EqValues(3)[0], 0.0, 1e-9) << "stored, not drawn yet";
    device::IrcEqRecord last{3, 10, 8000, 2.0f, -3.0f};
    mPanel->OnReport(device::DSP_IRC_EQ, 0, platform::MakeRecord(last).get());
    EXPECT_EQ(mChart.eqHands, eqBefore + 1);
    EXPECT_EQ(mPanel->Curves().EqBand(3, 10).freq, 8000);

    // A channel not measured yet shows no response.
    ASSERT_FALSE(mChart.speakerVisible.empty());
    EXPECT_FALSE(mChart.speakerVisible[0]);
    const int speakerBefore = mChart.speakerHands;
    for (int p = 0; p < 120; ++p) {
        device::IrcSpectrumRecord point{0, p, 20.0f + p, -4.5f};
        mPanel->OnReport(device::DSP_IRC_SPECTRUM, 0, platform::MakeRecord(point).get());
    }
    EXPECT_EQ(mChart.speakerHands, speakerBefore);
    device::IrcSpectrumRecord point{0, 120, 20000.0f, -4.5f};
    mPanel->OnReport(device::DSP_IRC_SPECTRUM, 0, platform::MakeRecord(point).get());
    EXPECT_EQ(mChart.speakerHands, speakerBefore + 1);
    EXPECT_DOUBLE_EQ(mChart.lastSpeaker0[0], -4.5);
    EXPECT_TRUE(mChart.speakerVisible[0]);
    EXPECT_FALSE(mChart.speakerVisible[1]);
    // Records beyond the stores change nothing and draw nothing.
    device::IrcEqRecord far{40, 99, 1000, 1.0f, 1.0f};
    mPanel->OnReport(device::DSP_IRC_EQ, 0, platform::MakeRecord(far).get());
    const model::EqBand nextChannelsFirst = mPanel->Curves().SpeakerPoint(1, 0);
    device::IrcSpectrumRecord beyond{0, 121, 1000.0f, 1.0f};
    mPanel->OnReport(device::DSP_IRC_SPECTRUM, 0, platform::MakeRecord(beyond).get());
    EXPECT_EQ(mPanel->Curves().SpeakerPoint(1, 0), nextChannelsFirst);
    EXPECT_EQ(mChart.eqHands, eqBefore + 1);
    EXPECT_EQ(mChart.speakerHands, speakerBefore + 1);
}

TEST_F(AutoCalRunTest, TheOptionsSetTheModulesTheModeAndWhatIsShown) {
    // Channel 0's calibration EQ in: shown; switching the EQ set off hands
    // it with every curve hidden.
    for (int b = 0; b < 11; ++b) {
        device::IrcEqRecord band{0, b, 100 * (b + 1), 2.0f, -3.0f};
        mPanel->OnReport(device::DSP_IRC_EQ, 0, platform::MakeRecord(band).get());
    }
    EXPECT_EQ(std::count(mChart.eqVisible.begin(), mChart.eqVisible.end(), true), 1);
    Toggle("display_eq", false);
    EXPECT_EQ(std::count(mChart.eqVisible.begin(), mChart.eqVisible.end(), true), 0);
    Toggle("display_eq", true);
    EXPECT_EQ(std::count(mChart.eqVisible.begin(), mChart.eqVisible.end(), true), 1);
    Toggle("irc_eq", false);
    EXPECT_EQ(mPanel->Modules(), 6);
    Toggle("irc_phase", false);
    EXPECT_EQ(mPanel->Modules(), 2);
    Toggle("irc_eq", true);
    Toggle("irc_phase", true);
    // The EQ mode is the first effect chosen, plus one.
    mWindow.Get("audio_effect_3").SetSelected(true, false);
    mQuestions.confirm = false;
    Toggle("ch_checkbox_0", true, 0);
    Click("start_auto_cal");
    EXPECT_EQ(mPanel->EqMode(), 4);
    Click("start_auto_cal");  // stop
    mWindow.Get("audio_effect_3").SetSelected(false, false);
    // The second target preset is drawn for "audio_effect_0".
    const double before = mPanel->Curves().TargetValues(0)[400];
    Toggle("audio_effect_0", true);
    EXPECT_NE(mPanel->Curves().TargetValues(0)[400], before);
    Toggle("audio_effect_null", true);
    EXPECT_DOUBLE_EQ(mPanel->Curves().TargetValues(0)[400], before);
    // The listening modes have targets of their own: "Bass" lifts the low
    // end above the flat mode's.
    Toggle("audio_effect_8", true);
    controller::CurveRow grid{};
    dsp::makeLogGrid(48000.0, grid);
    const size_t at50Hz =
        static_cast<size_t>(std::lower_bound(grid.begin(), grid.end(), 50.0) - grid.begin());
    const double flat = mPanel->Curves().TargetValues(0)[at50Hz];
    Toggle("audio_effect_6", true);
    EXPECT_GT(mPanel->Curves().TargetValues(0)[at50Hz], flat + 4.0);
}

}  // namespace
}  // namespace test_support
