// The noise gate and the input noise threshold as their windows drive them,
// against the virtual amplifier: typed, stepped and slid values down to the
// indices the amplifier keeps, the poll queued and its answers up to the
// bars, and a closed window letting go of the noise reports.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "controller/noise_gate_panel.h"
#include "controller/noise_threshold_panel.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"

namespace {

using controller::NoiseGatePanel;
using controller::NoiseThresholdPanel;
using test_support::FakeControl;
using test_support::FakePage;

constexpr platform::WindowHandle kWindowHandle = 2;

// A dialog's controls: the fake page's, under a handle of its own.
class WindowPage final : public toolkit::ControlAccess {
public:
    toolkit::ControlHandle* FindControl(const std::string& name) override {
        return mPage.FindControl(name);
    }
    platform::WindowHandle Handle() const override { return kWindowHandle; }
    void SetTimer(int id, int ms) override { mPage.SetTimer(id, ms); }
    void KillTimer(int id) override { mPage.KillTimer(id); }
    void Retranslate() override {}
    FakeControl& Get(const std::string& name) { return mPage.Get(name); }
    bool TimerRunning(int id) const { return mPage.TimerRunning(id); }
    int TimerPeriod(int id) const { return mPage.TimerPeriod(id); }

private:
    FakePage mPage;
};

// Messages for the main page go where the fixture pumps them; those for the
// dialog queue up here.
class TwoWindowSink final : public platform::MessageSink {
public:
    explicit TwoWindowSink(std::shared_ptr<test_support::QueueSink> main)
        : mMain(std::move(main)) {}
    bool Post(platform::PostedMessage message) override {
        if (message.target != kWindowHandle) {
            return mMain->Post(std::move(message));
        }
        std::lock_guard<std::mutex> hold(mLock);
        mDialog.push_back(std::move(message));
        return true;
    }
    bool Take(platform::PostedMessage* message) {
        std::lock_guard<std::mutex> hold(mLock);
        if (mDialog.empty()) {
            return false;
        }
        *message = std::move(mDialog.front());
        mDialog.pop_front();
        return true;
    }

private:
    std::shared_ptr<test_support::QueueSink> mMain;
    std::mutex mLock;
    std::deque<platform::PostedMessage> mDialog;
};

class NoisePanels : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        platform::SetMessageSink(mSinks);
        mDemo.protocol->SetNoiseClock([this] { return mNowMs.load(); });
        mWindow.Get("slider_noise_threshold").SetRange(0, 31);
        mWindow.Get("slider_drc_gain").SetRange(0, 48);
    }
    void Connect() {
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }
    void Type(const char* edit, const std::string& text) { mWindow.Get(edit).SetText(text); }
    void Notify(NoiseGatePanel& panel, const char* type, const char* name) {
        toolkit::Notification n;
        n.type = type;
        n.name = name;
        EXPECT_TRUE(panel.Handle(n)) << type << " " << name;
    }
    size_t Sets(uint8_t sub) {
        EXPECT_TRUE(WaitQueueIdle());
        return SetsOf(sub).size();
    }
    // The noise requests the amplifier received, as (first, last).
    std::vector<std::pair<int, int>> NoiseRequests() {
        std::vector<std::pair<int, int>> requests;
        for (auto& [sub, data] : DspFrames(device::OP_GET)) {
            if (sub == device::DSP_INPUT_NOISE && data.size() >= 2) {
                requests.emplace_back(data[0], data[1]);
            }
        }
        return requests;
    }
    // Hands the dialog's noise reports to the panel, as its window does,
    // until one arrived.
    bool DeliverNoiseReport(NoiseThresholdPanel& panel) {
        return Pump([&] {
            platform::PostedMessage message;
            bool delivered = false;
            while (mSinks->Take(&message)) {
                if (message.message != device::WM_READ_DSP_VALUE ||
                    message.wParam != device::DSP_INPUT_NOISE) {
                    continue;
                }
                if (auto* record =
                        platform::RecordValue<device::InputNoiseRecord>(message.record)) {
                    panel.OnNoiseReport(*record);
                    delivered = true;
                }
            }
            return delivered;
        });
    }

    std::shared_ptr<TwoWindowSink> mSinks = std::make_shared<TwoWindowSink>(mSink);
    std::atomic<int64_t> mNowMs{1000};
    WindowPage mWindow;
};

// ---- the noise gate ----

