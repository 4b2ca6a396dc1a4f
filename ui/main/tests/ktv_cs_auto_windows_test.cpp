// The karaoke window and the centre/surround upmix window in the running
// program, under a model record that switches both features on: opened
// through the controller, driven as a user does (typing, garbage and values
// out of range, arrow keys, sliders, options, combo items, the restore
// question answered both ways) down to what the virtual amplifier keeps;
// values the amplifier reported shown when the window opens; every way of
// closing; every text fitting at every scale and language. Under this
// model's own record neither window opens.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/packet.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "toolkit/control_access.h"
#include "toolkit/popup_menu.h"
#include "ui/dialogs/cs_auto_window.h"
#include "ui/dialogs/ktv_window.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

using namespace testing::dialog;

using testing::WaitFor;

constexpr int kPatienceMs = 15000;
constexpr const char* kKtvTitle = "msgwnd";
constexpr const char* kCsAutoTitle = "csautownd";

// Made before the fixture builds the program, gone after it is torn down.
class FeaturesOn {
protected:
    app::ScopedModelCfg mFeaturesOn{test_support::FeaturesOnRecord()};
};

// What both fixtures need: a modal window driven from a timer, and the
// user's actions on its widgets.
class SwitchedWindows : public testing::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        BeforeStart();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }

    // What the amplifier holds before the program connects to it.
    virtual void BeforeStart() {}

    static toolkit::Window* TopModal() { return testing::TopModalWindow(); }

    bool InWindow(const std::string& title, const std::function<void()>& open,
                  const std::function<void(toolkit::Window&)>& act) {
        return testing::InModalWindow(title, open, act, kPatienceMs);
    }

    // How many frames of this kind, sub-command and operation the amplifier
    // received since the last clear.
    size_t Received(uint8_t type, uint8_t sub, uint8_t operation = device::OP_SET) {
        size_t count = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            count += report.size() > 6 && report[4] == type && report[5] == sub &&
                     report[6] == operation;
        }
        return count;
    }
    size_t KtvSets() {
        size_t count = 0;
        for (uint8_t sub = device::KTV_MIC_VOL; sub <= device::KTV_TREBLE_GAIN; ++sub) {
            count += Received(device::CMD_KTV, sub);
        }
        return count;
    }
    size_t UpmixBlocks() { return Received(device::CMD_DSP, 0x3D); }
    int Ktv(uint8_t sub) { return mDemo.protocol->KtvValue(sub); }
    controller::EqualizerManager& Manager() { return mWindow->Manager(); }
    // Level i as the amplifier keeps it in the working state's block.
    float KeptLevel(int level) {
        const auto block = Amp().csAuto;
        uint32_t bits = 0;
        for (int k = 0; k < 4; ++k) {
            bits |= uint32_t{block[12 + 4 * level + k]} << (8 * k);
        }
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Answers the question box that opens over the window with `button`.
    void AnswerTheQuestionWith(const char* button) {
        auto answer = std::make_shared<QTimer>();
        // The timer owns its connection: the slot must not own the timer.
        QTimer* timer = answer.get();
        QObject::connect(timer, &QTimer::timeout, [timer, button] {
            toolkit::Window* top = TopModal();
            if (top != nullptr && top->ClassName() == "MsgWnd") {
                timer->stop();
                EXPECT_EQ(toolkit::Translate(top->Find("MessageText")->Text()),
                          toolkit::Translate("${restore_cs_auto}"));
                if (auto* b = qobject_cast<QAbstractButton*>(top->Find(button)->Widget())) {
                    b->click();
                }
            }
        });
        answer->start(15);
        mAnswering = answer;
    }

    std::shared_ptr<QTimer> mAnswering;
};

class KtvCsAutoWindowsTest : public FeaturesOn, public SwitchedWindows {};

// ---- the karaoke window ----

// The amplifier plays karaoke settings of its own when the program connects.
class KaraokeReportedAtConnection : public KtvCsAutoWindowsTest {
protected:
    void BeforeStart() override {
        for (const auto& [sub, value] :
             std::vector<std::pair<uint8_t, int>>{{device::KTV_MIC_VOL, 52},
                                                  {device::KTV_MUSIC_VOL, 33},
                                                  {device::KTV_HOWLING, 1},
                                                  {device::KTV_ECHO_LEVEL, 18},
                                                  {device::KTV_ECHO_DELAY, 275},
                                                  {device::KTV_REVERB_LEVEL, 61},
                                                  {device::KTV_REVERB_TIME, 140},
                                                  {device::KTV_VOICE_CHANGER, 3},
                                                  {device::KTV_BASS_GAIN, -6},
                                                  {device::KTV_TREBLE_GAIN, 4}}) {
            mDemo.protocol->SetKtvValue(sub, value);
        }
    }
};

