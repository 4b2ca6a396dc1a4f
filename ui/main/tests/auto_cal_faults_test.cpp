// The calibration window when the run goes wrong: each failure the
// amplifier reports with its text, the statuses a firmware may end with,
// the cable pulled in the middle of a run and while the result is applied,
// and an amplifier that stops answering. Nothing crashes or hangs, the
// installer is told what happened, and the program is usable again.
#include <QAbstractButton>
#include <atomic>
#include <mutex>

#include "auto_cal_fixture.h"
#include "virtual_device/calibration_run.h"

namespace ui {
namespace {

using testing::AMessageBoxIsUp;
using testing::AutoCalTest;
using testing::BoxAnswerer;
using testing::TopModalWindow;
using testing::WaitFor;

class AutoCalFaultsTest : public AutoCalTest {
protected:
    void Start(CAutoCalWnd& window, BoxAnswerer& boxes) {
        boxes.Expect(1, {"confirm_btn"}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
    }
    // The run ended as a failure: the buttons are usable and nothing is
    // offered to apply.
    void ExpectFailedRun(CAutoCalWnd& window, const std::string& text) {
        ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
        EXPECT_EQ(Shown(window, "tips"), Text(text));
        EXPECT_EQ(Shown(window, "start_auto_cal"), Text("${start_irc}"));
        EXPECT_TRUE(Button(window, "start_auto_cal")->isEnabled());
        EXPECT_TRUE(Button(window, "closebtn")->isEnabled());
        EXPECT_FALSE(window.Panel()->State().mIrcDone.load());
        EXPECT_FALSE(Button(window, "irc_save_data")->isEnabled());
        EXPECT_FALSE(Button(window, "irc_cancel_data")->isEnabled());
    }
};

TEST_F(AutoCalFaultsTest, EachFailureTheAmplifierReportsIsShownInWords) {
    struct Case {
        virtual_device::CalibrationFault fault;
        const char* text;
    };
    const Case cases[] = {
        {virtual_device::CalibrationFault::kNoMicrophone, "${irc_failed_mic}"},
        {virtual_device::CalibrationFault::kMissingSpeaker, "${irc_failed_speaker}"},
        {virtual_device::CalibrationFault::kLevelTooLow, "${irc_failed_level}"},
        // A reason this program has no text for still says the run failed.
        {virtual_device::CalibrationFault::kUnknownReason, "${irc_failed}"},
    };
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            mDemo.protocol->SetCalibrationFault(c.fault, -1);
            Start(window, boxes);
            ExpectFailedRun(window, c.text);
        }
        // With the fault gone the next run completes.
        mDemo.protocol->SetCalibrationFault(virtual_device::CalibrationFault::kNone, -1);
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_completed}"));
        Click(window, "irc_cancel_data");
        Click(window, "closebtn");
    }));
}

// A firmware whose statuses the test plays one per poll: the steps, then
// the end it is given. As a real amplifier does, it keeps announcing a
// channel's response (7) until the host read its 121 points, and its
// correction (8) until the host read its 11 bands.
class ScriptedRunTest : public AutoCalFaultsTest {
protected:
    void Script(std::vector<std::vector<uint8_t>> statuses) {
        std::lock_guard<std::mutex> hold(mScriptLock);
        mScript = std::move(statuses);
        mNext = 0;
        mDemo.amplifier->SetHandler(
            device::CMD_DSP, device::DSP_IRC_CTRL,
            [this](const virtual_device::HostFrame& frame, virtual_device::Replies& replies) {
                if (frame.operation == device::OP_SET) {
                    replies.Frame(device::CMD_DSP, device::DSP_IRC_CTRL, device::OP_ACK, {0x0A});
                    return;
                }
                replies.Frame(device::CMD_DSP, device::DSP_IRC_CTRL, device::OP_UPDATE,
                              NextStatus());
            });
        for (uint8_t sub : {device::DSP_IRC_SPECTRUM, device::DSP_IRC_EQ}) {
            mDemo.amplifier->SetHandler(
                device::CMD_DSP, sub,
                [this, sub](const virtual_device::HostFrame& frame,
                            virtual_device::Replies& replies) {
                    ++(sub == device::DSP_IRC_SPECTRUM ? mSpectrumReads : mEqReads);
                    mDemo.protocol->Handle(frame, replies);
                });
        }
    }

private:
    bool StillAnnounced(const std::vector<uint8_t>& status) const {
        return (status[0] == 7 && mSpectrumReads.load() < 14) ||
               (status[0] == 8 && mEqReads.load() < 2);
    }
    bool Gated(const std::vector<uint8_t>& status) const {
        return status[0] == 7 || status[0] == 8;
    }
    std::vector<uint8_t> NextStatus() {
        std::lock_guard<std::mutex> hold(mScriptLock);
        auto last = [&] { return std::min(mNext, mScript.size() - 1); };
        while (Gated(mScript[last()]) && !StillAnnounced(mScript[last()]) &&
               mNext < mScript.size() - 1) {
            ++mNext;
            mSpectrumReads.store(0);
            mEqReads.store(0);
        }
        const std::vector<uint8_t> status = mScript[last()];
        if (!Gated(status)) {
            ++mNext;
        }
        return status;
    }

    std::mutex mScriptLock;
    std::vector<std::vector<uint8_t>> mScript;
    size_t mNext = 0;
    std::atomic<int> mSpectrumReads{0};
    std::atomic<int> mEqReads{0};
};