TEST_F(NoisePanels, TheGateWindowShowsTheAmplifiersGate) {
    auto state = mDemo.protocol->State(0);
    state.noiseGate = 1;
    state.noiseGateThresholdIndex = 7;  // -40.5 dB, position 24
    state.noiseGateGainIndex = 28;      // -4 dB
    mDemo.protocol->SetState(0, state);
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), "-40.5dB");
    EXPECT_EQ(mWindow.Get("slider_noise_threshold").Value(), 24);
    EXPECT_EQ(mWindow.Get("edit_drc_gain").Text(), "-4.0dB");
    EXPECT_EQ(mWindow.Get("slider_drc_gain").Value(), 28);
    EXPECT_EQ(mWindow.Get("btn_noise_gate").Text(), "${btn_noise_gate_on}");
    EXPECT_TRUE(mWindow.Get("btn_noise_gate").Selected());
    EXPECT_EQ(mWindow.Get("btn_noise_gate").TextColor(), 0xFFFFFFFFu);
}

TEST_F(NoisePanels, TypedValuesGoToTheNearestPositionAndTheAmplifier) {
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    Type("edit_noise_threshold", "-40");
    Notify(panel, toolkit::kNotifyReturn, "edit_noise_threshold");
    EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), "-40.5dB");
    EXPECT_EQ(mWindow.Get("slider_noise_threshold").Value(), 24);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().noiseGateThreshold, -40.5f);
    Type("edit_drc_gain", "-3.5");
    Notify(panel, toolkit::kNotifyKillFocus, "edit_drc_gain");
    EXPECT_EQ(mWindow.Get("edit_drc_gain").Text(), "-3.5dB");
    EXPECT_EQ(mWindow.Get("slider_drc_gain").Value(), 28);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().noiseGateDrcGain, -3.5f);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().noiseGateThresholdIndex, 7);
    EXPECT_EQ(Amp().noiseGateGainIndex, 28);
    // Halves go away from zero: -39.75 is position 24.5, so 25 (-39 dB).
    Type("edit_noise_threshold", "-39.75dB");
    Notify(panel, toolkit::kNotifyReturn, "edit_noise_threshold");
    EXPECT_EQ(mWindow.Get("slider_noise_threshold").Value(), 25);
    EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), "-39.0dB");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().noiseGateThresholdIndex, 6);
}

TEST_F(NoisePanels, ValuesBeyondTheSlidersAreHeldAtTheirEnds) {
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    struct Case {
        const char* edit;
        const char* text;
        const char* shown;
        int position;
    };
    const Case cases[] = {
        {"edit_noise_threshold", "0", "-30.0dB", 31},
        {"edit_noise_threshold", "-200", "-76.5dB", 0},
        {"edit_drc_gain", "99", "16.0dB", 48},
        {"edit_drc_gain", "-99.5", "-32.0dB", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Type(c.edit, c.text);
        Notify(panel, toolkit::kNotifyReturn, c.edit);
        EXPECT_EQ(mWindow.Get(c.edit).Text(), c.shown);
        const bool threshold = std::string(c.edit) == "edit_noise_threshold";
        EXPECT_EQ(mWindow.Get(threshold ? "slider_noise_threshold" : "slider_drc_gain").Value(),
                  c.position);
        ASSERT_TRUE(WaitQueueIdle());
        if (threshold) {
            EXPECT_EQ(Amp().noiseGateThresholdIndex, 31 - c.position);
        } else {
            EXPECT_EQ(Amp().noiseGateGainIndex, c.position);
        }
    }
    // A layout with a narrower slider limits to it, too.
    mWindow.Get("slider_noise_threshold").SetRange(5, 20);
    Type("edit_noise_threshold", "-3");
    Notify(panel, toolkit::kNotifyReturn, "edit_noise_threshold");
    EXPECT_EQ(mWindow.Get("slider_noise_threshold").Value(), 20);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().noiseGateThresholdIndex, 11);
}

TEST_F(NoisePanels, TextWithoutANumberSendsNothingAndShowsTheValueAgain) {
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    const std::string threshold = mWindow.Get("edit_noise_threshold").Text();
    const std::string gain = mWindow.Get("edit_drc_gain").Text();
    const auto before = Amp();
    for (const char* text : {"abc", "", "dB", "-", " x1"}) {
        SCOPED_TRACE(text);
        Type("edit_noise_threshold", text);
        Notify(panel, toolkit::kNotifyReturn, "edit_noise_threshold");
        Type("edit_drc_gain", text);
        Notify(panel, toolkit::kNotifyKillFocus, "edit_drc_gain");
        EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), threshold);
        EXPECT_EQ(mWindow.Get("edit_drc_gain").Text(), gain);
    }
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_THRESHOLD), 0u);
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_DRC_GAIN), 0u);
    EXPECT_EQ(Amp().noiseGateThresholdIndex, before.noiseGateThresholdIndex);
    EXPECT_EQ(Amp().noiseGateGainIndex, before.noiseGateGainIndex);
    // Leaving an edit untouched sends nothing either.
    Notify(panel, toolkit::kNotifyKillFocus, "edit_noise_threshold");
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_THRESHOLD), 0u);
}