TEST_F(KaraokeReportedAtConnection, TheKaraokeWindowShowsWhatTheAmplifierReported) {
    const bool ran = InWindow(
        kKtvTitle, [&] { Manager().OpenKtvWindow(); },
        [&](toolkit::Window& ktv) {
            EXPECT_EQ(ktv.ClassName(), "KtvWnd");
            EXPECT_TRUE(ktv.Find("option_howling_control")->Selected());
            EXPECT_EQ(Text(ktv, "edit_mic_volume"), "52dB");
            EXPECT_EQ(Value(ktv, "slider_mic_volume"), 52);
            EXPECT_EQ(Text(ktv, "edit_bgmusic_volume"), "33dB");
            EXPECT_EQ(Text(ktv, "edit_echo_level"), "18dB");
            EXPECT_EQ(Text(ktv, "edit_echo_delay"), "275ms");
            EXPECT_EQ(Value(ktv, "slider_echo_delay"), 275);
            EXPECT_EQ(Text(ktv, "edit_reverb_level"), "61");
            EXPECT_EQ(Text(ktv, "edit_reverb_time"), "140ms");
            EXPECT_EQ(Text(ktv, "edit_voice_changer"), "3");
            EXPECT_EQ(Text(ktv, "edit_bass"), "-6");
            EXPECT_EQ(Value(ktv, "slider_bass"), -6);
            EXPECT_EQ(Text(ktv, "edit_treble"), "4");
            Click(ktv, "confirm_btn");
        });
    EXPECT_TRUE(ran);
    // Opening and closing sent nothing.
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(KtvSets(), 0u);
}

TEST_F(KtvCsAutoWindowsTest, TheKaraokeWindowSetsTheAmplifiersKaraoke) {
    const bool ran = InWindow(
        kKtvTitle, [&] { Manager().OpenKtvWindow(); },
        [&](toolkit::Window& ktv) {
            // The profile's defaults.
            EXPECT_EQ(Text(ktv, "edit_mic_volume"), "60dB");
            EXPECT_EQ(Text(ktv, "edit_bgmusic_volume"), "60dB");
            EXPECT_FALSE(ktv.Find("option_howling_control")->Selected());
            // Beyond the echo delay's slider: its end, in two bytes.
            Type(ktv, "edit_echo_delay", "500");
            Idle();
            EXPECT_EQ(Text(ktv, "edit_echo_delay"), "300ms");
            EXPECT_EQ(Value(ktv, "slider_echo_delay"), 300);
            EXPECT_EQ(Ktv(device::KTV_ECHO_DELAY), 300);
            EXPECT_EQ(Manager().WorkingProfile().echoDelay, 300);
            // Garbage and values below the range.
            const int bassBefore = Ktv(device::KTV_BASS_GAIN);
            Type(ktv, "edit_bass", "loud");
            Type(ktv, "edit_mic_volume", "-5dB");
            Type(ktv, "edit_treble", "7 dB");
            Idle();
            EXPECT_EQ(Text(ktv, "edit_bass"), std::to_string(bassBefore)) << "no number, no value";
            EXPECT_EQ(Ktv(device::KTV_BASS_GAIN), bassBefore);
            EXPECT_EQ(Text(ktv, "edit_mic_volume"), "0dB");
            EXPECT_EQ(Ktv(device::KTV_MIC_VOL), 0);
            EXPECT_EQ(Ktv(device::KTV_TREBLE_GAIN), 7);
            // Arrow keys step; at the end a step sends the end again.
            Type(ktv, "edit_bass", "-12");
            Idle();
            mDemo.amplifier->ClearReceived();
            Key(ktv, "edit_bass", Qt::Key_Down);
            Key(ktv, "edit_treble", Qt::Key_Up);
            Key(ktv, "edit_treble", Qt::Key_Up);
            Idle();
            EXPECT_EQ(Received(device::CMD_KTV, device::KTV_BASS_GAIN), 1u);
            EXPECT_EQ(Ktv(device::KTV_BASS_GAIN), -12);
            EXPECT_EQ(Text(ktv, "edit_bass"), "-12");
            EXPECT_EQ(Text(ktv, "edit_treble"), "9");
            EXPECT_EQ(Value(ktv, "slider_treble"), 9);
            EXPECT_EQ(Ktv(device::KTV_TREBLE_GAIN), 9);
            // A slider moved by the user.
            auto* slider = qobject_cast<QAbstractSlider*>(Widget(ktv, "slider_reverb_time"));
            ASSERT_NE(slider, nullptr);
            slider->setFocus();
            QTest::keyClick(slider, Qt::Key_End);
            Idle();
            EXPECT_EQ(Text(ktv, "edit_reverb_time"), "250ms");
            EXPECT_EQ(Ktv(device::KTV_REVERB_TIME), 250);
            EXPECT_EQ(Manager().WorkingProfile().reverbTime, 250);
            EXPECT_EQ(QApplication::focusWidget(), Widget(ktv, "edit_reverb_time"));
            // The howling switch.
            Click(ktv, "option_howling_control");
            Idle();
            EXPECT_EQ(Ktv(device::KTV_HOWLING), 1);
            EXPECT_EQ(Manager().WorkingProfile().howlingControl, 1);
            Click(ktv, "option_howling_control");
            Idle();
            EXPECT_EQ(Ktv(device::KTV_HOWLING), 0);
            Click(ktv, "confirm_btn");
        });
    EXPECT_TRUE(ran);
}

