// The two compressor windows' logic as their windows drive it, against the
// virtual amplifier under a record that switches the compressors on: typed,
// slid and stepped values down to the bytes the amplifier keeps for the
// output (and the scene) they belong to, the limits of the sliders, the
// remainder a multi-channel step loses, the focus rings, the columns of the
// model's outputs, the on/off boxes, the bypass shown and never changed, and
// the curve following every change.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "controller/compressor_panel.h"
#include "controller/compressors_on_panel.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "device/tests/log_capture.h"

namespace {

using controller::CompressorPanel;
using controller::CompressorsOnPanel;
using controller::CompressorView;
using test_support::FakeControl;
using test_support::FakePage;

class RecordingChart final : public controller::CompressorChart {
public:
    void ShowCompressor(const CompressorView& view) override { shown.push_back(view); }
    std::vector<CompressorView> shown;
};

class CompressorPanels : public test_support::ControllerTest {
protected:
    void SetUp() override {
        mRecord.emplace(Record());
        ControllerTest::SetUp();
        // The layout's ranges.
        mWindow.Get("slider_noise").SetRange(-1000, 1000);
        mWindow.Get("slider_ratio").SetRange(10, 1000);
        mWindow.Get("slider_attack_time").SetRange(0, 5000);
        mWindow.Get("slider_release_time").SetRange(100, 60000);
        mWindow.Get("slider_soft_knee").SetRange(0, 240);
        for (int i = 0; i < 10; ++i) {
            Column(i, "threshold").SetRange(-600, 0);
            Column(i, "attack_time").SetRange(0, 1000);
            Column(i, "release_time").SetRange(100, 30000);
        }
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }
    void TearDown() override {
        ControllerTest::TearDown();
        mRecord.reset();
    }
    virtual app::ModelCfg Record() const { return test_support::FeaturesOnRecord(); }

    FakeControl& Column(int column, const char* row, const char* kind = "slider") {
        return mWindow.Get(std::string(kind) + "_" + row + "_" + std::to_string(column));
    }
    FakeControl& Edit(int column, const char* row) { return Column(column, row, "edit"); }
    // A notification from a control carrying the column as its user data.
    template <typename Panel>
    void Notify(Panel& panel, const char* type, const std::string& name, int column = -1) {
        toolkit::Notification n;
        n.type = type;
        n.name = name;
        n.userDataInt = column;
        n.sender = &mWindow.Get(name);
        EXPECT_TRUE(panel.Handle(n)) << type << " " << name;
    }
    template <typename Panel>
    void Type(Panel& panel, const std::string& edit, const std::string& text, int column = -1) {
        mWindow.Get(edit).SetText(text);
        Notify(panel, toolkit::kNotifyReturn, edit, column);
    }
    template <typename Panel>
    void Slide(Panel& panel, const std::string& slider, int position, int column = -1) {
        mWindow.Get(slider).SetValue(position);
        Notify(panel, toolkit::kNotifyValueChanged, slider, column);
    }
    virtual_device::CompressorState Kept(int channel, int scene = 0) {
        EXPECT_TRUE(WaitQueueIdle());
        return Amp(scene).channels[static_cast<size_t>(channel)].compressor;
    }
    virtual_device::Compressor2State Kept2(int channel, int scene = 0) {
        EXPECT_TRUE(WaitQueueIdle());
        return Amp(scene).channels[static_cast<size_t>(channel)].compressor2;
    }
    size_t Sets(uint8_t sub) {
        EXPECT_TRUE(WaitQueueIdle());
        return SetsOf(sub).size();
    }
    // The focused edit's name: the fake remembers every edit that took the
    // focus, so the test clears them before each move.
    std::vector<std::string> FocusedEdits() {
        std::vector<std::string> focused;
        for (const auto& name : mEditNames) {
            if (mWindow.Get(name).mFocused) {
                focused.push_back(name);
            }
        }
        return focused;
    }
    void ClearFocus() {
        for (const auto& name : mEditNames) {
            mWindow.Get(name).mFocused = false;
        }
    }
    model::Profile& Profile() { return mManager->WorkingProfile(); }
    void PutChannel(int c, int bypass, float noise, float ratio, int attack, int release,
                    float knee) {
        Profile().compressorBypass[c] = bypass;
        Profile().compressorNoise[c] = noise;
        Profile().compressorRatio[c] = ratio;
        Profile().compressorAttack[c] = attack;
        Profile().compressorRelease[c] = release;
        Profile().compressorSoftKnee[c] = knee;
    }

