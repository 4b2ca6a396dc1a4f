// The karaoke window and the centre/surround window as their panels drive
// them, under a model record that switches both features on, against the
// virtual amplifier: what the amplifier reported up to the controls, typed,
// stepped and slid values down to what the amplifier keeps, the edits' focus
// ring, the whole upmix block with its scene, and a restore the user cancels.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "controller/cs_auto_panel.h"
#include "controller/ktv_panel.h"
#include "controller_fixture.h"
#include "device/mcu_subcommands.h"
#include "device/packet.h"

namespace {

using controller::CsAutoPanel;
using controller::KtvPanel;
using test_support::FakeControl;

// Made before the fixture builds the program, gone after it is torn down.
class FeaturesOn {
protected:
    app::ScopedModelCfg mFeaturesOn{test_support::FeaturesOnRecord()};
};

// A dialog's controls: a fake page under a handle of its own.
class DialogPage final : public toolkit::ControlAccess {
public:
    toolkit::ControlHandle* FindControl(const std::string& name) override {
        return &mPage.Get(name);
    }
    platform::WindowHandle Handle() const override { return 2; }
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void Retranslate() override {}
    FakeControl& Get(const std::string& name) { return mPage.Get(name); }

private:
    test_support::FakePage mPage;
};

struct KtvFrame {
    uint8_t sub;
    std::vector<uint8_t> data;
};

class SwitchedFeaturePanels : public FeaturesOn, public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        mKtvPanel = std::make_unique<KtvPanel>(*mManager, mWindow);
        mCsAutoPanel = std::make_unique<CsAutoPanel>(*mManager, mUi, mWindow);
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }

    // The karaoke frames of one operation the amplifier received.
    std::vector<KtvFrame> KtvFrames(uint8_t operation = device::OP_SET) {
        EXPECT_TRUE(WaitQueueIdle());
        std::vector<KtvFrame> frames;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report.size() < 8 || report[4] != device::CMD_KTV || report[6] != operation) {
                continue;
            }
            frames.push_back({report[5], std::vector<uint8_t>(report.begin() + 7,
                                                              report.begin() + 4 + report[3])});
        }
        return frames;
    }
    std::vector<std::vector<uint8_t>> UpmixBlocks() {
        EXPECT_TRUE(WaitQueueIdle());
        return SetsOf(0x3D);
    }
    void Notify(const char* type, const std::string& name, int userData = -1) {
        toolkit::Notification n;
        n.type = type;
        n.name = name;
        n.userDataInt = userData;
        n.sender = &mWindow.Get(name);
        mHandled = mKtvPanel->Handle(n) || mCsAutoPanel->Handle(n);
    }
    void Type(const std::string& edit, const std::string& text) {
        mWindow.Get(edit).SetText(text);
        Notify(toolkit::kNotifyReturn, edit);
    }
    // The layout's ranges.
    void GiveKtvRanges() {
        for (const auto& [slider, low, high] :
             std::vector<std::tuple<const char*, int, int>>{{"slider_mic_volume", 0, 80},
                                                            {"slider_bgmusic_volume", 0, 80},
                                                            {"slider_voice_changer", 0, 10},
                                                            {"slider_treble", -12, 12},
                                                            {"slider_bass", -12, 12},
                                                            {"slider_echo_level", 0, 40},
                                                            {"slider_echo_delay", 0, 300},
                                                            {"slider_reverb_level", 0, 100},
                                                            {"slider_reverb_time", 0, 250}}) {
            mWindow.Get(slider).SetRange(low, high);
        }
    }
    void GiveLevelRanges(int low = 0, int high = 200) {
        for (int i = 0; i < model::CsAutoSettings::kLevels; ++i) {
            mWindow.Get("slider_auto_" + std::to_string(i)).SetRange(low, high);
        }
    }
    void GiveComboItems() {
        for (const char* combo :
             {"combo_mode", "combo_front", "combo_surround", "combo_subwoofer"}) {
            for (int i = 0; i < 6; ++i) {
                mWindow.Get(combo).AddItem(std::string(combo) + " item " + std::to_string(i), "");
            }
        }
    }
    model::CsAutoSettings& Block() { return mManager->CsAutoSettings(); }
    model::Profile& Profile() { return mManager->WorkingProfile(); }
    static float LevelIn(const std::vector<uint8_t>& block, int level) {
        uint32_t bits = 0;
        for (int k = 0; k < 4; ++k) {
            bits |= uint32_t{block[12 + 4 * level + k]} << (8 * k);
        }
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    DialogPage mWindow;
    std::unique_ptr<KtvPanel> mKtvPanel;
    std::unique_ptr<CsAutoPanel> mCsAutoPanel;
    bool mHandled = false;
};