TEST_F(NoisePanels, StepsMoveOnePositionAndNothingAtTheEnds) {
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    Type("edit_noise_threshold", "-30");  // the top, position 31
    Notify(panel, toolkit::kNotifyReturn, "edit_noise_threshold");
    Type("edit_drc_gain", "-32");  // the bottom, position 0
    Notify(panel, toolkit::kNotifyReturn, "edit_drc_gain");
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_noise_threshold");
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_drc_gain");
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_THRESHOLD), 0u);
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_DRC_GAIN), 0u);
    EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), "-30.0dB");
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_noise_threshold");
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_drc_gain");
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_drc_gain");
    EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), "-31.5dB");
    EXPECT_EQ(mWindow.Get("slider_noise_threshold").Value(), 30);
    EXPECT_EQ(mWindow.Get("edit_drc_gain").Text(), "-30.0dB");
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_THRESHOLD), 1u);
    EXPECT_EQ(Sets(device::DSP_NOISE_GATE_DRC_GAIN), 2u);
    EXPECT_EQ(Amp().noiseGateThresholdIndex, 1);
    EXPECT_EQ(Amp().noiseGateGainIndex, 2);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().noiseGateDrcGain, -30.0f);
}

TEST_F(NoisePanels, SlidersSendTheirPositions) {
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    mWindow.Get("slider_noise_threshold").SetValue(10);
    Notify(panel, toolkit::kNotifyValueChanged, "slider_noise_threshold");
    mWindow.Get("slider_drc_gain").SetValue(40);
    Notify(panel, toolkit::kNotifyMoveValueChanged, "slider_drc_gain");
    EXPECT_EQ(mWindow.Get("edit_noise_threshold").Text(), "-61.5dB");
    EXPECT_EQ(mWindow.Get("edit_drc_gain").Text(), "8.0dB");
    EXPECT_TRUE(mWindow.Get("edit_drc_gain").mFocused);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().noiseGateThresholdIndex, 21);
    EXPECT_EQ(Amp().noiseGateGainIndex, 40);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().noiseGateThreshold, -61.5f);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().noiseGateDrcGain, 8.0f);
}

TEST_F(NoisePanels, TheSwitchTurnsTheGateAndTheMainPagesSwitch) {
    Connect();
    NoiseGatePanel panel(*mManager, mWindow);
    panel.Show();
    ASSERT_EQ(mManager->WorkingProfile().noiseGate, 0);
    Notify(panel, toolkit::kNotifyClick, "btn_noise_gate");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().noiseGate, 1);
    for (FakeControl* button : {&mWindow.Get("btn_noise_gate"), &mPage.Get("btn_noise_gate")}) {
        EXPECT_EQ(button->Text(), "${btn_noise_gate_on}");
        EXPECT_TRUE(button->Selected());
    }
    EXPECT_TRUE(mWindow.Get("slider_noise_threshold").Enabled());
    Notify(panel, toolkit::kNotifyClick, "btn_noise_gate");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().noiseGate, 0);
    for (FakeControl* button : {&mWindow.Get("btn_noise_gate"), &mPage.Get("btn_noise_gate")}) {
        EXPECT_EQ(button->Text(), "${btn_noise_gate_off}");
        EXPECT_FALSE(button->Selected());
    }
    EXPECT_EQ(mWindow.Get("btn_noise_gate").TextColor(), 0xFFFF0000u);
    for (const char* name :
         {"slider_noise_threshold", "slider_drc_gain", "edit_noise_threshold", "edit_drc_gain"}) {
        EXPECT_FALSE(mWindow.Get(name).Enabled()) << name;
    }
}

TEST(NoiseGateMapping, PositionsDbAndIndices) {
    using namespace controller::noise_gate;
    EXPECT_DOUBLE_EQ(ThresholdDbOf(0), -76.5);
    EXPECT_DOUBLE_EQ(ThresholdDbOf(31), -30.0);
    EXPECT_EQ(ThresholdPositionOf(-40.0), 24);
    EXPECT_EQ(ThresholdPositionOf(-75.75), 1);   // 0.5 goes up
    EXPECT_EQ(ThresholdPositionOf(-77.25), -1);  // -0.5 goes down, away from zero
    EXPECT_EQ(ThresholdIndexOf(24), 7);
    EXPECT_EQ(ThresholdIndexOf(0), 31);
    EXPECT_DOUBLE_EQ(GainDbOf(28.5), -3.5);
    for (int p = 0; p <= kThresholdTop; ++p) {
        EXPECT_EQ(ThresholdPositionOf(ThresholdDbOf(p)), p);
    }
}

// ---- the input noise threshold ----

TEST_F(NoisePanels, TheThresholdWindowPollsAndItsBarsFollowTheAmplifier) {
    Connect();
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    ASSERT_EQ(panel.InputCount(), 8);  // low level in the demo
    EXPECT_TRUE(mWindow.TimerRunning(4112));
    EXPECT_EQ(mWindow.TimerPeriod(4112), 500);
    EXPECT_EQ(mManager->Link().NoiseWnd(), kWindowHandle);
    for (int64_t now : {1000, 1500, 9000}) {
        SCOPED_TRACE(now);
        mNowMs = now;
        ASSERT_TRUE(WaitQueueIdle());
        mDemo.amplifier->ClearReceived();
        panel.OnPollTimer();
        ASSERT_TRUE(DeliverNoiseReport(panel));
        EXPECT_EQ(NoiseRequests(), (std::vector<std::pair<int, int>>{{0, 7}}));
        for (int i = 0; i < 8; ++i) {
            const float level = mDemo.protocol->InputNoiseDb(i);
            char text[16];
            std::snprintf(text, sizeof text, " %.1f", level);
            EXPECT_EQ(mWindow.Get("noise_" + std::to_string(i)).Text(), text) << i;
            EXPECT_EQ(mWindow.Get("progress_" + std::to_string(i)).Value(),
                      static_cast<int>(std::lround(level)))
                << i;
        }
    }
}

TEST_F(NoisePanels, TicksWhileTheLinkIsBusyAskNothingMore) {
    Connect();
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    // A slow amplifier: each answer comes 300 ms late.
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(300));
    for (int tick = 0; tick < 5; ++tick) {
        panel.OnPollTimer();
    }
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(0));
    EXPECT_EQ(NoiseRequests().size(), 1u) << "one request at a time, none piled up";
    ASSERT_TRUE(DeliverNoiseReport(panel));
    panel.OnPollTimer();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(NoiseRequests().size(), 2u) << "the next tick asks again";
}

TEST_F(NoisePanels, OnlyTheSourcesInputsHaveRows) {
    Connect();
    mManager->SetInputSourceTo(2);  // Bluetooth: two inputs
    ASSERT_TRUE(WaitQueueIdle());
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    EXPECT_EQ(panel.InputCount(), 2);
    for (int i = 0; i < 12; ++i) {
        const bool shown = i < 2;
        EXPECT_EQ(mWindow.Get("prg_group_" + std::to_string(i)).Visible(), shown) << i;
        EXPECT_EQ(mWindow.Get("in_" + std::to_string(i)).Visible(), shown) << i;
        EXPECT_EQ(mWindow.Get("progress_" + std::to_string(i)).Value(), -100) << i;
    }
    // Six rows or fewer make the window 100 narrower than the layout.
    EXPECT_EQ(panel.WidthFor(500), 400);
    mDemo.amplifier->ClearReceived();
    panel.OnPollTimer();
    ASSERT_TRUE(DeliverNoiseReport(panel));
    EXPECT_EQ(NoiseRequests(), (std::vector<std::pair<int, int>>{{0, 1}}));
}

TEST_F(NoisePanels, TheThresholdIsHeldToItsRangeAndTheBottomIsOff) {
    Connect();
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    struct Case {
        const char* text;
        const char* shown;
        int sent;
    };
    const Case cases[] = {
        {"-30", "-40dBu", -40},    {"-70", "${off}", -61},   {"-45dBu", "-45dBu", -45},
        {"${off}", "${off}", -61}, {"-52.9", "-52dBu", -52},
    };
    toolkit::Notification commit{toolkit::kNotifyReturn, nullptr, "value_edt", "", -1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        mWindow.Get("value_edt").SetText(c.text);
        EXPECT_TRUE(panel.Handle(commit));
        EXPECT_EQ(mWindow.Get("value_edt").Text(), c.shown);
        EXPECT_EQ(mManager->WorkingProfile().inputThreshold, c.sent);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_EQ(Amp().inputThreshold, c.sent);
    }
    // Garbage changes nothing and sends nothing.
    mDemo.amplifier->ClearReceived();
    mWindow.Get("value_edt").SetText("loud");
    EXPECT_TRUE(panel.Handle(commit));
    EXPECT_EQ(mWindow.Get("value_edt").Text(), "-52dBu");
    EXPECT_EQ(Sets(device::DSP_INPUT_THRESHOLD), 0u);
    EXPECT_EQ(Amp().inputThreshold, -52);
}

