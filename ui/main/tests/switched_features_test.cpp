// The features this model's record switches off, in the running program:
// nothing of them is shown or reachable, not even by a click that reaches
// the main window some other way, and nothing of them is sent. Under a
// record that switches them on, the menu and the button open their windows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "toolkit/popup_menu.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

constexpr const char* kFeatureItems[] = {"advance_item_ktv", "advance_item_compressor",
                                         "advance_item_compressors_on", "advance_item_cs_auto"};

class FeatureControlsTest : public MainWindowTest {
protected:
    // The compressor button and the feature items of the advance menu:
    // shown (and enabled) or not.
    void ExpectFeatureControlsOffered(bool offered) {
        EXPECT_EQ(Control("btn_compressor").Widget()->isVisible(), offered);
        auto* advance = qobject_cast<QAbstractButton*>(Control("btn_advance").Widget());
        ASSERT_NE(advance, nullptr);
        advance->click();
        toolkit::PopupMenu* menu = mWindow->OpenMenu();
        ASSERT_NE(menu, nullptr);
        for (const char* name : kFeatureItems) {
            toolkit::ControlHandle* item = menu->FindItem(name);
            ASSERT_NE(item, nullptr) << name;
            EXPECT_EQ(item->Visible(), offered) << name;
            if (offered) {
                EXPECT_TRUE(item->Enabled()) << name;
            }
        }
        menu->CloseMenu();
    }
};

class SwitchedOffFeaturesTest : public FeatureControlsTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }
    // Runs `act` and watches for a modal window for a while; one that opens
    // is closed and reported.
    static void ExpectNoWindowFrom(const std::string& what, const std::function<void()>& act) {
        EXPECT_EQ(testing::WindowOpenedBy(act, {}, 300), "") << what << " opened a window";
    }
    bool SentAnyFeatureCommand() const {
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            const uint8_t type = report[4];
            const uint8_t sub = report[5];
            if (type == device::CMD_KTV ||
                (type == device::CMD_DSP &&
                 (sub == device::DSP_COMPRESSOR_SETTING || sub == device::DSP_COMPRESSOR_ON_CH ||
                  sub == device::DSP_COMPRESSOR_SETTING2 || sub == device::DSP_CS_AUTO_SETTING))) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(SwitchedOffFeaturesTest, NoControlOfThemIsShownOrReachable) {
    ExpectFeatureControlsOffered(false);

    // A click that reaches the window anyway opens nothing.
    for (const char* name : kFeatureItems) {
        ExpectNoWindowFrom(name, [&] {
            platform::PostMessage(mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                                  platform::MakeRecord(toolkit::MenuClick{name, "", ""}));
        });
    }
    ExpectNoWindowFrom("btn_compressor", [&] {
        auto* button = qobject_cast<QAbstractButton*>(Control("btn_compressor").Widget());
        ASSERT_NE(button, nullptr);
        button->click();
    });
    EXPECT_FALSE(SentAnyFeatureCommand());
}

// A model whose record switches these features on: the advance menu offers
// them, the compressor button shows, and each item opens its window.
class FeaturesOnMainWindowTest : public FeatureControlsTest {
protected:
    void SetUp() override {
        mRecord = std::make_unique<app::ScopedModelCfg>(test_support::FeaturesOnRecord());
        MainWindowTest::SetUp();
        BeforeStart();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        mRecord.reset();
    }
    // What the amplifier holds before the program connects.
    virtual void BeforeStart() {}
    std::string OpenedByItem(const char* item,
                             const std::function<void(toolkit::Window&)>& look = {}) {
        return testing::WindowOpenedBy(
            [&] {
                platform::PostMessage(mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                                      platform::MakeRecord(toolkit::MenuClick{item, "", ""}));
            },
            look);
    }
    static std::string Text(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        return control != nullptr ? control->Text() : "?";
    }

    std::unique_ptr<app::ScopedModelCfg> mRecord;
};

TEST_F(FeaturesOnMainWindowTest, TheMenuAndTheButtonOfferEveryFeatureWindow) {
    ExpectFeatureControlsOffered(true);

    EXPECT_EQ(OpenedByItem("advance_item_ktv"), "KtvWnd");
    EXPECT_EQ(OpenedByItem("advance_item_compressor"), "CustomEqWnd");
    EXPECT_EQ(OpenedByItem("advance_item_compressors_on"), "CompressorsOnWnd");
    EXPECT_EQ(OpenedByItem("advance_item_cs_auto"), "CSAutoWnd");
    EXPECT_EQ(testing::WindowOpenedBy([&] {
                  qobject_cast<QAbstractButton*>(Control("btn_compressor").Widget())->click();
              }),
              "CustomEqWnd");
}

// The amplifier's compressors, read at connection, are what the windows show.
class FeaturesOnTunedAmplifierTest : public FeaturesOnMainWindowTest {
protected:
    void BeforeStart() override {
        virtual_device::AmplifierState working = mDemo.protocol->State(0);
        working.channels[0].compressor = {0, 100, 0, 4, 2, 2, 5, 15, 300};
        working.channels[0].compressor2 = {-12, -5, 50, 2, 3};
        working.channels[3].compressorOn = 0;
        mDemo.protocol->SetState(0, working);
    }
};

TEST_F(FeaturesOnTunedAmplifierTest, TheWindowsShowWhatTheAmplifierReported) {
    // The second type is read after the first: its threshold, attack and
    // release, the first type's ratio and knee.
    EXPECT_EQ(OpenedByItem("advance_item_compressor",
                           [](toolkit::Window& window) {
                               EXPECT_EQ(Text(window, "edit_noise"), "-12.5dB");
                               EXPECT_EQ(Text(window, "edit_ratio"), "4.2");
                               EXPECT_EQ(Text(window, "edit_attack_time"), "50ms");
                               EXPECT_EQ(Text(window, "edit_release_time"), "2300ms");
                               EXPECT_EQ(Text(window, "edit_soft_knee"), "2.5dB");
                           }),
              "CustomEqWnd");
    EXPECT_EQ(OpenedByItem("advance_item_compressors_on",
                           [](toolkit::Window& window) {
                               EXPECT_EQ(Text(window, "edit_threshold_0"), "-12.5dB");
                               EXPECT_EQ(Text(window, "edit_attack_time_0"), "50ms");
                               ASSERT_NE(window.Find("box_enable_3"), nullptr);
                               EXPECT_FALSE(window.Find("box_enable_3")->Selected());
                               EXPECT_TRUE(window.Find("box_enable_2")->Selected());
                           }),
              "CompressorsOnWnd");
}

}  // namespace
}  // namespace ui