// ---- the karaoke window ----

TEST_F(SwitchedFeaturePanels, TheKaraokeWindowShowsWhatTheAmplifierReported) {
    GiveKtvRanges();
    const std::vector<std::pair<uint8_t, int>> reported = {
        {device::KTV_MIC_VOL, 44},      {device::KTV_MUSIC_VOL, 71},
        {device::KTV_HOWLING, 1},       {device::KTV_ECHO_LEVEL, 12},
        {device::KTV_ECHO_DELAY, 260},  {device::KTV_REVERB_LEVEL, 35},
        {device::KTV_REVERB_TIME, 180}, {device::KTV_VOICE_CHANGER, 4},
        {device::KTV_BASS_GAIN, -7},    {device::KTV_TREBLE_GAIN, 5}};
    for (const auto& [sub, value] : reported) {
        mDemo.protocol->SetKtvValue(sub, value);
        ASSERT_TRUE(mManager->Link().KTV_Get(sub));
    }
    ASSERT_TRUE(Pump([&] { return Profile().treble == 5; }));
    EXPECT_EQ(Profile().bass, -7);
    EXPECT_EQ(Profile().echoDelay, 260);
    mDemo.amplifier->ClearReceived();

    mKtvPanel->Show();
    EXPECT_TRUE(mWindow.Get("option_howling_control").Selected());
    const std::vector<std::tuple<const char*, const char*, int, const char*>> shown = {
        {"slider_mic_volume", "edit_mic_volume", 44, "44dB"},
        {"slider_bgmusic_volume", "edit_bgmusic_volume", 71, "71dB"},
        {"slider_voice_changer", "edit_voice_changer", 4, "4"},
        {"slider_echo_level", "edit_echo_level", 12, "12dB"},
        {"slider_echo_delay", "edit_echo_delay", 260, "260ms"},
        {"slider_reverb_level", "edit_reverb_level", 35, "35"},
        {"slider_reverb_time", "edit_reverb_time", 180, "180ms"},
        {"slider_bass", "edit_bass", -7, "-7"},
        {"slider_treble", "edit_treble", 5, "5"}};
    for (const auto& [slider, edit, value, text] : shown) {
        EXPECT_EQ(mWindow.Get(slider).Value(), value) << slider;
        EXPECT_EQ(mWindow.Get(edit).Text(), text) << edit;
    }
    // Showing sends nothing.
    EXPECT_TRUE(KtvFrames().empty());
}

