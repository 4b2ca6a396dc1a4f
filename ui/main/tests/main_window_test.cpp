// The running program's main window against a virtual amplifier: what the
// user sees before and after connecting, and user actions on the real
// widgets down to the amplifier's state.
#include "main_window_fixture.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::SaveScreenshot;
using testing::WaitFor;

TEST_F(MainWindowTest, ShowsTheAmplifiersStateAfterConnecting) {
    mDemo.amplifier->Unplug();
    ASSERT_TRUE(mWindow->Start());
    Idle();
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");
    SaveScreenshot(*mWindow, "main_before_connecting");

    mDemo.amplifier->Plug();
    mWindow->Manager().UpdateDeviceList();
    mWindow->Manager().SelectFirstDevice();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Control("btnConnect").Widget()->isVisible(); }));
    static_cast<QAbstractButton*>(Control("btnConnect").Widget())->click();
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_connected}");
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-3dB");
    SaveScreenshot(*mWindow, "main_connected");
}

TEST_F(MainWindowTest, UserActionsOnTheOutputStripReachTheAmplifier) {
    ASSERT_TRUE(StartAndSync());
    // Mute output 3 with its button.
    auto* mute = qobject_cast<QAbstractButton*>(Control("ch_mute_3").Widget());
    ASSERT_NE(mute, nullptr);
    mute->click();
    // Type a trim for output 6 and press Enter.
    auto* trim = qobject_cast<QLineEdit*>(Control("edit_ch_volume_6").Widget());
    ASSERT_NE(trim, nullptr);
    trim->setFocus();
    trim->selectAll();
    QTest::keyClicks(trim, "-9");
    QTest::keyClick(trim, Qt::Key_Return);
    // Drag the delay slider of output 2.
    auto* delay = qobject_cast<QAbstractSlider*>(Control("slider_ch_delay_2").Widget());
    ASSERT_NE(delay, nullptr);
    delay->setSliderDown(true);
    delay->setValue(3500);
    delay->setSliderDown(false);
    ASSERT_TRUE(WaitQueueIdle());
    Idle();
    ASSERT_TRUE(WaitQueueIdle());

    virtual_device::AmplifierState amp = Amp();
    EXPECT_EQ(amp.channels[3].mute, 1);
    EXPECT_EQ(amp.channels[6].trimAttenuation, 9);
    EXPECT_EQ(amp.channels[2].delayMs, 3);
    EXPECT_EQ(amp.channels[2].delayThousandths, 500);
    EXPECT_EQ(Control("edit_ch_volume_6").Text(), "-9dB");
    SaveScreenshot(*mWindow, "main_after_editing");
}

TEST_F(MainWindowTest, PullingTheCableShowsTheUnplugNoticeAndReplugReconnects) {
    ASSERT_TRUE(StartAndSync());
    bool noticeSeen = false;
    // The notice is a modal box: close it as soon as it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (toolkit::Window* window : toolkit::window_registry::All()) {
            if (window != mWindow.get() && window->IsRunningModal()) {
                noticeSeen = true;
                window->Close(0);
            }
        }
    });
    closer.start(20);
    mDemo.amplifier->Unplug();
    ASSERT_TRUE(WaitFor([&] { return noticeSeen; }, 5000));
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");
    mDemo.amplifier->Plug();
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-3dB");
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST_F(MainWindowTest, ASecondInstanceTellsTheUserAndLeavesTheFirstAlone) {
    std::string shownText;
    std::vector<std::string> windowsWithAWidget;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (toolkit::Window* window : toolkit::window_registry::All()) {
            if (window->Widget() != nullptr) {
                windowsWithAWidget.push_back(window->ClassName());
            }
            if (window->IsRunningModal()) {
                if (toolkit::Control* text = window->Find("MessageText")) {
                    shownText = text->Text();
                }
                window->Close(1);
            }
        }
    });
    closer.start(20);
    TellSecondInstance();
    EXPECT_EQ(shownText, "${mutex_tips}");
    // Only the message box stood on the screen: no main window behind it.
    for (const std::string& className : windowsWithAWidget) {
        EXPECT_NE(className, "MainWnd");
    }
    EXPECT_FALSE(windowsWithAWidget.empty());
    // The refused instance never touched the amplifier.
    EXPECT_EQ(mDemo.amplifier->ReceivedCount(), 0u);
}