    std::optional<app::ScopedModelCfg> mRecord;
    FakePage mWindow;
    RecordingChart mChart;
    std::vector<std::string> mEditNames;
};

class OneChannelPanel : public CompressorPanels {
protected:
    void SetUp() override {
        CompressorPanels::SetUp();
        mEditNames = {"edit_noise", "edit_ratio", "edit_attack_time", "edit_release_time",
                      "edit_soft_knee"};
        Profile().currOutChannel = 3;
        PutChannel(3, 0, -20.0f, 4.0f, 100, 1000, 6.0f);
    }
};

TEST_F(OneChannelPanel, ShowsTheCurrentOutputsValuesAndCurve) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    EXPECT_EQ(panel.Channel(), 3);
    EXPECT_EQ(mWindow.Get("edit_noise").Text(), "-20.0dB");
    EXPECT_EQ(mWindow.Get("slider_noise").Value(), -200);
    EXPECT_EQ(mWindow.Get("edit_ratio").Text(), "4.0");
    EXPECT_EQ(mWindow.Get("slider_ratio").Value(), 40);
    EXPECT_EQ(mWindow.Get("edit_attack_time").Text(), "100ms");
    EXPECT_EQ(mWindow.Get("slider_attack_time").Value(), 100);
    EXPECT_EQ(mWindow.Get("edit_release_time").Text(), "1000ms");
    EXPECT_EQ(mWindow.Get("edit_soft_knee").Text(), "6.0dB");
    EXPECT_EQ(mWindow.Get("slider_soft_knee").Value(), 60);
    EXPECT_FALSE(mWindow.Get("btn_bp").Selected());
    EXPECT_EQ(mWindow.Get("btn_bp").Text(), "${ui_compressor_bypass_off}");
    EXPECT_EQ(mWindow.Get("btn_bp").TextColor(), 0xFFFF0000u);
    ASSERT_EQ(mChart.shown.size(), 1u);
    EXPECT_DOUBLE_EQ(mChart.shown[0].lowDb, -100.0);
    EXPECT_DOUBLE_EQ(mChart.shown[0].highDb, 100.0);
    EXPECT_DOUBLE_EQ(mChart.shown[0].shape.thresholdDb, -20.0);
    EXPECT_DOUBLE_EQ(mChart.shown[0].shape.ratio, 4.0);
    EXPECT_DOUBLE_EQ(mChart.shown[0].shape.kneeDb, 6.0);
    EXPECT_FALSE(mChart.shown[0].bypassed);
    // Opening sends nothing.
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 0u);
}

TEST_F(OneChannelPanel, EveryChangeSendsAllSixValuesOfTheOutput) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    Slide(panel, "slider_noise", -205);  // -20.5 dB: 79.5 above the device's -100
    EXPECT_EQ(mWindow.Get("edit_noise").Text(), "-20.5dB");
    EXPECT_TRUE(mWindow.Get("edit_noise").mFocused);
    EXPECT_FLOAT_EQ(Profile().compressorNoise[3], -20.5f);
    virtual_device::CompressorState k = Kept(3);
    EXPECT_EQ(k.bypass, 0);
    EXPECT_EQ(k.thresholdInteger, 79);
    EXPECT_EQ(k.thresholdTenths, 5);
    EXPECT_EQ(k.ratioInteger, 4);
    EXPECT_EQ(k.ratioTenths, 0);
    EXPECT_EQ(k.kneeInteger, 6);
    EXPECT_EQ(k.kneeTenths, 0);
    EXPECT_EQ(k.attack, 100);
    EXPECT_EQ(k.release, 1000);
    Type(panel, "edit_ratio", "2.5");
    Type(panel, "edit_attack_time", "250");
    Slide(panel, "slider_release_time", 43210);
    Type(panel, "edit_soft_knee", "12.3dB");
    k = Kept(3);
    EXPECT_EQ(k.ratioInteger, 2);
    EXPECT_EQ(k.ratioTenths, 5);
    EXPECT_EQ(k.attack, 250);
    EXPECT_EQ(k.release, 43210);  // 16 bits, above the signed range
    EXPECT_EQ(k.kneeInteger, 12);
    EXPECT_EQ(k.kneeTenths, 3);
    EXPECT_EQ(k.thresholdInteger, 79);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 5u);
    // The other outputs keep theirs.
    EXPECT_EQ(Kept(2).attack, virtual_device::CompressorState{}.attack);
    EXPECT_EQ(Kept(4).release, virtual_device::CompressorState{}.release);
    // Every change redrew the curve with the new values.
    ASSERT_EQ(mChart.shown.size(), 6u);
    EXPECT_DOUBLE_EQ(mChart.shown.back().shape.ratio, 2.5);
    EXPECT_NEAR(mChart.shown.back().shape.kneeDb, 12.3, 1e-6);
    EXPECT_NEAR(mChart.shown.back().shape.thresholdDb, -20.5, 1e-6);
}

