// Links, the lock and the link groups as the user sets them on the real main
// window: the link and lock buttons with their boxes, the per-output link
// options, the delay-link menu and the reset of the links, down to what the
// virtual amplifier holds.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "device/dsp_subcommands.h"
#include "main_window_fixture.h"
#include "toolkit/popup_menu.h"
#include "ui/tests/text_fit.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

void ExpectButton(const void* pointer, const std::string& name) {
    if (pointer == nullptr) {
        ADD_FAILURE() << "no button " << name << " in the box";
    }
}

class LinksWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
        mDemo.amplifier->ClearReceived();
    }
    void Click(const std::string& name) {
        auto* button = qobject_cast<QAbstractButton*>(Control(name).Widget());
        ASSERT_NE(button, nullptr) << name;
        button->click();
        QApplication::processEvents();
    }
    // Answers the next modal box by clicking its buttons in turn (an option,
    // then "confirm_btn"), or, with no buttons named, by closing it with the answer.
    void AnswerNextBox(int answer, std::vector<std::string> buttons = {}) {
        mAnswer = answer;
        mButtons = std::move(buttons);
        mAsked = false;
        mCloser.disconnect();
        QObject::connect(&mCloser, &QTimer::timeout, [this] {
            for (toolkit::Window* window : toolkit::window_registry::All()) {
                if (window == mWindow.get() || !window->IsRunningModal()) {
                    continue;
                }
                mAsked = true;
                mCloser.stop();
                if (mButtons.empty()) {
                    window->Close(mAnswer);
                    return;
                }
                for (const std::string& name : mButtons) {
                    toolkit::Control* control = window->Find(name);
                    auto* button = control != nullptr
                                       ? qobject_cast<QAbstractButton*>(control->Widget())
                                       : nullptr;
                    ExpectButton(button, name);
                    if (button != nullptr) {
                        button->click();
                    }
                }
                return;
            }
        });
        mCloser.start(20);
    }
    const model::Profile& Profile() { return mWindow->Manager().WorkingProfile(); }
    void TypeTrim(int channel, const char* text) {
        auto* edit =
            qobject_cast<QLineEdit*>(Control("edit_ch_volume_" + std::to_string(channel)).Widget());
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
    float AmpTrim(int c) {
        const auto state = Amp();
        const auto& ch = state.channels[c];
        return -(ch.trimAttenuation + ch.trimHundredths / 100.0f);
    }

    QTimer mCloser;
    int mAnswer = 1;
    std::vector<std::string> mButtons;
    bool mAsked = false;
};

TEST_F(LinksWindowTest, TheLinkButtonPairsOutputsAndTheLockButtonUnpairsThem) {
    TypeTrim(0, "-2");
    TypeTrim(1, "-5");
    ASSERT_TRUE(WaitQueueIdle());
    AnswerNextBox(1, {"check_box_0", "confirm_btn"});  // copy left to right
    Click("btn_link_output");
    ASSERT_TRUE(WaitFor([&] { return mAsked; }, 5000));
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().linkMode, 1);
    EXPECT_EQ(Amp().link, 1);
    EXPECT_EQ(Amp().linkPairs[0], 0x01);
    EXPECT_EQ(Amp().lock, 1);
    EXPECT_TRUE(Control("btn_link_output").Selected()) << "Link shows the link mode";
    EXPECT_TRUE(Control("btn_lock_output").Selected()) << "Lock shows the lock";
    mWindow->Manager().SetCurChannelChange(0);
    EXPECT_TRUE(Control("ch_enable_0").Selected()) << "the current output";
    EXPECT_TRUE(Control("ch_enable_1").Selected()) << "and its link partner show together";
    EXPECT_FALSE(Control("ch_enable_2").Selected());
    EXPECT_FALSE(Control("ch_output_btn_0").Enabled());
    EXPECT_EQ(Amp().channels[1].highPass.frequency, Amp().channels[0].highPass.frequency);

    TypeTrim(0, "-5");  // -3 dB moves the partner by -3 dB
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(AmpTrim(1), -8.0f, 0.006);
    EXPECT_EQ(Control("edit_ch_volume_1").Text(), "-8dB");

    AnswerNextBox(1);  // yes, unlock
    Click("btn_lock_output");
    ASSERT_TRUE(WaitFor([&] { return mAsked; }, 5000));
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().lockMode, 0);
    EXPECT_EQ(Profile().linkMode, 0);
    EXPECT_EQ(Amp().link, 0);
    EXPECT_EQ(Amp().lock, 0);
    EXPECT_FALSE(Control("btn_link_output").Selected());
    EXPECT_FALSE(Control("btn_lock_output").Selected());
    EXPECT_FALSE(Control("ch_enable_1").Selected()) << "no partner any more";
    EXPECT_TRUE(Control("ch_output_btn_0").Enabled());
}