TEST_F(KtvCsAutoWindowsTest, TheKaraokeEditsFormARingForTheSideArrows) {
    const std::vector<std::string> ring = {
        "edit_mic_volume", "edit_bgmusic_volume", "edit_voice_changer",
        "edit_treble",     "edit_bass",           "edit_echo_level",
        "edit_echo_delay", "edit_reverb_level",   "edit_reverb_time"};
    const bool ran = InWindow(
        kKtvTitle, [&] { Manager().OpenKtvWindow(); },
        [&](toolkit::Window& ktv) {
            Widget(ktv, ring[0])->setFocus();
            for (size_t i = 1; i <= ring.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                EXPECT_EQ(QApplication::focusWidget(), Widget(ktv, ring[i % ring.size()])) << i;
            }
            for (size_t i = ring.size(); i-- > 0;) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
                EXPECT_EQ(QApplication::focusWidget(), Widget(ktv, ring[i])) << i;
            }
            Idle();
            // Walking round the ring sends nothing.
            EXPECT_EQ(KtvSets(), 0u);
            // Leaving an edit with a new text applies it.
            auto* edit = qobject_cast<QLineEdit*>(Widget(ktv, "edit_echo_level"));
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, "21");
            QTest::keyClick(edit, Qt::Key_Right);
            QTest::keyClick(edit, Qt::Key_Right);
            Idle();
            EXPECT_EQ(QApplication::focusWidget(), Widget(ktv, "edit_echo_delay"));
            EXPECT_EQ(Ktv(device::KTV_ECHO_LEVEL), 21);
            EXPECT_EQ(Text(ktv, "edit_echo_level"), "21dB");
            Click(ktv, "closebtn");
        });
    EXPECT_TRUE(ran);
}

TEST_F(KtvCsAutoWindowsTest, EveryWayOfClosingTheKaraokeWindow) {
    for (const auto& [how, expected] : std::vector<std::pair<std::string, int>>{
             {"confirm_btn", 1}, {"closebtn", 0}, {"system", 0}}) {
        SCOPED_TRACE(how);
        int code = -1;
        EXPECT_TRUE(InWindow(
            kKtvTitle, [&] { code = OpenKtvWindow(mWindow.get(), Manager()); },
            [&, how = how](toolkit::Window& ktv) {
                if (how == "system") {
                    ktv.Widget()->close();
                } else {
                    Click(ktv, how);
                }
            }));
        EXPECT_EQ(code, expected);
    }
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(KtvSets(), 0u);
}

// ---- the centre/surround window ----