TEST_F(OneChannelPanel, TheValuesGoToTheWorkingProfilesScene) {
    Profile().scene = 4;
    Profile().source = 2;
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    Type(panel, "edit_noise", "-33.3");
    EXPECT_EQ(Kept(3, 4).thresholdInteger, 66);
    EXPECT_EQ(Kept(3, 4).thresholdTenths, 7);
    EXPECT_EQ(Kept(3, 0).thresholdInteger, virtual_device::CompressorState{}.thresholdInteger);
    const auto frames = SetsOf(device::DSP_COMPRESSOR_SETTING);
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_EQ(frames[0].size(), 14u);
    EXPECT_EQ(frames[0][0], 4);  // scene
    EXPECT_EQ(frames[0][1], 2);  // source
    EXPECT_EQ(frames[0][2], 3);  // output
}

TEST_F(OneChannelPanel, TypedValuesAreLimitedToTheirSliders) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    struct Case {
        const char* edit;
        const char* text;
        const char* shown;
        const char* slider;
        int position;
    };
    const Case cases[] = {
        {"edit_noise", "-175", "-100.0dB", "slider_noise", -1000},
        {"edit_noise", "250dB", "100.0dB", "slider_noise", 1000},
        {"edit_ratio", "0.2", "1.0", "slider_ratio", 10},
        {"edit_ratio", "300", "100.0", "slider_ratio", 1000},
        {"edit_attack_time", "-5", "0ms", "slider_attack_time", 0},
        {"edit_attack_time", "12.9ms", "12ms", "slider_attack_time", 12},
        {"edit_release_time", "99999", "60000ms", "slider_release_time", 60000},
        {"edit_release_time", "3", "100ms", "slider_release_time", 100},
        {"edit_soft_knee", "30", "24.0dB", "slider_soft_knee", 240},
        {"edit_soft_knee", "-1", "0.0dB", "slider_soft_knee", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " " + c.text);
        Type(panel, c.edit, c.text);
        EXPECT_EQ(mWindow.Get(c.edit).Text(), c.shown);
        EXPECT_EQ(mWindow.Get(c.slider).Value(), c.position);
    }
    const virtual_device::CompressorState k = Kept(3);
    EXPECT_EQ(k.thresholdInteger, 200);
    EXPECT_EQ(k.ratioInteger, 100);
    EXPECT_EQ(k.attack, 12);
    EXPECT_EQ(k.release, 100);
    EXPECT_EQ(k.kneeInteger, 0);
    EXPECT_FLOAT_EQ(Profile().compressorNoise[3], 100.0f);
    EXPECT_EQ(Profile().compressorAttack[3], 12);
}

TEST_F(OneChannelPanel, TextWithoutANumberChangesAndSendsNothing) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    for (const char* text : {"abc", "", "dB", "-", " x1"}) {
        SCOPED_TRACE(text);
        Type(panel, "edit_noise", text);
        EXPECT_EQ(mWindow.Get("edit_noise").Text(), "-20.0dB");
        Type(panel, "edit_ratio", text);
        EXPECT_EQ(mWindow.Get("edit_ratio").Text(), "4.0");
    }
    EXPECT_FLOAT_EQ(Profile().compressorNoise[3], -20.0f);
    EXPECT_FLOAT_EQ(Profile().compressorRatio[3], 4.0f);
    EXPECT_EQ(mWindow.Get("slider_noise").Value(), -200);
    // Leaving an edit as it was sends nothing either; a changed one is
    // committed when the focus leaves it.
    Notify(panel, toolkit::kNotifyKillFocus, "edit_attack_time");
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 0u);
    mWindow.Get("edit_attack_time").SetText("40");
    Notify(panel, toolkit::kNotifyKillFocus, "edit_attack_time");
    EXPECT_EQ(Kept(3).attack, 40);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 1u);
}