TEST_F(SwitchedFeaturePanels, TypedKaraokeValuesAreLimitedToTheSliderAndReachTheAmplifier) {
    GiveKtvRanges();
    mKtvPanel->Show();
    // Beyond the echo delay's slider: its maximum, in two bytes.
    Type("edit_echo_delay", "500");
    EXPECT_TRUE(mHandled);
    EXPECT_EQ(mWindow.Get("edit_echo_delay").Text(), "300ms");
    EXPECT_EQ(mWindow.Get("slider_echo_delay").Value(), 300);
    EXPECT_EQ(Profile().echoDelay, 300);
    auto frames = KtvFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].sub, device::KTV_ECHO_DELAY);
    EXPECT_EQ(frames[0].data, std::vector<uint8_t>({0x01, 0x2C}));
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_ECHO_DELAY), 300);

    // The unit after the number is ignored, and so is a fraction.
    Type("edit_mic_volume", "33.9dB");
    Type("edit_treble", "-4");
    Type("edit_bass", "-40");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mWindow.Get("edit_mic_volume").Text(), "33dB");
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_MIC_VOL), 33);
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_TREBLE_GAIN), -4);
    EXPECT_EQ(mWindow.Get("edit_bass").Text(), "-12");
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_BASS_GAIN), -12);
    EXPECT_EQ(Profile().treble, -4);
    EXPECT_EQ(Profile().micVolume, 33);

    // Text without a number is no value: the kept one shows again and
    // nothing is sent.
    mDemo.amplifier->ClearReceived();
    Type("edit_bass", "loud");
    Type("edit_voice_changer", "");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(KtvFrames().empty());
    EXPECT_EQ(mWindow.Get("edit_bass").Text(), "-12");
    EXPECT_EQ(mWindow.Get("edit_voice_changer").Text(), std::to_string(Profile().voiceChanger));
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_BASS_GAIN), -12);

    // A layout range beyond what the command carries is cut to it.
    mWindow.Get("slider_mic_volume").SetRange(0, 1000);
    Type("edit_mic_volume", "999999999999");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_MIC_VOL), 255);
    EXPECT_EQ(mWindow.Get("edit_mic_volume").Text(), "255dB");
}

TEST_F(SwitchedFeaturePanels, SteppingAKaraokeValueStopsAtTheRangeAndSendsTheEndAgain) {
    GiveKtvRanges();
    Type("edit_bass", "-12");
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();
    Notify(toolkit::kNotifyValueChangedDown, "edit_bass");
    EXPECT_TRUE(mHandled);
    auto frames = KtvFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, std::vector<uint8_t>({0xF4}));
    EXPECT_EQ(mWindow.Get("edit_bass").Text(), "-12");
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_BASS_GAIN), -12);

    // Up from what the edit shows, the slider following.
    mWindow.Get("edit_reverb_time").SetText("249ms");
    Notify(toolkit::kNotifyValueChangedUp, "edit_reverb_time");
    Notify(toolkit::kNotifyValueChangedUp, "edit_reverb_time");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mWindow.Get("edit_reverb_time").Text(), "250ms");
    EXPECT_EQ(mWindow.Get("slider_reverb_time").Value(), 250);
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_REVERB_TIME), 250);
    EXPECT_EQ(Profile().reverbTime, 250);
    EXPECT_TRUE(mWindow.Get("edit_reverb_time").mFocused);
}

TEST_F(SwitchedFeaturePanels, AKaraokeSliderAndTheHowlingSwitchGoToTheAmplifier) {
    GiveKtvRanges();
    mKtvPanel->Show();
    mWindow.Get("slider_echo_level").SetValue(27);
    Notify(toolkit::kNotifyMoveValueChanged, "slider_echo_level");
    EXPECT_TRUE(mHandled);
    mWindow.Get("slider_treble").SetValue(-9);
    Notify(toolkit::kNotifyValueChanged, "slider_treble");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mWindow.Get("edit_echo_level").Text(), "27dB");
    EXPECT_TRUE(mWindow.Get("edit_echo_level").mFocused);
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_ECHO_LEVEL), 27);
    EXPECT_EQ(mWindow.Get("edit_treble").Text(), "-9");
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_TREBLE_GAIN), -9);
    EXPECT_EQ(Profile().echoLevel, 27);

    mWindow.Get("option_howling_control").SetSelected(true, false);
    Notify(toolkit::kNotifySelectChanged, "option_howling_control");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_HOWLING), 1);
    EXPECT_EQ(Profile().howlingControl, 1);
    mWindow.Get("option_howling_control").SetSelected(false, false);
    Notify(toolkit::kNotifySelectChanged, "option_howling_control");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_HOWLING), 0);
    EXPECT_EQ(Profile().howlingControl, 0);
    // A click on the option alone is the toolkit's.
    Notify(toolkit::kNotifyClick, "option_howling_control");
    EXPECT_FALSE(mHandled);
}