TEST_F(MainWindowTest, ADeviceNoticeOfAnotherProductIsIgnored) {
    ASSERT_TRUE(StartAndSync());
    DeviceNotice other{"/dev/hidraw9", 0x046D, 0xC52B, true};
    platform::PostMessage(mWindow->Handle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0,
                          platform::MakeRecord(other));
    Idle();
    EXPECT_TRUE(mWindow->Manager().IsSynchronised());
    EXPECT_TRUE(mWindow->Manager().Link().IsConnected());
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST_F(MainWindowTest, ConnectedInChineseAndRussian) {
    ASSERT_TRUE(StartAndSync());
    for (const auto& [language, stored] : {std::pair<const char*, const char*>{"cn_zh", "1"},
                                           {"ru", "2"},
                                           {"de", "3"},
                                           {"en", "0"}}) {
        SwitchLanguage(language, stored);
        Idle();
        SaveScreenshot(*mWindow, std::string("main_connected_") + language);
    }
    // Output names are shown in the language chosen.
    SwitchLanguage("ru", "2");
    EXPECT_EQ(mWindow->Find("ch_output_btn_8")->Text(), "${output_menu_subwoof_left}");
    auto* button = qobject_cast<QAbstractButton*>(mWindow->Find("ch_output_btn_8")->Widget());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().toStdString(), toolkit::Translate("${output_menu_subwoof_left}"));
    EXPECT_NE(button->text().toStdString().find("Сабвуфер"), std::string::npos);
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST_F(MainWindowTest, TheOutputMenuSetsTheTypeOfTheOutputAndItsBridgePartner) {
    ASSERT_TRUE(StartAndSync());
    auto* button = qobject_cast<QAbstractButton*>(Control("ch_output_btn_6").Widget());
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    EXPECT_TRUE(mWindow->OpenMenu()->IsOpen());
    EXPECT_EQ(mWindow->MenuChannel(), 6);
    toolkit::ControlHandle* taken = mWindow->OpenMenu()->FindItem("output_menu_subwoof_left");
    ASSERT_NE(taken, nullptr);
    EXPECT_TRUE(taken->Enabled());  // a type in use stays selectable in this build
    mWindow->OpenMenu()->CloseMenu();

    // Bridge outputs 6 and 7, then choose a type for 6 from the menu.
    mWindow->Manager().ToggleBridge(3);
    WaitFor([&] { return !mWindow->IsLoadingShown(); }, 5000);
    toolkit::MenuClick click{"output_menu_center_low_freq", "20", "${center_woofer}"};
    platform::PostMessage(mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                          platform::MakeRecord(click));
    Idle();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[6].type, 20);
    EXPECT_EQ(Amp().channels[7].type, 20);
    EXPECT_EQ(Control("ch_output_btn_7").Text(), "${output_menu_center_low_freq}");
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST_F(MainWindowTest, ArrowKeysWalkTheRingOfNumericEdits) {
    ASSERT_TRUE(StartAndSync());
    auto notify = [&](const char* from, const char* type) {
        toolkit::Notification n;
        n.type = type;
        n.name = from;
        n.sender = mWindow->Find(from);
        mWindow->SendNotify(n);
        QApplication::processEvents();
    };
    auto focused = [&](const char* name) {
        toolkit::Control* control = mWindow->Find(name);
        return control != nullptr && control->HasFocus();
    };
    mWindow->Widget()->activateWindow();
    // The last band's gain goes on to the first output's trim ...
    notify("eq_gain_20", toolkit::kNotifyValueChangedRight);
    EXPECT_TRUE(focused("edit_ch_volume_0"));
    // ... the last output's delay wraps to the high-pass frequency ...
    notify("edit_ch_delay_9", toolkit::kNotifyValueChangedRight);
    EXPECT_TRUE(focused("hp_freq"));
    // ... and back again.
    notify("hp_freq", toolkit::kNotifyValueChangedLeft);
    EXPECT_TRUE(focused("edit_ch_delay_9"));
    notify("eq_freq_0", toolkit::kNotifyValueChangedLeft);
    EXPECT_TRUE(focused("edit_main_volume"));
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST_F(MainWindowTest, LeavingAnEditCommitsItAndTheFocusStaysWhereTheUserWent) {
    ASSERT_TRUE(StartAndSync());
    // Focus events reach only the active window.
    QApplication::setActiveWindow(mWindow->Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
    auto* trim = qobject_cast<QLineEdit*>(Control("edit_ch_volume_6").Widget());
    ASSERT_NE(trim, nullptr);
    trim->setFocus();
    trim->selectAll();
    QTest::keyClicks(trim, "-11");
    auto* delay = qobject_cast<QLineEdit*>(Control("edit_ch_delay_2").Widget());
    delay->setFocus();  // as a click or Tab would
    QApplication::processEvents();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[6].trimAttenuation, 11);
    EXPECT_TRUE(delay->hasFocus());
}

}  // namespace
}  // namespace ui