TEST_F(OneChannelPanel, StepsMoveTheSliderByTheParametersStep) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_noise");
    EXPECT_EQ(mWindow.Get("edit_noise").Text(), "-19.9dB");
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_ratio");
    EXPECT_EQ(mWindow.Get("edit_ratio").Text(), "3.9");
    Type(panel, "edit_attack_time", "995");
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_attack_time");
    // This window keeps the remainder: 995 + 10.
    EXPECT_EQ(mWindow.Get("edit_attack_time").Text(), "1005ms");
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_release_time");
    EXPECT_EQ(mWindow.Get("edit_release_time").Text(), "900ms");
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_soft_knee");
    EXPECT_EQ(mWindow.Get("edit_soft_knee").Text(), "6.1dB");
    virtual_device::CompressorState k = Kept(3);
    EXPECT_EQ(k.thresholdInteger, 80);
    EXPECT_EQ(k.thresholdTenths, 1);
    EXPECT_EQ(k.ratioInteger, 3);
    EXPECT_EQ(k.ratioTenths, 9);
    EXPECT_EQ(k.attack, 1005);
    EXPECT_EQ(k.release, 900);
    EXPECT_EQ(k.kneeTenths, 1);
    // At an end a step stays there.
    Type(panel, "edit_soft_knee", "24");
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_soft_knee");
    EXPECT_EQ(mWindow.Get("edit_soft_knee").Text(), "24.0dB");
    Type(panel, "edit_release_time", "150");
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_release_time");
    EXPECT_EQ(mWindow.Get("edit_release_time").Text(), "100ms");
    EXPECT_EQ(Kept(3).release, 100);
    EXPECT_EQ(Kept(3).kneeInteger, 24);
}

TEST_F(OneChannelPanel, TheFocusGoesRoundTheFiveEdits) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    const std::vector<std::string> ring = mEditNames;
    for (size_t i = 0; i < ring.size(); ++i) {
        SCOPED_TRACE(ring[i]);
        ClearFocus();
        Notify(panel, toolkit::kNotifyValueChangedRight, ring[i]);
        EXPECT_EQ(FocusedEdits(), std::vector<std::string>{ring[(i + 1) % ring.size()]});
        ClearFocus();
        Notify(panel, toolkit::kNotifyValueChangedLeft, ring[i]);
        EXPECT_EQ(FocusedEdits(),
                  std::vector<std::string>{ring[(i + ring.size() - 1) % ring.size()]});
    }
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 0u);
}

TEST_F(OneChannelPanel, TheBypassIsShownAndSentButNeverChangedHere) {
    Profile().compressorBypass[3] = 1;
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    EXPECT_TRUE(mWindow.Get("btn_bp").Selected());
    EXPECT_EQ(mWindow.Get("btn_bp").Text(), "${ui_compressor_bypass_on}");
    EXPECT_EQ(mWindow.Get("btn_bp").TextColor(), 0xFFFFFFFFu);
    ASSERT_FALSE(mChart.shown.empty());
    EXPECT_TRUE(mChart.shown.back().bypassed);
    // The user flips the switch: the window takes it back and sends nothing.
    mWindow.Get("btn_bp").SetSelected(false, false);
    Notify(panel, toolkit::kNotifySelectChanged, "btn_bp");
    Notify(panel, toolkit::kNotifyClick, "btn_bp");
    EXPECT_TRUE(mWindow.Get("btn_bp").Selected());
    EXPECT_EQ(Profile().compressorBypass[3], 1);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 0u);
    // The stored bypass goes with the next change.
    Type(panel, "edit_ratio", "8");
    EXPECT_EQ(Kept(3).bypass, 1);
    EXPECT_EQ(Kept(3).ratioInteger, 8);
}