TEST_F(KtvCsAutoWindowsTest, TheUpmixWindowSendsTheWholeBlockOnEveryChange) {
    const bool ran = InWindow(
        kCsAutoTitle, [&] { Manager().OpenCsAutoWindow(); },
        [&](toolkit::Window& cs) {
            EXPECT_EQ(cs.ClassName(), "CSAutoWnd");
            EXPECT_EQ(Text(cs, "edit_auto_0"), "1.000");
            EXPECT_EQ(Value(cs, "slider_auto_0"), 100);
            EXPECT_TRUE(cs.Find("btn_auto_10")->Selected());
            EXPECT_EQ(cs.Find("combo_front")->SelectedIndex(), 5);
            EXPECT_EQ(UpmixBlocks(), 0u);
            // One switch: the whole block, the scene first.
            Click(cs, "btn_auto_3");
            Idle();
            ASSERT_EQ(UpmixBlocks(), 1u);
            const auto sent = Manager().CsAutoSettings().Bytes();
            EXPECT_EQ(Amp().csAuto[0], Manager().WorkingProfile().scene);
            EXPECT_TRUE(std::equal(sent.begin(), sent.end(), Amp().csAuto.begin()));
            EXPECT_EQ(Amp().csAuto[1 + 3], 0);
            EXPECT_EQ(Amp().csAuto[1 + 4], 1);
            // Typed levels: limited to the slider's 0..2; garbage changes
            // nothing.
            const float levelBefore = KeptLevel(2);
            Type(cs, "edit_auto_1", "5");
            Type(cs, "edit_auto_2", "much");
            Type(cs, "edit_auto_5", "0.625");
            Idle();
            EXPECT_EQ(Text(cs, "edit_auto_1"), "2.000");
            EXPECT_EQ(Value(cs, "slider_auto_1"), 200);
            EXPECT_FLOAT_EQ(KeptLevel(1), 2.0f);
            EXPECT_FLOAT_EQ(KeptLevel(2), levelBefore);
            char shown[16];
            std::snprintf(shown, sizeof shown, "%.3f", levelBefore);
            EXPECT_EQ(Text(cs, "edit_auto_2"), shown);
            EXPECT_FLOAT_EQ(KeptLevel(5), 0.625f);
            // The arrow keys move the slider by a hundredth; at its end,
            // nothing.
            Key(cs, "edit_auto_6", Qt::Key_Up);
            Idle();
            EXPECT_EQ(Text(cs, "edit_auto_6"), "1.010");
            EXPECT_FLOAT_EQ(KeptLevel(6), 1.01f);
            mDemo.amplifier->ClearReceived();
            Key(cs, "edit_auto_1", Qt::Key_Up);
            Idle();
            EXPECT_EQ(UpmixBlocks(), 0u);
            // A slider.
            auto* slider = qobject_cast<QAbstractSlider*>(Widget(cs, "slider_auto_8"));
            ASSERT_NE(slider, nullptr);
            slider->setFocus();
            QTest::keyClick(slider, Qt::Key_Home);
            Idle();
            EXPECT_EQ(Text(cs, "edit_auto_8"), "0.000");
            EXPECT_FLOAT_EQ(KeptLevel(8), 0.0f);
            // Combo items chosen from the keyboard.
            auto* mode = qobject_cast<QComboBox*>(Widget(cs, "combo_mode"));
            ASSERT_NE(mode, nullptr);
            mode->setFocus();
            QTest::keyClick(mode, Qt::Key_Down);
            auto* sub = qobject_cast<QComboBox*>(Widget(cs, "combo_subwoofer"));
            ASSERT_NE(sub, nullptr);
            sub->setFocus();
            QTest::keyClick(sub, Qt::Key_Up);
            Idle();
            EXPECT_EQ(Amp().csAuto[48], 1);
            EXPECT_EQ(Amp().csAuto[51], 4);
            EXPECT_EQ(Manager().CsAutoSettings().subwoofer, 4);
            Click(cs, "confirm_btn");
        });
    EXPECT_TRUE(ran);
}

TEST_F(KtvCsAutoWindowsTest, TheUpmixRestoreAsksFirst) {
    const bool ran = InWindow(
        kCsAutoTitle, [&] { Manager().OpenCsAutoWindow(); },
        [&](toolkit::Window& cs) {
            Click(cs, "btn_auto_0");
            Type(cs, "edit_auto_4", "0.3");
            Idle();
            const auto changed = Amp().csAuto;
            EXPECT_EQ(changed[1], 0);
            // Cancelled: nothing changes, nothing is sent.
            mDemo.amplifier->ClearReceived();
            AnswerTheQuestionWith("cancel_btn");
            Click(cs, controller::cs_auto::kRestoreButton);
            Idle();
            EXPECT_EQ(UpmixBlocks(), 0u);
            EXPECT_EQ(Amp().csAuto, changed);
            EXPECT_EQ(Text(cs, "edit_auto_4"), "0.300");
            EXPECT_FALSE(cs.Find("btn_auto_0")->Selected());
            // Confirmed: the defaults, shown and sent.
            AnswerTheQuestionWith("confirm_btn");
            Click(cs, controller::cs_auto::kRestoreButton);
            Idle();
            EXPECT_EQ(UpmixBlocks(), 1u);
            model::CsAutoSettings defaults;
            defaults.Restore();
            defaults.scene = static_cast<uint8_t>(Manager().WorkingProfile().scene);
            const auto expected = defaults.Bytes();
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), Amp().csAuto.begin()));
            EXPECT_TRUE(cs.Find("btn_auto_0")->Selected());
            EXPECT_EQ(Text(cs, "edit_auto_4"), "1.000");
            EXPECT_EQ(Value(cs, "slider_auto_4"), 100);
            Click(cs, "cancel_btn");
        });
    EXPECT_TRUE(ran);
}