TEST_F(LinksWindowTest, ChoosingLinkPartnersByHandIsNotOffered) {
    EXPECT_FALSE(Control("btn_link_select").Widget()->isVisible())
        << "this model pairs mirrored outputs itself; a button that did nothing would mislead";
    EXPECT_TRUE(Control("btn_link_output").Widget()->isVisible());
}

TEST_F(LinksWindowTest, CancellingTheLinkBoxLinksNothing) {
    AnswerNextBox(0);
    Click("btn_link_output");
    ASSERT_TRUE(WaitFor([&] { return mAsked; }, 5000));
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().linkMode, 0);
    EXPECT_EQ(Amp().link, 0);
    EXPECT_EQ(Amp().lock, 0);
    EXPECT_FALSE(Control("btn_link_output").Selected()) << "the click alone does not link";
    EXPECT_TRUE(Control("ch_output_btn_0").Enabled());
}

TEST_F(LinksWindowTest, LinkOptionsGroupOutputsAndTheResetUngroupsThem) {
    TypeTrim(2, "-1");
    ASSERT_TRUE(WaitQueueIdle());
    Click("ch_synchronize_2");
    Click("ch_synchronize_5");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().linkGroup[2], 1);
    EXPECT_EQ(Profile().linkGroup[5], 1);
    EXPECT_FALSE(Control("btn_link_output").Enabled());
    EXPECT_NEAR(AmpTrim(5), -1.0f, 0.006) << "the joining output takes the group's trim";
    TypeTrim(5, "-4");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(AmpTrim(2), -4.0f, 0.006);
    EXPECT_EQ(Control("edit_ch_volume_2").Text(), "-4dB");

    Click("btn_reset_link");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().linkGroup[2], 0);
    EXPECT_EQ(Profile().linkGroup[5], 0);
    EXPECT_FALSE(Control("ch_synchronize_2").Selected());
    EXPECT_TRUE(Control("btn_link_output").Enabled());
    TypeTrim(5, "-6");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(AmpTrim(2), -4.0f, 0.006);
}

TEST_F(LinksWindowTest, TheDelayLinkMenuPutsABridgedPairIntoAGroup) {
    mWindow->Manager().ToggleBridge(3);  // outputs 6 and 7
    ASSERT_TRUE(WaitFor([&] { return !mWindow->IsLoadingShown(); }, 5000));
    Click("delay_link_6");
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    ASSERT_TRUE(mWindow->OpenMenu()->IsOpen());
    EXPECT_EQ(mWindow->MenuChannel(), 6);
    const auto actions = mWindow->OpenMenu()->Menu()->actions();
    ASSERT_GE(actions.size(), 3);
    actions[2]->trigger();  // group 2
    ASSERT_TRUE(WaitFor([&] { return Profile().delayLinkGroup[6] == 2; }, 5000));
    EXPECT_EQ(Profile().delayLinkGroup[7], 2);
    EXPECT_FALSE(Control("btn_link_output").Enabled());
    mWindow->OpenMenu()->CloseMenu();
}

TEST_F(LinksWindowTest, ADelayLinkMenuClosedWithoutAChoiceChangesNothing) {
    Click("delay_link_4");
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    EXPECT_FALSE(Control("delay_link_4").Selected()) << "the option shows the group until a choice";
    mWindow->OpenMenu()->CloseMenu();
    QApplication::processEvents();
    EXPECT_EQ(Profile().delayLinkGroup[4], 0);
    EXPECT_FALSE(Control("delay_link_4").Selected());
}

// A model with link groups: the link option opens the group menu instead of
// toggling one link.
app::ModelCfg WithLinkGroups() {
    app::ModelCfg record = app::CurrentModelCfg();
    record.mHAS_LINK_GROUP = true;
    return record;
}

class LinkGroupModelTest : public LinksWindowTest {
    app::ScopedModelCfg mRecord{WithLinkGroups()};
};

TEST_F(LinkGroupModelTest, TheLinkOptionPutsOutputsIntoTheChosenGroup) {
    TypeTrim(2, "-3");
    ASSERT_TRUE(WaitQueueIdle());
    for (int channel : {2, 5}) {
        Click("ch_synchronize_" + std::to_string(channel));
        ASSERT_NE(mWindow->OpenMenu(), nullptr);
        ASSERT_TRUE(mWindow->OpenMenu()->IsOpen());
        EXPECT_EQ(mWindow->MenuChannel(), channel);
        const auto actions = mWindow->OpenMenu()->Menu()->actions();
        ASSERT_EQ(actions.size(), 5);
        actions[3]->trigger();  // group 3
        mWindow->OpenMenu()->CloseMenu();
        ASSERT_TRUE(WaitFor([&] { return Profile().linkGroup[channel] == 3; }, 5000));
    }
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(Control("ch_synchronize_5").Selected());
    EXPECT_NEAR(AmpTrim(5), -3.0f, 0.006) << "the joining output takes the group's trim";
    TypeTrim(5, "-7");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(AmpTrim(2), -7.0f, 0.006);
    EXPECT_EQ(Profile().linkGroup[3], 0) << "outputs outside the group stay out";
}

