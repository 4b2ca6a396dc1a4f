// The noise gate window and the input noise threshold window in the running
// program: opened from the main page's button and through the user
// interface's services, driven as a user does (clicks, typing, arrow keys,
// sliders) down to what the virtual amplifier keeps; the bars following the
// amplifier's moving noise; the rows of the source's inputs; every way of
// closing; the cable pulled while the bars are polled; a report after the
// window closed; and every text fitting at every scale and language.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "toolkit/control_access.h"
#include "ui/dialogs/noise_gate_window.h"
#include "ui/dialogs/noise_threshold_window.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

using namespace testing::dialog;

using testing::WaitFor;

constexpr int kPatienceMs = 15000;

class NoiseWindowsTest : public testing::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        mDemo.protocol->SetNoiseClock([this] { return mNowMs.load(); });
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }

    static toolkit::Window* TopModal() { return testing::TopModalWindow(); }

    bool InWindow(const std::string& title, const std::function<void()>& open,
                  const std::function<void(toolkit::Window&)>& act) {
        return testing::InModalWindow(title, open, act, kPatienceMs);
    }

    size_t NoiseRequests() {
        size_t count = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            count += report.size() > 6 && report[4] == device::CMD_DSP &&
                     report[5] == device::DSP_INPUT_NOISE && report[6] == device::OP_GET;
        }
        return count;
    }
    // Whether every shown bar and level is what the amplifier measures now.
    bool BarsShowTheAmplifier(toolkit::Window& window, int inputs) {
        for (int i = 0; i < inputs; ++i) {
            const float level = mDemo.protocol->InputNoiseDb(i);
            char text[16];
            std::snprintf(text, sizeof text, " %.1f", level);
            if (Value(window, "progress_" + std::to_string(i)) != std::lround(level) ||
                window.Find("noise_" + std::to_string(i))->Text() != text) {
                return false;
            }
        }
        return true;
    }
    void OpenGateFromTheMainPage() {
        auto* button = qobject_cast<QAbstractButton*>(Control("win_btn_noise_gate").Widget());
        ASSERT_NE(button, nullptr);
        button->click();
    }

    std::atomic<int64_t> mNowMs{2000};
};