TEST_F(ScriptedRunTest, AnExitEndsARunAsDoneDoes) {
    Script({{0, 0, 0, 5, 0}, {2, 0, 0, 40, 0}, {12, 0, 0, 100, 0}});
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_completed}"));
        EXPECT_TRUE(window.Panel()->State().mIrcDone.load());
        Click(window, "irc_save_data");
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_applyed}"));
        Click(window, "closebtn");
    }));
    EXPECT_TRUE(ReadTheAmplifierAgain());
}

TEST_F(ScriptedRunTest, FailuresTheCarDoesNotProduceHaveTheirTextsToo) {
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        for (const auto& [reason, text] :
             std::vector<std::pair<uint8_t, const char*>>{{3, "${irc_failed_delay}"},
                                                          {4, "${irc_failed_ch_volume}"},
                                                          {5, "${irc_failed_eq}"},
                                                          {7, "${irc_failed}"}}) {
            SCOPED_TRACE(text);
            Script({{1, 0, 0, 10, 0}, {11, 0, 0, 20, reason}});
            Start(window, boxes);
            ExpectFailedRun(window, text);
        }
        Click(window, "closebtn");
    }));
}

TEST_F(ScriptedRunTest, AnnouncedChannelsAreReadOncePerAnnouncement) {
    // Channel 2's response, then its correction, then the end.
    Script({{6, 0, 0, 50, 0}, {7, 2, 0, 60, 0}, {8, 2, 0, 70, 0}, {10, 0, 0, 100, 0}});
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        mDemo.amplifier->ClearReceived();
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
        const auto spectra = Frames(device::DSP_IRC_SPECTRUM, device::OP_GET);
        ASSERT_EQ(spectra.size(), 14u);
        for (size_t i = 0; i < spectra.size(); ++i) {
            EXPECT_EQ(spectra[i][0], 2);
            EXPECT_EQ(spectra[i][1], 9 * i);
            EXPECT_EQ(spectra[i][2], std::min<size_t>(9 * i + 8, 120));
        }
        EXPECT_EQ(Frames(device::DSP_IRC_EQ, device::OP_GET),
                  (std::vector<std::vector<uint8_t>>{{2, 0, 5}, {2, 6, 10}}));
        Click(window, "irc_cancel_data");
        Click(window, "closebtn");
    }));
}

TEST_F(AutoCalFaultsTest, TheCablePulledMidRunClosesTheWindowAndSaysSo) {
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return MidRun(window); }));
        boxes.Expect(1, {}, AMessageBoxIsUp);  // the unplug notice
        mDemo.amplifier->Unplug();
        // The program lets go of the amplifier: the window closes at once.
        EXPECT_TRUE(WaitFor([&] { return !window.Widget()->isVisible(); }, 10000));
    }));
    EXPECT_TRUE(WaitFor([&] { return boxes.Saw("AMP-UI"); }, 10000));
    EXPECT_FALSE(mWindow->Widget()->isMinimized());
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());
    // Plugged in again, the program reconnects and a new run completes.
    mDemo.amplifier->Plug();
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        SetOption(window, "ch_checkbox_1", false);
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_completed}"));
        Click(window, "irc_cancel_data");
        Click(window, "closebtn");
    }));
}

TEST_F(AutoCalFaultsTest, AnAmplifierGoneWithoutNoticeEndsTheRunAndTheWindowStaysUsable) {
    // No USB notice reaches the program: only the failing link tells.
    mDemo.amplifier->SetPlugListener(nullptr);
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return MidRun(window); }));
        mDemo.amplifier->Unplug();
        ASSERT_TRUE(WaitFor([&] { return WindowShowsTheEnd(window); }, 10000));
        EXPECT_EQ(Shown(window, "tips"), Text("${irc_device_lost}"));
        EXPECT_TRUE(Button(window, "start_auto_cal")->isEnabled());
        EXPECT_TRUE(Button(window, "closebtn")->isEnabled());
        EXPECT_EQ(Shown(window, "start_auto_cal"), Text("${start_irc}"));
        // A new start is refused with a reason, not sent.
        boxes.Expect(1, {}, AMessageBoxIsUp);
        Click(window, "start_auto_cal");
        EXPECT_TRUE(boxes.Saw(Text("${irc_not_connected}")));
        Click(window, "closebtn");
    }));
    EXPECT_FALSE(mWindow->Widget()->isMinimized());
}

TEST_F(AutoCalFaultsTest, TheCablePulledWhileTheResultIsAppliedLeavesTheAmplifierUnchanged) {
    const virtual_device::AmplifierState before = Amp();
    BoxAnswerer boxes(mWindow.get());
    ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
        SetOption(window, "ch_checkbox_2", false);
        Start(window, boxes);
        ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
        ASSERT_EQ(Shown(window, "tips"), Text("${irc_completed}"));
        boxes.Expect(1, {}, AMessageBoxIsUp);  // the unplug notice
        mDemo.amplifier->UnplugAtReport(1);    // the apply never arrives
        Click(window, "irc_save_data");
        EXPECT_NE(Shown(window, "tips"), Text("${irc_applyed}"));
        EXPECT_TRUE(WaitFor([&] { return !window.Widget()->isVisible(); }, 10000));
    }));
    EXPECT_TRUE(WaitFor([&] { return boxes.Saw("AMP-UI"); }, 10000));
    mDemo.amplifier->Plug();
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    const virtual_device::AmplifierState after = Amp();
    for (int c = 0; c < 8; ++c) {
        for (int b = 0; b < 11; ++b) {
            EXPECT_EQ(after.channels[c].eq[b].frequency, before.channels[c].eq[b].frequency);
            EXPECT_EQ(after.channels[c].eq[b].gainByte, before.channels[c].eq[b].gainByte);
        }
    }
}

}  // namespace
}  // namespace ui