TEST_F(OneChannelPanel, LogsEachSliderAndStepWithItsOwnLine) {
    test_support::LogCapture log;
    CompressorPanel panel(*mManager, mWindow, &mChart);
    panel.Open();
    Slide(panel, "slider_noise", -123);
    Slide(panel, "slider_attack_time", 70);
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_ratio");
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_release_time");
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_soft_knee");
    const std::string text = log.Text();
    for (const char* line : {"set Noise slider to -12.3dB\n", "set AttackTime slider to 70ms\n",
                             "SetRatioUp 1.0 \n", "set Ratio slider to 4.1\n",
                             "SetReleaseTimeUp 0ms \n", "set ReleaseTime slider to 900ms\n",
                             "SetSoftKneeUp 1.0dB \n", "set SoftKnee slider to 6.1dB\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST_F(OneChannelPanel, NothingIsActedUponBeforeTheWindowIsShown) {
    CompressorPanel panel(*mManager, mWindow, &mChart);
    toolkit::Notification n;
    n.type = toolkit::kNotifyValueChanged;
    n.name = "slider_noise";
    EXPECT_FALSE(panel.Handle(n));
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING), 0u);
}

// ---- the multi-channel window ----

class ColumnsPanel : public CompressorPanels {
protected:
    void SetUp() override {
        CompressorPanels::SetUp();
        for (int c = 0; c < 10; ++c) {
            PutChannel(c, 1, -10.0f - c, 1.0f, 10 * (c + 1), 1000 + 100 * c, 0.0f);
            for (const char* row : {"threshold", "attack_time", "release_time"}) {
                mEditNames.push_back(std::string("edit_") + row + "_" + std::to_string(c));
            }
        }
        Profile().channels[2].compressorOn = false;
    }
    int Shown() const { return CompressorsOnPanel::ShownColumns(); }
};

TEST_F(ColumnsPanel, ShowsEveryOutputsColumn) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    EXPECT_EQ(CompressorsOnPanel::Columns(), 10);
    EXPECT_EQ(Shown(), 10);
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE(c);
        EXPECT_TRUE(mWindow.Get("column_" + std::to_string(c)).Visible());
        EXPECT_EQ(mWindow.Get("box_enable_" + std::to_string(c)).Selected(), c != 2);
        char threshold[16];
        std::snprintf(threshold, sizeof threshold, "%.1fdB", -10.0 - c);
        EXPECT_EQ(Edit(c, "threshold").Text(), threshold);
        EXPECT_EQ(Column(c, "threshold").Value(), -100 - 10 * c);
        EXPECT_EQ(Edit(c, "attack_time").Text(), std::to_string(10 * (c + 1)) + "ms");
        EXPECT_EQ(Column(c, "release_time").Value(), 1000 + 100 * c);
    }
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING2), 0u);
}

TEST_F(ColumnsPanel, ATypedThresholdBeyondTheSliderSendsItsEnd) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    Type(panel, "edit_threshold_4", "-75", 4);
    EXPECT_EQ(Edit(4, "threshold").Text(), "-60.0dB");
    EXPECT_EQ(Column(4, "threshold").Value(), -600);
    EXPECT_FLOAT_EQ(Profile().compressorNoise[4], -60.0f);
    const virtual_device::Compressor2State k = Kept2(4);
    EXPECT_EQ(k.thresholdInteger, -60);
    EXPECT_EQ(k.thresholdTenths, 0);
    EXPECT_EQ(k.attack, 50);
    EXPECT_EQ(k.releaseSeconds, 1);
    EXPECT_EQ(k.releaseTenths, 4);
    // Negative tenths keep their sign; the other columns are untouched.
    Type(panel, "edit_threshold_7", "-20.5dB", 7);
    EXPECT_EQ(Kept2(7).thresholdInteger, -20);
    EXPECT_EQ(Kept2(7).thresholdTenths, -5);
    Type(panel, "edit_threshold_1", "12", 1);
    EXPECT_EQ(Edit(1, "threshold").Text(), "0.0dB");
    EXPECT_EQ(Kept2(1).thresholdInteger, 0);
    const auto frames = SetsOf(device::DSP_COMPRESSOR_SETTING2);
    ASSERT_EQ(frames.size(), 3u);
    for (const auto& frame : frames) {
        ASSERT_EQ(frame.size(), 10u);   // range prefix and one entry
        EXPECT_EQ(frame[2], frame[3]);  // one column each
    }
    EXPECT_EQ(Kept2(5).thresholdInteger, virtual_device::Compressor2State{}.thresholdInteger);
}