TEST_F(SwitchedFeaturePanels, TheEditsFocusRingAndLeavingAnEditUnchanged) {
    GiveKtvRanges();
    mKtvPanel->Show();
    const std::vector<std::string> ring = {
        "edit_mic_volume", "edit_bgmusic_volume", "edit_voice_changer",
        "edit_treble",     "edit_bass",           "edit_echo_level",
        "edit_echo_delay", "edit_reverb_level",   "edit_reverb_time"};
    auto focusedOnly = [&]() {
        std::string focused;
        for (const std::string& edit : ring) {
            if (mWindow.Get(edit).mFocused) {
                focused += (focused.empty() ? "" : ",") + edit;
            }
            mWindow.Get(edit).mFocused = false;
        }
        return focused;
    };
    for (size_t i = 0; i < ring.size(); ++i) {
        focusedOnly();
        Notify(toolkit::kNotifyValueChangedRight, ring[i]);
        EXPECT_EQ(focusedOnly(), ring[(i + 1) % ring.size()]) << "right from " << ring[i];
        Notify(toolkit::kNotifyValueChangedLeft, ring[i]);
        EXPECT_EQ(focusedOnly(), ring[(i + ring.size() - 1) % ring.size()])
            << "left from " << ring[i];
    }
    // Moving round the ring and leaving edits as they were sends nothing.
    for (const std::string& edit : ring) {
        Notify(toolkit::kNotifyKillFocus, edit);
    }
    EXPECT_TRUE(KtvFrames().empty());
    // One left with a new text is applied.
    mWindow.Get("edit_reverb_level").SetText("64");
    Notify(toolkit::kNotifyKillFocus, "edit_reverb_level");
    ASSERT_EQ(KtvFrames().size(), 1u);
    EXPECT_EQ(mDemo.protocol->KtvValue(device::KTV_REVERB_LEVEL), 64);
    EXPECT_EQ(mWindow.Get("edit_reverb_level").Text(), "64");
}

// ---- the centre/surround window ----

TEST_F(SwitchedFeaturePanels, TheUpmixWindowOpensOnTheDefaultsAndSendsNothing) {
    GiveLevelRanges();
    GiveComboItems();
    // Before the window is open its notifications are not acted on.
    Notify(toolkit::kNotifySelectChanged, "btn_auto_0", 0);
    EXPECT_FALSE(mHandled);
    Profile().scene = 3;
    mCsAutoPanel->Open();
    EXPECT_EQ(Block().scene, 3);
    for (int i = 0; i < model::CsAutoSettings::kSwitches; ++i) {
        EXPECT_TRUE(mWindow.Get("btn_auto_" + std::to_string(i)).Selected()) << i;
    }
    for (int i = 0; i < model::CsAutoSettings::kLevels; ++i) {
        EXPECT_EQ(mWindow.Get("edit_auto_" + std::to_string(i)).Text(), "1.000") << i;
        EXPECT_EQ(mWindow.Get("slider_auto_" + std::to_string(i)).Value(), 100) << i;
    }
    EXPECT_EQ(mWindow.Get("combo_mode").SelectedIndex(), 0);
    EXPECT_EQ(mWindow.Get("combo_front").SelectedIndex(), 5);
    EXPECT_EQ(mWindow.Get("combo_surround").SelectedIndex(), 5);
    EXPECT_EQ(mWindow.Get("combo_subwoofer").SelectedIndex(), 5);
    EXPECT_TRUE(UpmixBlocks().empty());
}

TEST_F(SwitchedFeaturePanels, OneUpmixSwitchSendsTheWholeBlockSceneFirst) {
    GiveLevelRanges();
    Profile().scene = 2;
    mCsAutoPanel->Open();
    mWindow.Get("btn_auto_7").SetSelected(false, false);
    Notify(toolkit::kNotifySelectChanged, "btn_auto_7", 7);
    EXPECT_TRUE(mHandled);
    const auto blocks = UpmixBlocks();
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].size(), 52u);
    EXPECT_EQ(blocks[0][0], 2);
    for (int i = 0; i < model::CsAutoSettings::kSwitches; ++i) {
        EXPECT_EQ(blocks[0][1 + i], i == 7 ? 0 : 1) << i;
    }
    for (int i = 0; i < model::CsAutoSettings::kLevels; ++i) {
        EXPECT_FLOAT_EQ(LevelIn(blocks[0], i), 1.0f) << i;
    }
    EXPECT_EQ(std::vector<uint8_t>(blocks[0].begin() + 48, blocks[0].end()),
              std::vector<uint8_t>({0, 5, 5, 5}));
    // The amplifier keeps it under the scene it names.
    const auto kept = Amp(2).csAuto;
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), blocks[0].begin()));
    EXPECT_EQ(Block().autoEnable[7], 0);
}