TEST_F(NoiseWindowsTest, TheGateWindowFromTheMainButtonSetsTheAmplifiersGate) {
    const bool ran = InWindow(
        "noise_gate_wnd", [&] { OpenGateFromTheMainPage(); },
        [&](toolkit::Window& gate) {
            EXPECT_EQ(gate.ClassName(), "NoiseGateWnd");
            // The switch, here and on the main page.
            Click(gate, "btn_noise_gate");
            Idle();
            EXPECT_EQ(Amp().noiseGate, 1);
            EXPECT_EQ(Text(gate, "btn_noise_gate"), "${btn_noise_gate_on}");
            EXPECT_EQ(Control("btn_noise_gate").Text(), "${btn_noise_gate_on}");
            EXPECT_TRUE(Control("btn_noise_gate").Selected());
            // Typed values go to the nearest position.
            Type(gate, "edit_noise_threshold", "-40");
            Idle();
            EXPECT_EQ(Text(gate, "edit_noise_threshold"), "-40.5dB");
            EXPECT_EQ(Value(gate, "slider_noise_threshold"), 24);
            EXPECT_EQ(Amp().noiseGateThresholdIndex, 7);
            Type(gate, "edit_drc_gain", "-3.5");
            Idle();
            EXPECT_EQ(Text(gate, "edit_drc_gain"), "-3.5dB");
            EXPECT_EQ(Value(gate, "slider_drc_gain"), 28);
            EXPECT_EQ(Amp().noiseGateGainIndex, 28);
            EXPECT_FLOAT_EQ(mWindow->Manager().WorkingProfile().noiseGateDrcGain, -3.5f);
            // Arrow keys step one position.
            Key(gate, "edit_noise_threshold", Qt::Key_Up);
            Key(gate, "edit_drc_gain", Qt::Key_Down);
            Idle();
            EXPECT_EQ(Text(gate, "edit_noise_threshold"), "-39.0dB");
            EXPECT_EQ(Amp().noiseGateThresholdIndex, 6);
            EXPECT_EQ(Text(gate, "edit_drc_gain"), "-5.0dB");
            EXPECT_EQ(Amp().noiseGateGainIndex, 27);
            // A slider moved by the user.
            auto* slider = qobject_cast<QAbstractSlider*>(Widget(gate, "slider_drc_gain"));
            ASSERT_NE(slider, nullptr);
            QTest::keyClick(slider, Qt::Key_End);
            Idle();
            EXPECT_EQ(Amp().noiseGateGainIndex, 48);
            EXPECT_EQ(Text(gate, "edit_drc_gain"), "16.0dB");
            // At the ends a step sends nothing; garbage sends nothing either.
            Type(gate, "edit_noise_threshold", "-30");
            Idle();
            EXPECT_EQ(Amp().noiseGateThresholdIndex, 0);
            mDemo.amplifier->ClearReceived();
            Key(gate, "edit_noise_threshold", Qt::Key_Up);
            Key(gate, "edit_drc_gain", Qt::Key_Up);
            Type(gate, "edit_noise_threshold", "loud");
            Type(gate, "edit_drc_gain", "dB");
            Idle();
            EXPECT_EQ(SetsOf(device::DSP_NOISE_GATE_THRESHOLD), 0u);
            EXPECT_EQ(SetsOf(device::DSP_NOISE_GATE_DRC_GAIN), 0u);
            EXPECT_EQ(Text(gate, "edit_noise_threshold"), "-30.0dB");
            EXPECT_EQ(Text(gate, "edit_drc_gain"), "16.0dB");
            // Off again: the values are locked until it is on.
            Click(gate, "btn_noise_gate");
            Idle();
            EXPECT_EQ(Amp().noiseGate, 0);
            EXPECT_EQ(Control("btn_noise_gate").Text(), "${btn_noise_gate_off}");
            EXPECT_FALSE(Control("btn_noise_gate").Selected());
            EXPECT_FALSE(Widget(gate, "slider_noise_threshold")->isEnabled());
            EXPECT_FALSE(Widget(gate, "edit_drc_gain")->isEnabled());
            Click(gate, "confirm_btn");
        });
    EXPECT_TRUE(ran);
    EXPECT_EQ(TopModal(), nullptr);
}

TEST_F(NoiseWindowsTest, EveryButtonClosesTheWindowsAndTheBarsStopAsking) {
    for (const char* button : {"closebtn", "confirm_btn"}) {
        SCOPED_TRACE(button);
        int code = -1;
        EXPECT_TRUE(InWindow(
            "noise_gate_wnd",
            [&] { code = OpenNoiseGateWindow(mWindow.get(), mWindow->Manager()); },
            [&](toolkit::Window& gate) { Click(gate, button); }));
        EXPECT_EQ(code, std::string(button) == "confirm_btn" ? 1 : 0);
    }
    for (const char* button : {"closebtn", "cancel_btn", "confirm_btn"}) {
        SCOPED_TRACE(button);
        platform::WindowHandle handle = platform::kNoWindow;
        EXPECT_TRUE(InWindow(
            "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
            [&](toolkit::Window& noise) {
                handle = noise.Handle();
                EXPECT_EQ(mWindow->Manager().Link().NoiseWnd(), handle);
                EXPECT_TRUE(noise.HasTimer(4112));
                Click(noise, button);
                EXPECT_FALSE(noise.HasTimer(4112));
            }));
        EXPECT_EQ(mWindow->Manager().Link().NoiseWnd(), platform::kNoWindow);
        // Nothing more is asked once it closed.
        ASSERT_TRUE(WaitQueueIdle());
        const size_t asked = NoiseRequests();
        Idle();
        EXPECT_EQ(NoiseRequests(), asked);
    }
}