TEST_F(NoisePanels, ThresholdStepsGoOneDbuAndStopAtTheEnds) {
    Connect();
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    mWindow.Get("value_edt").SetText("-41dBu");
    panel.StepThreshold(true);
    EXPECT_EQ(mWindow.Get("value_edt").Text(), "-40dBu");
    panel.StepThreshold(true);
    EXPECT_EQ(mWindow.Get("value_edt").Text(), "-40dBu");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().inputThreshold, -40);
    mWindow.Get("value_edt").SetText("-60dBu");
    panel.StepThreshold(false);
    EXPECT_EQ(mWindow.Get("value_edt").Text(), "${off}");
    panel.StepThreshold(false);
    EXPECT_EQ(mWindow.Get("value_edt").Text(), "${off}");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().inputThreshold, -61);
    toolkit::Notification up{toolkit::kNotifyValueChangedUp, nullptr, "value_edt", "", -1};
    EXPECT_TRUE(panel.Handle(up));
    EXPECT_EQ(mWindow.Get("value_edt").Text(), "-60dBu");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().inputThreshold, -60);
}

TEST_F(NoisePanels, WithoutAnAmplifierTheBarsStayEmptyAndNothingIsAsked) {
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    EXPECT_FALSE(mWindow.TimerRunning(4112));
    EXPECT_FALSE(panel.IsPolling());
    panel.OnPollTimer();
    EXPECT_TRUE(NoiseRequests().empty());
    for (int i = 0; i < panel.InputCount(); ++i) {
        EXPECT_EQ(mWindow.Get("progress_" + std::to_string(i)).Value(), -100);
    }
}

TEST_F(NoisePanels, APulledCableEmptiesTheBarsAndStopsTheRequests) {
    Connect();
    NoiseThresholdPanel panel(*mManager, mUi, mWindow);
    panel.Open();
    panel.OnPollTimer();
    ASSERT_TRUE(DeliverNoiseReport(panel));
    ASSERT_NE(mWindow.Get("progress_0").Value(), -100);
    mDemo.amplifier->Unplug();
    mManager->DevicePlugOut(mPath);
    Settle();
    ASSERT_FALSE(mManager->Link().IsConnected());
    const uint64_t received = mDemo.amplifier->ReceivedCount();
    panel.OnPollTimer();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(mWindow.Get("progress_" + std::to_string(i)).Value(), -100) << i;
        EXPECT_EQ(mWindow.Get("noise_" + std::to_string(i)).Text(), "") << i;
    }
    EXPECT_EQ(mDemo.amplifier->ReceivedCount(), received);
}

TEST_F(NoisePanels, AClosedWindowLetsGoOfTheNoiseReports) {
    Connect();
    {
        NoiseThresholdPanel panel(*mManager, mUi, mWindow);
        panel.Open();
        panel.OnPollTimer();
        ASSERT_TRUE(WaitQueueIdle());
        panel.Stop();
        EXPECT_FALSE(mWindow.TimerRunning(4112));
        EXPECT_EQ(mManager->Link().NoiseWnd(), platform::kNoWindow);
        panel.OnPollTimer();  // a tick already queued asks nothing
    }
    platform::PostedMessage stale;
    while (mSinks->Take(&stale)) {
    }
    // A report the amplifier sends now reaches no window.
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_INPUT_NOISE, device::OP_UPDATE,
                               {0, 1, 30, 0, 31, 0});
    ReadSpontaneousReport();
    EXPECT_FALSE(mSinks->Take(&stale));
    // A window that goes without a button (the program closing) lets go too.
    {
        NoiseThresholdPanel closedByTheProgram(*mManager, mUi, mWindow);
        closedByTheProgram.Open();
        EXPECT_EQ(mManager->Link().NoiseWnd(), kWindowHandle);
    }
    EXPECT_EQ(mManager->Link().NoiseWnd(), platform::kNoWindow);
    // A window closing late does not take the reports from a newer one.
    mManager->Link().SetNoiseWnd(7);
    { NoiseThresholdPanel old(*mManager, mUi, mWindow); }
    EXPECT_EQ(mManager->Link().NoiseWnd(), 7u);
}

}  // namespace