TEST_F(LinkGroupModelTest, UndoTakesAnOutputOutOfTheGroupItJoined) {
    TypeTrim(2, "-3");
    ASSERT_TRUE(WaitQueueIdle());
    const virtual_device::AmplifierState before = Amp();
    for (int channel : {2, 5}) {
        Click("ch_synchronize_" + std::to_string(channel));
        ASSERT_NE(mWindow->OpenMenu(), nullptr);
        mWindow->OpenMenu()->Menu()->actions()[3]->trigger();  // group 3
        mWindow->OpenMenu()->CloseMenu();
        ASSERT_TRUE(WaitFor([&] { return Profile().linkGroup[channel] == 3; }, 5000));
    }
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_NEAR(AmpTrim(5), -3.0f, 0.006) << "output 5 took the group's trim";

    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Profile().linkGroup[5], 0);
    EXPECT_EQ(Profile().linkGroup[2], 3);
    EXPECT_FALSE(Control("ch_synchronize_5").Selected());
    EXPECT_TRUE(Amp() == before) << "output 5 has its own settings back";
    TypeTrim(2, "-7");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(AmpTrim(5), -before.channels[5].trimAttenuation, 0.006)
        << "a trim of output 2 no longer reaches output 5";
}

TEST_F(LinksWindowTest, TheResetButtonEmptiesOrRestoresEveryOutput) {
    AnswerNextBox(0, {"third_btn"});  // "${emptied}"
    Click("btn_reset_output");
    ASSERT_TRUE(WaitFor([&] { return mAsked; }, 5000));
    ASSERT_TRUE(WaitFor([&] { return !mWindow->IsLoadingShown(); }, 10000));
    ASSERT_TRUE(WaitQueueIdle());
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Profile().outputs[c], 0) << c;
        EXPECT_EQ(Amp().channels[c].type, 0) << c;
    }
    AnswerNextBox(0, {"confirm_btn"});  // "${default}"
    Click("btn_reset_output");
    ASSERT_TRUE(WaitFor([&] { return mAsked; }, 5000));
    ASSERT_TRUE(WaitFor([&] { return !mWindow->IsLoadingShown(); }, 10000));
    ASSERT_TRUE(WaitQueueIdle());
    const int expected[] = {6, 12, 15, 18, 19, 20, 14, 17, 22, 23};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Amp().channels[c].type, expected[c]) << c;
    }
    EXPECT_EQ(Control("ch_output_btn_0").Text(), "${output_menu_front_left_all_freq}");
}

// Linked outputs, a link group and two delay-link groups as the installer
// sees them: every text fits, in every language at every scale.
TEST_F(LinksWindowTest, LinksAndGroupsFitAtEveryScaleInEveryLanguage) {
    auto checkEveryLanguage = [&](int scale, const std::string& shown) {
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            QApplication::processEvents();
            const std::string what = std::string(language) + "_" + std::to_string(scale);
            testing::ExpectEverythingFits(*mWindow, what);
            testing::SaveScreenshot(*mWindow, "main_" + what + "_" + shown);
        }
        SwitchLanguage("en", "0");
    };
    for (int scale : {100, 125, 150}) {
        ASSERT_TRUE(RestartAt(scale)) << scale;
        controller::EqualizerManager& manager = mWindow->Manager();
        AnswerNextBox(1, {"check_box_0", "confirm_btn"});  // link, copying left to right
        Click("btn_link_output");
        ASSERT_TRUE(WaitFor([&] { return mAsked; }, 5000));
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_EQ(Profile().linkMode, 1);
        checkEveryLanguage(scale, "linked");

        manager.SetOutputLink();  // link mode off again: groups need it off
        ASSERT_TRUE(WaitQueueIdle());
        Click("ch_synchronize_2");
        Click("ch_synchronize_3");
        manager.SetDelayLinkGroup(4, 1);
        manager.SetDelayLinkGroup(5, 1);
        manager.SetDelayLinkGroup(8, 2);
        manager.SetDelayLinkGroup(9, 2);
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_EQ(Profile().linkGroup[3], 1);
        ASSERT_EQ(Profile().delayLinkGroup[9], 2);
        checkEveryLanguage(scale, "link_groups");
    }
}

}  // namespace
}  // namespace ui