TEST_F(SwitchedFeaturePanels, UpmixLevelsFromEditsSlidersAndSteps) {
    GiveLevelRanges();
    mCsAutoPanel->Open();
    // Beyond the slider (0..200): 2.0.
    Type("edit_auto_4", "5");
    EXPECT_TRUE(mHandled);
    EXPECT_FLOAT_EQ(Block().autoLevel[4], 2.0f);
    EXPECT_EQ(mWindow.Get("edit_auto_4").Text(), "2.000");
    EXPECT_EQ(mWindow.Get("slider_auto_4").Value(), 200);
    // Within it, the level keeps its thousandths.
    Type("edit_auto_1", "0.257");
    EXPECT_EQ(mWindow.Get("edit_auto_1").Text(), "0.257");
    EXPECT_EQ(mWindow.Get("slider_auto_1").Value(), 26);
    // No number: the level stays, shown again, and nothing is sent.
    const float before = Block().autoLevel[2];
    const size_t blocksBefore = UpmixBlocks().size();
    Type("edit_auto_2", "half");
    EXPECT_EQ(mWindow.Get("edit_auto_2").Text(), "1.000");
    EXPECT_FLOAT_EQ(Block().autoLevel[2], before);
    EXPECT_EQ(UpmixBlocks().size(), blocksBefore);
    // A slider: its position in hundredths.
    mWindow.Get("slider_auto_8").SetValue(37);
    Notify(toolkit::kNotifyMoveValueChanged, "slider_auto_8");
    EXPECT_EQ(mWindow.Get("edit_auto_8").Text(), "0.370");
    EXPECT_FLOAT_EQ(Block().autoLevel[8], 0.37f);
    // A step moves the slider by one.
    Notify(toolkit::kNotifyValueChangedDown, "edit_auto_8");
    EXPECT_EQ(mWindow.Get("slider_auto_8").Value(), 36);
    EXPECT_EQ(mWindow.Get("edit_auto_8").Text(), "0.360");
    auto blocks = UpmixBlocks();
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_FLOAT_EQ(LevelIn(blocks.back(), 4), 2.0f);
    EXPECT_FLOAT_EQ(LevelIn(blocks.back(), 1), 0.257f);
    EXPECT_FLOAT_EQ(LevelIn(blocks.back(), 2), 1.0f);
    EXPECT_FLOAT_EQ(LevelIn(blocks.back(), 8), 0.36f);
    const auto kept = Amp(0).csAuto;
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), blocks.back().begin()));

    // At the end of the range a step sends nothing.
    mDemo.amplifier->ClearReceived();
    Notify(toolkit::kNotifyValueChangedUp, "edit_auto_4");
    EXPECT_TRUE(mHandled);
    EXPECT_EQ(mWindow.Get("slider_auto_4").Value(), 200);
    EXPECT_TRUE(UpmixBlocks().empty());
}

TEST_F(SwitchedFeaturePanels, UpmixSelectionsAndTheRestoreAskedAndCancelled) {
    GiveLevelRanges();
    GiveComboItems();
    mCsAutoPanel->Open();
    mWindow.Get("combo_mode").SelectItem(2, false);
    Notify(toolkit::kNotifyItemSelect, "combo_mode");
    mWindow.Get("combo_subwoofer").SelectItem(1, false);
    Notify(toolkit::kNotifyItemSelect, "combo_subwoofer");
    mWindow.Get("btn_auto_0").SetSelected(false, false);
    Notify(toolkit::kNotifySelectChanged, "btn_auto_0", 0);
    Type("edit_auto_3", "0.25");
    auto blocks = UpmixBlocks();
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(blocks.back().begin() + 48, blocks.back().end()),
              std::vector<uint8_t>({2, 5, 5, 1}));
    const model::CsAutoSettings changed = Block();

    // Cancelled: nothing changes and nothing is sent.
    mDemo.amplifier->ClearReceived();
    mUi.mAnswers = {false};
    Notify(toolkit::kNotifyClick, controller::cs_auto::kRestoreButton);
    EXPECT_TRUE(mHandled);
    ASSERT_EQ(mUi.mAsked.size(), 1u);
    EXPECT_EQ(mUi.mAsked[0], "${tips}|${restore_cs_auto}");
    EXPECT_TRUE(UpmixBlocks().empty());
    EXPECT_EQ(Block().Bytes(), changed.Bytes());
    EXPECT_EQ(mWindow.Get("edit_auto_3").Text(), "0.250");
    EXPECT_FALSE(mWindow.Get("btn_auto_0").Selected());

    // Confirmed: the defaults, shown and sent once, the scene kept.
    Profile().scene = 4;
    mCsAutoPanel->Open();
    mUi.mAnswers = {true};
    Notify(toolkit::kNotifyClick, controller::cs_auto::kRestoreButton);
    blocks = UpmixBlocks();
    ASSERT_EQ(blocks.size(), 1u);
    model::CsAutoSettings defaults;
    defaults.Restore();
    defaults.scene = 4;
    const auto expected = defaults.Bytes();
    EXPECT_EQ(blocks[0], std::vector<uint8_t>(expected.begin(), expected.end()));
    EXPECT_TRUE(mWindow.Get("btn_auto_0").Selected());
    EXPECT_EQ(mWindow.Get("edit_auto_3").Text(), "1.000");
    EXPECT_EQ(mWindow.Get("slider_auto_3").Value(), 100);
    EXPECT_EQ(mWindow.Get("combo_mode").SelectedIndex(), 0);
    EXPECT_EQ(mWindow.Get("combo_subwoofer").SelectedIndex(), 5);
}

TEST_F(SwitchedFeaturePanels, TheUpmixWindowWritesItsLogLines) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tq_cs_auto_log_" + std::to_string(::getpid()) + ".log"))
                                 .string();
    ASSERT_TRUE(app::OpenLog(path));
    app::SetLogConsole(false);
    GiveLevelRanges();
    GiveComboItems();
    mCsAutoPanel->Open();
    mWindow.Get("btn_auto_10").SetSelected(false, false);
    Notify(toolkit::kNotifySelectChanged, "btn_auto_10", 10);
    mWindow.Get("slider_auto_6").SetValue(125);
    Notify(toolkit::kNotifyValueChanged, "slider_auto_6");
    Notify(toolkit::kNotifyValueChangedUp, "edit_auto_6");
    Type("edit_auto_5", "1.5");
    mWindow.Get("combo_front").SelectItem(3, false);
    Notify(toolkit::kNotifyItemSelect, "combo_front");
    mUi.mAnswers = {false};
    Notify(toolkit::kNotifyClick, controller::cs_auto::kRestoreButton);
    app::CloseLog();
    app::SetLogConsole(true);
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::filesystem::remove(path);
    const std::string log = text.str();
    for (const char* line :
         {"on option btn_auto_10 DUI_MSGTYPE_SELECTCHANGED index 10\n", "cs auto 10 seleted 0\n",
          "on cs auto silder slider_auto_6 valuechanged index 6\n", "set auto 6 slider to 1.250\n",
          "on edit edit_auto_6 DUI_MSGTYPE_VALUECHANGED_UP\n", "SetChVolumeUp 1 \n",
          "set auto 6 slider to 1.260\n", "on edit edit_auto_5 DUI_MSGTYPE_RETURN\n",
          "set combo front to combo_front item 3 index 3\n", "on CSAutoWnd::RestoreCSAuto\n"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
}

}  // namespace