TEST_F(ColumnsPanel, AStepLosesTheRemainderOfItsStep) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    Type(panel, "edit_attack_time_6", "995", 6);
    ASSERT_EQ(Column(6, "attack_time").Value(), 995);
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_attack_time_6", 6);
    EXPECT_EQ(Column(6, "attack_time").Value(), 1000);
    EXPECT_EQ(Edit(6, "attack_time").Text(), "1000ms");
    EXPECT_EQ(Kept2(6).attack, 1000);
    Type(panel, "edit_attack_time_6", "47", 6);
    Notify(panel, toolkit::kNotifyValueChangedDown, "edit_attack_time_6", 6);
    EXPECT_EQ(Edit(6, "attack_time").Text(), "30ms");
    Type(panel, "edit_release_time_0", "1550", 0);
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_release_time_0", 0);
    EXPECT_EQ(Edit(0, "release_time").Text(), "1600ms");
    EXPECT_EQ(Kept2(0).releaseSeconds, 1);
    EXPECT_EQ(Kept2(0).releaseTenths, 6);
    // The threshold steps by one position: nothing to lose.
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_threshold_3", 3);
    EXPECT_EQ(Edit(3, "threshold").Text(), "-12.9dB");
    EXPECT_EQ(Kept2(3).thresholdInteger, -12);
    EXPECT_EQ(Kept2(3).thresholdTenths, -9);
    // At the top a step stays there.
    Type(panel, "edit_threshold_3", "0", 3);
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_threshold_3", 3);
    EXPECT_EQ(Column(3, "threshold").Value(), 0);
    EXPECT_EQ(Kept2(6).attack, 30);
}

TEST_F(ColumnsPanel, ASliderSendsItsColumnOnly) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    Slide(panel, "slider_release_time_9", 25000, 9);
    EXPECT_EQ(Edit(9, "release_time").Text(), "25000ms");
    EXPECT_TRUE(Edit(9, "release_time").mFocused);
    EXPECT_EQ(Profile().compressorRelease[9], 25000);
    EXPECT_EQ(Kept2(9).releaseSeconds, 25);
    EXPECT_EQ(Kept2(9).releaseTenths, 0);
    Slide(panel, "slider_threshold_9", -345, 9);
    EXPECT_EQ(Kept2(9).thresholdInteger, -34);
    EXPECT_EQ(Kept2(9).thresholdTenths, -5);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING2), 2u);
    EXPECT_EQ(Kept2(8).releaseSeconds, virtual_device::Compressor2State{}.releaseSeconds);
}

TEST_F(ColumnsPanel, AColumnsValuesGoToTheWorkingProfilesScene) {
    Profile().scene = 6;
    Profile().source = 3;
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    Type(panel, "edit_attack_time_2", "640", 2);
    EXPECT_EQ(Kept2(2, 6).attack, 640);
    EXPECT_EQ(Kept2(2, 0).attack, virtual_device::Compressor2State{}.attack);
    const auto frames = SetsOf(device::DSP_COMPRESSOR_SETTING2);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][0], 6);  // scene
    EXPECT_EQ(frames[0][1], 3);  // source
    // The on/off switch goes to the scene too, always for source 0.
    mWindow.Get("box_enable_5").SetSelected(false, false);
    Notify(panel, toolkit::kNotifySelectChanged, "box_enable_5");
    ASSERT_TRUE(WaitQueueIdle());
    const auto switches = SetsOf(device::DSP_COMPRESSOR_ON_CH);
    ASSERT_EQ(switches.size(), 1u);
    EXPECT_EQ(switches[0], (std::vector<uint8_t>{6, 0, 5, 5, 0}));
    EXPECT_EQ(Amp(6).channels[5].compressorOn, 0);
    EXPECT_EQ(Amp(0).channels[5].compressorOn, 1);
}

TEST_F(ColumnsPanel, TheFocusRunsAcrossTheColumnsAndDownTheRows) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    struct Move {
        const char* from;
        int column;
        const char* type;
        const char* to;
    };
    const Move moves[] = {
        {"edit_threshold_3", 3, toolkit::kNotifyValueChangedRight, "edit_threshold_4"},
        {"edit_threshold_9", 9, toolkit::kNotifyValueChangedRight, "edit_attack_time_0"},
        {"edit_release_time_9", 9, toolkit::kNotifyValueChangedRight, "edit_threshold_0"},
        {"edit_attack_time_0", 0, toolkit::kNotifyValueChangedLeft, "edit_threshold_9"},
        {"edit_threshold_0", 0, toolkit::kNotifyValueChangedLeft, "edit_release_time_9"},
        {"edit_release_time_5", 5, toolkit::kNotifyValueChangedLeft, "edit_release_time_4"},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(std::string(m.from) + " " + m.type);
        ClearFocus();
        Notify(panel, m.type, m.from, m.column);
        EXPECT_EQ(FocusedEdits(), std::vector<std::string>{m.to});
    }
}