TEST_F(NoiseWindowsTest, TheBarsFollowTheAmplifiersNoiseAndTheThresholdIsKept) {
    const bool ran = InWindow(
        "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
        [&](toolkit::Window& noise) {
            EXPECT_EQ(noise.ClassName(), "NoiseThresholdWnd");
            for (int64_t now : {2000, 2400, 31000}) {
                mNowMs = now;
                EXPECT_TRUE(WaitFor([&] { return BarsShowTheAmplifier(noise, 8); }, 5000)) << now;
            }
            for (int i = 0; i < 12; ++i) {
                EXPECT_EQ(noise.Find("prg_group_" + std::to_string(i))->Visible(), i < 8) << i;
            }
            auto* bar = qobject_cast<QProgressBar*>(Widget(noise, "progress_0"));
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->minimum(), -100);
            EXPECT_EQ(bar->maximum(), 0);
            EXPECT_EQ(bar->orientation(), Qt::Vertical);
            // The threshold.
            Type(noise, "value_edt", "-30");
            Idle();
            EXPECT_EQ(Text(noise, "value_edt"), "-40dBu");
            EXPECT_EQ(Amp().inputThreshold, -40);
            Type(noise, "value_edt", "-70");
            Idle();
            EXPECT_EQ(toolkit::Translate(Text(noise, "value_edt")), toolkit::Translate("${off}"));
            EXPECT_EQ(Amp().inputThreshold, -61);
            Key(noise, "value_edt", Qt::Key_Up);
            Idle();
            EXPECT_EQ(Text(noise, "value_edt"), "-60dBu");
            EXPECT_EQ(Amp().inputThreshold, -60);
            Key(noise, "value_edt", Qt::Key_Down);
            Key(noise, "value_edt", Qt::Key_Down);
            Idle();
            EXPECT_EQ(Amp().inputThreshold, -61);
            mDemo.amplifier->ClearReceived();
            Type(noise, "value_edt", "quiet");
            Idle();
            EXPECT_EQ(SetsOf(device::DSP_INPUT_THRESHOLD), 0u);
            EXPECT_EQ(Amp().inputThreshold, -61);
            EXPECT_EQ(mWindow->Manager().WorkingProfile().inputThreshold, -61);
            Click(noise, "confirm_btn");
        });
    EXPECT_TRUE(ran);
}

TEST_F(NoiseWindowsTest, ASourceWithTwoInputsShowsTwoRowsInANarrowerWindow) {
    int fullWidth = 0;
    InWindow(
        "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
        [&](toolkit::Window& noise) {
            fullWidth = noise.Widget()->width();
            Click(noise, "closebtn");
        });
    mWindow->Manager().SetInputSourceTo(2);  // Bluetooth
    ASSERT_TRUE(WaitQueueIdle());
    const bool ran = InWindow(
        "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
        [&](toolkit::Window& noise) {
            EXPECT_EQ(noise.Widget()->width(), fullWidth - 100);
            for (int i = 0; i < 12; ++i) {
                EXPECT_EQ(noise.Find("prg_group_" + std::to_string(i))->Visible(), i < 2) << i;
                EXPECT_EQ(noise.Find("in_" + std::to_string(i))->Visible(), i < 2) << i;
            }
            EXPECT_TRUE(WaitFor([&] { return BarsShowTheAmplifier(noise, 2); }, 5000));
            testing::ExpectEverythingFits(noise, "two inputs");
            testing::SaveScreenshot(noise, "noise_threshold_two_inputs_en_100");
            Click(noise, "cancel_btn");
        });
    EXPECT_TRUE(ran);
}

TEST_F(NoiseWindowsTest, WithoutAnAmplifierTheBarsStayEmpty) {
    mWindow->Manager().DisconnectDevice();
    ASSERT_TRUE(WaitFor([&] { return !mWindow->Manager().Link().IsConnected(); }));
    mDemo.amplifier->ClearReceived();
    InWindow(
        "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
        [&](toolkit::Window& noise) {
            EXPECT_FALSE(noise.HasTimer(4112));
            Idle();
            for (int i = 0; i < 8; ++i) {
                EXPECT_EQ(Value(noise, "progress_" + std::to_string(i)), -100) << i;
            }
            Click(noise, "closebtn");
        });
    EXPECT_EQ(NoiseRequests(), 0u);
}