TEST_F(KtvCsAutoWindowsTest, EveryWayOfClosingTheUpmixWindow) {
    for (const auto& [how, expected] : std::vector<std::pair<std::string, int>>{{"closebtn", 0},
                                                                                {"cancel_btn", 0},
                                                                                {"confirm_btn", 1},
                                                                                {"third_btn", 2},
                                                                                {"system", 0}}) {
        SCOPED_TRACE(how);
        int code = -1;
        EXPECT_TRUE(InWindow(
            kCsAutoTitle, [&] { code = OpenCsAutoWindow(mWindow.get(), Manager(), *mWindow); },
            [&, how = how](toolkit::Window& cs) {
                if (how == "system") {
                    cs.Widget()->close();
                } else {
                    Click(cs, how);
                }
            }));
        EXPECT_EQ(code, expected);
    }
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(UpmixBlocks(), 0u);
}

// Both windows in every language at every scale, for looking at.
TEST_F(KtvCsAutoWindowsTest, EveryTextFitsAtEveryScaleAndLanguage) {
    const auto& languages = testing::kEveryLanguage;
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : languages) {
            SwitchLanguage(language, stored);
            const std::string what = language.substr(0, 2) + "_" + std::to_string(scale);
            SetDisplayScale(scale);
            CKtvWnd ktv(Manager());
            ktv.Prepare(mWindow.get());
            CSAutoWnd cs(Manager(), *mWindow);
            cs.Prepare(mWindow.get());
            SetDisplayScale(100);
            EXPECT_EQ(ktv.Scale(), scale);
            EXPECT_EQ(cs.Scale(), scale);
            ktv.Show();
            cs.Show();
            testing::ExpectEverythingFits(ktv, "karaoke " + what);
            testing::ExpectEverythingFits(cs, "upmix " + what);
            testing::SaveScreenshot(ktv, "ktv_" + what);
            testing::SaveScreenshot(cs, "cs_auto_" + what);
            ktv.Close(0);
            cs.Close(0);
        }
    }
    SwitchLanguage("en", "0");
}

// The advance menu offers both windows on a model that has them.
TEST_F(KtvCsAutoWindowsTest, TheAdvanceMenuOffersAndOpensBothWindows) {
    auto* advance = qobject_cast<QAbstractButton*>(Control("btn_advance").Widget());
    ASSERT_NE(advance, nullptr);
    advance->click();
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    for (const char* name : {"advance_item_ktv", "advance_item_cs_auto"}) {
        toolkit::ControlHandle* item = mWindow->OpenMenu()->FindItem(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_TRUE(item->Visible()) << name;
    }
    mWindow->OpenMenu()->CloseMenu();
    for (const auto& [item, title, className] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"advance_item_ktv", kKtvTitle, "KtvWnd"},
             {"advance_item_cs_auto", kCsAutoTitle, "CSAutoWnd"}}) {
        SCOPED_TRACE(item);
        const bool ran = InWindow(
            title,
            [&, item = item] {
                platform::PostMessage(mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                                      platform::MakeRecord(toolkit::MenuClick{item, "", ""}));
                Idle();
            },
            [&, className = className](toolkit::Window& window) {
                EXPECT_EQ(window.ClassName(), className);
                Click(window, "closebtn");
            });
        EXPECT_TRUE(ran);
    }
}

// ---- this model's own record ----

class OwnRecordWindowsTest : public SwitchedWindows {};

TEST_F(OwnRecordWindowsTest, NeitherWindowOpensUnderThisModelsRecord) {
    ASSERT_FALSE(app::CurrentModelCfg().mENABLE_KTV);
    ASSERT_FALSE(app::CurrentModelCfg().mENABLE_CS_AUTO);
    bool opened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { opened = opened || TopModal() != nullptr; });
    watch.start(5);
    Manager().OpenKtvWindow();
    Manager().OpenCsAutoWindow();
    Idle();
    EXPECT_FALSE(opened);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(KtvSets(), 0u);
    EXPECT_EQ(UpmixBlocks(), 0u);
}

}  // namespace
}  // namespace ui