TEST_F(ColumnsPanel, ABoxSwitchesItsOutputsCompressor) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(Amp().channels[5].compressorOn, 1);
    mWindow.Get("box_enable_5").SetSelected(false, false);
    Notify(panel, toolkit::kNotifySelectChanged, "box_enable_5");
    EXPECT_FALSE(Profile().channels[5].compressorOn);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[5].compressorOn, 0);
    mWindow.Get("box_enable_2").SetSelected(true, false);
    Notify(panel, toolkit::kNotifySelectChanged, "box_enable_2");
    EXPECT_TRUE(Profile().channels[2].compressorOn);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[2].compressorOn, 1);
    EXPECT_EQ(Amp().channels[4].compressorOn, 1);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_ON_CH), 2u);
}

TEST_F(ColumnsPanel, LogsTheTypedValueTheSliderAndTheStep) {
    test_support::LogCapture log;
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    Type(panel, "edit_threshold_2", "-75", 2);
    Slide(panel, "slider_attack_time_2", 120, 2);
    Notify(panel, toolkit::kNotifyValueChangedUp, "edit_release_time_2", 2);
    const std::string text = log.Text();
    for (const char* line : {"SetEdit -75 dB\n", "SetSlider 120 ms\n",
                             "SetSliderUp edit_release_time_2\n", "SetSlider 1300 ms\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

class EightOutputs : public ColumnsPanel {
protected:
    app::ModelCfg Record() const override {
        app::ModelCfg record = test_support::FeaturesOnRecord();
        record.mOUT_CHANNEL_NUMBER = 8;
        return record;
    }
};

TEST_F(EightOutputs, HidesTheColumnsPastTheOutputsAndSkipsThem) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    EXPECT_EQ(Shown(), 8);
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(mWindow.Get("column_" + std::to_string(c)).Visible(), c < 8) << c;
    }
    ClearFocus();
    Notify(panel, toolkit::kNotifyValueChangedRight, "edit_release_time_7", 7);
    EXPECT_EQ(FocusedEdits(), std::vector<std::string>{"edit_threshold_0"});
    ClearFocus();
    Notify(panel, toolkit::kNotifyValueChangedRight, "edit_threshold_7", 7);
    EXPECT_EQ(FocusedEdits(), std::vector<std::string>{"edit_attack_time_0"});
    ClearFocus();
    Notify(panel, toolkit::kNotifyValueChangedLeft, "edit_threshold_0", 0);
    EXPECT_EQ(FocusedEdits(), std::vector<std::string>{"edit_release_time_7"});
    // A hidden column's controls do nothing.
    toolkit::Notification n;
    n.type = toolkit::kNotifyReturn;
    n.name = "edit_threshold_8";
    n.userDataInt = 8;
    Edit(8, "threshold").SetText("-30");
    EXPECT_FALSE(panel.Handle(n));
    n.type = toolkit::kNotifySelectChanged;
    n.name = "box_enable_9";
    n.userDataInt = -1;
    EXPECT_FALSE(panel.Handle(n));
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING2), 0u);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_ON_CH), 0u);
}

TEST_F(ColumnsPanel, TextWithoutANumberKeepsTheColumnsValue) {
    CompressorsOnPanel panel(*mManager, mWindow);
    panel.Open();
    Type(panel, "edit_threshold_0", "loud", 0);
    EXPECT_EQ(Edit(0, "threshold").Text(), "-10.0dB");
    Type(panel, "edit_attack_time_0", "ms", 0);
    EXPECT_EQ(Edit(0, "attack_time").Text(), "10ms");
    EXPECT_FLOAT_EQ(Profile().compressorNoise[0], -10.0f);
    EXPECT_EQ(Sets(device::DSP_COMPRESSOR_SETTING2), 0u);
}

}  // namespace