TEST_F(NoiseWindowsTest, APulledCableWhilePollingEmptiesTheBarsAndTellsTheUser) {
    testing::BoxAnswerer boxes(mWindow.get());
    const bool ran = InWindow(
        "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
        [&](toolkit::Window& noise) {
            ASSERT_TRUE(WaitFor([&] { return BarsShowTheAmplifier(noise, 8); }, 5000));
            // The main window tells of the unplugged amplifier over this one.
            boxes.Expect(1);
            mDemo.amplifier->Unplug();
            EXPECT_TRUE(WaitFor([&] { return boxes.Answered(1); }));
            EXPECT_TRUE(WaitFor([&] { return Value(noise, "progress_0") == -100; }, 3000));
            for (int i = 0; i < 8; ++i) {
                EXPECT_EQ(Value(noise, "progress_" + std::to_string(i)), -100) << i;
                EXPECT_EQ(Text(noise, ("noise_" + std::to_string(i)).c_str()), "") << i;
            }
            EXPECT_TRUE(noise.IsRunningModal());
            Click(noise, "closebtn");
        });
    EXPECT_TRUE(ran);
    char unplugged[256];
    std::snprintf(unplugged, sizeof unplugged, toolkit::Translate("${device_plugout}").c_str(),
                  "AMP-UI");
    EXPECT_TRUE(boxes.Saw(unplugged));
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());
}

TEST_F(NoiseWindowsTest, AReportAfterTheWindowClosedGoesNowhere) {
    InWindow(
        "msgwnd", [&] { mWindow->OpenNoiseThresholdWindow(); },
        [&](toolkit::Window& noise) {
            ASSERT_TRUE(WaitFor([&] { return BarsShowTheAmplifier(noise, 8); }, 5000));
            // A poll still on its way when the window closes.
            mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(300));
            mWindow->Manager().Link().Get_Input_Noise(0, 7, false);
            Click(noise, "closebtn");
        });
    EXPECT_EQ(mWindow->Manager().Link().NoiseWnd(), platform::kNoWindow);
    Idle();
    mDemo.amplifier->DelayAnswers(std::chrono::milliseconds(0));
    // And one the amplifier sends by itself, read in place of an answer.
    mDemo.amplifier->SendFrame(device::CMD_DSP, device::DSP_INPUT_NOISE, device::OP_UPDATE,
                               {0, 1, 30, 0, 31, 0});
    mWindow->Manager().Link().Get_Source();
    Idle();
    EXPECT_TRUE(mWindow->Manager().IsSynchronised());
}

TEST_F(NoiseWindowsTest, TheAdvanceMenusItemIsHiddenInThisModelButRouted) {
    auto* advance = qobject_cast<QAbstractButton*>(Control("btn_advance").Widget());
    ASSERT_NE(advance, nullptr);
    advance->click();
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    toolkit::ControlHandle* item = mWindow->OpenMenu()->FindItem("advance_item_noise_threshold");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->Visible());
    mWindow->OpenMenu()->CloseMenu();
    // A model that offers it opens the window from its click.
    const bool ran = InWindow(
        "msgwnd",
        [&] {
            platform::PostMessage(
                mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                platform::MakeRecord(toolkit::MenuClick{"advance_item_noise_threshold", "", ""}));
            Idle();
        },
        [&](toolkit::Window& noise) {
            EXPECT_EQ(noise.ClassName(), "NoiseThresholdWnd");
            Click(noise, "closebtn");
        });
    EXPECT_TRUE(ran);
}

// Both windows in every language at every scale, for looking at.
TEST_F(NoiseWindowsTest, EveryTextFitsAtEveryScaleAndLanguage) {
    const auto& languages = testing::kEveryLanguage;
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : languages) {
            SwitchLanguage(language, stored);
            const std::string what = language.substr(0, 2) + "_" + std::to_string(scale);
            SetDisplayScale(scale);
            CNoiseGateWnd gate(mWindow->Manager());
            gate.Prepare(mWindow.get());
            CNoiseThresholdWnd noise(mWindow->Manager(), *mWindow);
            noise.Prepare(mWindow.get());
            SetDisplayScale(100);
            EXPECT_EQ(gate.Scale(), scale);
            gate.Show();
            noise.Show();
            EXPECT_TRUE(WaitFor([&] { return BarsShowTheAmplifier(noise, 8); }, 5000));
            testing::ExpectEverythingFits(gate, "noise gate " + what);
            testing::ExpectEverythingFits(noise, "noise threshold " + what);
            testing::SaveScreenshot(gate, "noise_gate_" + what);
            testing::SaveScreenshot(noise, "noise_threshold_" + what);
            gate.Close(0);
            noise.Close(0);
        }
    }
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui
