// The option menu on the real main window, and the factory default it offers:
// asked, run behind the loading window, the amplifier's restart with its
// departure from the bus and return, and the program connecting again and
// showing the amplifier's defaults. Also what the user sees when the cable is
// pulled during the factory default or during the reset of the outputs.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <string>

#include "app/settings.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "toolkit/popup_menu.h"
#include "toolkit/text_resources.h"

namespace ui {
namespace {

using testing::BoxAnswerer;
using testing::MainWindowTest;
using testing::WaitFor;

class OptionMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mBoxes = std::make_unique<BoxAnswerer>(mWindow.get());
    }
    void TearDown() override {
        mBoxes.reset();
        MainWindowTest::TearDown();
    }
    void Click(const std::string& name) {
        auto* button = qobject_cast<QAbstractButton*>(Control(name).Widget());
        ASSERT_NE(button, nullptr) << name;
        button->click();
        QApplication::processEvents();
    }
    // Opens the option menu with its button; the action of the item, or
    // nullptr.
    QAction* OptionItem(const std::string& item) { return MenuItem("btn_option", item); }
    QAction* MenuItem(const std::string& button, const std::string& item) {
        Click(button);
        toolkit::PopupMenu* menu = mWindow->OpenMenu();
        if (menu == nullptr || !menu->IsOpen()) {
            ADD_FAILURE() << "the menu of " << button << " did not open";
            return nullptr;
        }
        return FindAction(menu->Menu(), item);
    }
    static QAction* FindAction(QMenu* menu, const std::string& name) {
        for (QAction* action : menu->actions()) {
            if (action->objectName().toStdString() == name) {
                return action;
            }
            if (action->menu() != nullptr) {
                if (QAction* inner = FindAction(action->menu(), name)) {
                    return inner;
                }
            }
        }
        return nullptr;
    }
    void ChooseOption(const std::string& item) {
        QAction* action = OptionItem(item);
        ASSERT_NE(action, nullptr) << item;
        ASSERT_TRUE(action->isEnabled()) << item;
        action->trigger();
        mWindow->OpenMenu()->CloseMenu();
        QApplication::processEvents();
    }
    void TuneOutputFour() {
        mWindow->Manager().SetCurChannelChange(4);
        auto* edit = qobject_cast<QLineEdit*>(Control("edit_ch_volume_4").Widget());
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "-7");
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_TRUE(WaitQueueIdle());
        ASSERT_EQ(Amp().channels[4].trimAttenuation, 7);
    }
    // Whether a box told the user that the device was unplugged: the
    // notice's text around the device's name.
    bool SawUnplugNotice() const {
        const std::string format = toolkit::Translate("${device_plugout}");
        const size_t name = format.find("%s");
        const std::string before = format.substr(0, name);
        const std::string after = format.substr(name + 2);
        for (const std::string& text : mBoxes->Texts()) {
            if (text.size() >= before.size() + after.size() && text.rfind(before, 0) == 0 &&
                text.compare(text.size() - after.size(), after.size(), after) == 0) {
                return true;
            }
        }
        return false;
    }
    bool Reconnected() {
        return mWindow->Manager().IsSynchronised() && mWindow->Manager().Link().IsConnected() &&
               !mWindow->IsLoadingShown();
    }

    std::unique_ptr<BoxAnswerer> mBoxes;
};

TEST_F(OptionMenuTest, OffersOnlyWhatItCanDo) {
    for (const char* item : {"option_item_reset_default", "option_item_about",
                             "option_item_preference", "option_item_firmware_upgrade"}) {
        QAction* action = OptionItem(item);
        ASSERT_NE(action, nullptr) << item;
        EXPECT_TRUE(action->isEnabled()) << item;
        mWindow->OpenMenu()->CloseMenu();
    }
    mBoxes->Expect(0);
    ChooseOption("option_item_about");
    ASSERT_TRUE(WaitFor([&] { return mBoxes->Answered(1); }, 5000)) << "no about window";

    mWindow->Manager().DisconnectDevice();
    QAction* reset = OptionItem("option_item_reset_default");
    ASSERT_NE(reset, nullptr);
    EXPECT_FALSE(reset->isEnabled()) << "no amplifier, no factory default";
    mWindow->OpenMenu()->CloseMenu();
    QAction* about = OptionItem("option_item_about");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isEnabled());
    mWindow->OpenMenu()->CloseMenu();
}

// The advanced menu shows what this model's record switches on, and offers
// only what is built; what the record switches off is not shown at all.
TEST_F(OptionMenuTest, TheAdvancedMenuShowsWhatTheModelHas) {
    QAction* mixer = MenuItem("btn_advance", "advance_item_mixer");
    ASSERT_NE(mixer, nullptr);
    EXPECT_TRUE(mixer->isVisible());
    EXPECT_TRUE(mixer->isEnabled()) << "the mixer is offered";
    mWindow->OpenMenu()->CloseMenu();
    QAction* calibration = MenuItem("btn_advance", "advance_item_autocal");
    ASSERT_NE(calibration, nullptr);
    EXPECT_TRUE(calibration->isVisible());
    EXPECT_TRUE(calibration->isEnabled()) << "the calibration is offered";
    mWindow->OpenMenu()->CloseMenu();
    for (const char* item :
         {"advance_item_noise_threshold", "advance_item_poweroff_delay", "advance_item_ktv",
          "advance_item_compressor", "advance_item_compressors_on", "advance_item_cs_auto"}) {
        QAction* action = MenuItem("btn_advance", item);
        ASSERT_NE(action, nullptr) << item;
        EXPECT_FALSE(action->isVisible()) << item << " is switched off for this model";
        mWindow->OpenMenu()->CloseMenu();
    }
}

// The language items through the real menu: every open window shows the
// language at once, the choice is kept, and choosing the current one again
// writes nothing.
TEST_F(OptionMenuTest, ChoosingALanguageRedrawsTheWindowsAndIsKept) {
    auto* connect = qobject_cast<QAbstractButton*>(Control("btnConnect").Widget());
    ASSERT_NE(connect, nullptr);
    const QString english = connect->text();
    QAction* languages = OptionItem("option_item_language_menu");
    ASSERT_NE(languages, nullptr);
    EXPECT_TRUE(languages->isEnabled());
    mWindow->OpenMenu()->CloseMenu();

    ChooseOption("option_item_language_ru");
    EXPECT_EQ(toolkit::Texts().CurrentLanguage(), "ru");
    EXPECT_EQ(app::ReadSettingString("config", "lan", ""), "2");
    EXPECT_NE(connect->text(), english);
    EXPECT_EQ(connect->text().toStdString(), toolkit::Translate("${btn_connected}"));

    ChooseOption("option_item_language_de");
    EXPECT_EQ(toolkit::Texts().CurrentLanguage(), "de");
    EXPECT_EQ(app::ReadSettingString("config", "lan", ""), "3");
    EXPECT_EQ(connect->text().toStdString(), toolkit::Translate("${btn_connected}"));
    ChooseOption("option_item_language_ru");

    app::WriteSetting("config", "lan", "unchanged");
    ChooseOption("option_item_language_ru");
    EXPECT_EQ(app::ReadSettingString("config", "lan", ""), "unchanged") << "already current";

    // The toggle (an item of other layouts) goes to Chinese from any other
    // language, then to English.
    const auto toggle = [&] {
        platform::PostMessage(
            mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
            platform::MakeRecord(toolkit::MenuClick{"option_item_language", "", ""}));
        QApplication::processEvents();
    };
    toggle();
    EXPECT_EQ(toolkit::Texts().CurrentLanguage(), "cn_zh");
    EXPECT_EQ(app::ReadSettingString("config", "lan", ""), "1");
    toggle();
    EXPECT_EQ(toolkit::Texts().CurrentLanguage(), "en");
    EXPECT_EQ(app::ReadSettingString("config", "lan", ""), "0");
    EXPECT_EQ(connect->text(), english);
}

// Every language through the real menu at every scale: the main window and
// the about window, which names the amplifier's firmware, each fitting and
// saved as a screenshot, and the values showing the language's own units.
TEST_F(OptionMenuTest, EveryLanguageThroughTheMenuAtEveryScale) {
    const virtual_device::VersionNumber firmware = mDemo.protocol->FirmwareVersion();
    const std::string version =
        "v" + std::to_string(firmware.major) + "." + std::to_string(firmware.minor);
    const std::pair<std::string, const char*> items[] = {{"en", "option_item_language_en"},
                                                         {"cn_zh", "option_item_language_cn"},
                                                         {"ru", "option_item_language_ru"},
                                                         {"de", "option_item_language_de"}};
    for (int scale : {100, 125, 150}) {
        if (scale != 100) {
            ASSERT_TRUE(RestartAt(scale));
        }
        for (const auto& [language, item] : items) {
            ChooseOption(item);
            ASSERT_EQ(toolkit::Texts().CurrentLanguage(), language);
            const std::string what = language + " at " + std::to_string(scale) + " %";
            const std::string name = language + "_" + std::to_string(scale);
            testing::ExpectEverythingFits(*mWindow, "main window, " + what);
            const QString delay =
                qobject_cast<QLineEdit*>(Control("edit_ch_delay_0").Widget())->text();
            EXPECT_TRUE(delay.endsWith(QString::fromStdString(toolkit::Translate("${unit_ms}"))))
                << what << ": " << delay.toStdString();
            testing::SaveScreenshot(*mWindow, "language_main_" + name);
            const std::string opened = testing::WindowOpenedBy(
                [&] { ChooseOption("option_item_about"); },
                [&](toolkit::Window& about) {
                    const toolkit::Control* line = about.Find("fw_version");
                    ASSERT_NE(line, nullptr);
                    EXPECT_NE(line->Text().find(toolkit::Translate("${version}") + " " + version),
                              std::string::npos)
                        << what << ": " << line->Text();
                    testing::ExpectEverythingFits(about, "about window, " + what);
                    testing::SaveScreenshot(about, "language_about_" + name);
                });
            EXPECT_EQ(opened, "AboutWnd") << what;
        }
    }
    ChooseOption("option_item_language_en");
}

// A value typed with the unit the window shows reads as that value.
TEST_F(OptionMenuTest, AValueTypedWithTheLanguagesUnitIsTaken) {
    ChooseOption("option_item_language_ru");
    EXPECT_EQ(Control("edit_ch_volume_4").Widget()->property("text").toString().right(2),
              QString::fromUtf8("дБ"));
    mWindow->Manager().SetCurChannelChange(4);
    auto* edit = qobject_cast<QLineEdit*>(Control("edit_ch_volume_4").Widget());
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setText(QString::fromUtf8("-6 дБ"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 6);
    ChooseOption("option_item_language_en");
}

TEST_F(OptionMenuTest, RefusingTheFactoryDefaultKeepsTheTune) {
    TuneOutputFour();
    mDemo.amplifier->ClearReceived();
    mBoxes->Expect(0, {"cancel_btn"});
    ChooseOption("option_item_reset_default");
    ASSERT_TRUE(WaitFor([&] { return mBoxes->Answered(1); }, 5000));
    QTest::qWait(200);
    EXPECT_FALSE(mBoxes->SawLoading());
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 7);
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty()) << "nothing is sent when refused";
}

TEST_F(OptionMenuTest, TheFactoryDefaultRestartsTheAmplifierAndShowsItsDefaults) {
    TuneOutputFour();
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-7dB");
    bool awayWhileTold = false;
    mBoxes->Expect(0, {"confirm_btn"});  // the question
    // The restart box stays while the amplifier is away; the user closes it.
    mBoxes->Expect(0, {"confirm_btn"}, [&] {
        awayWhileTold = !mWindow->Manager().Link().IsConnected() &&
                        Control("btnConnect").Text() == "${btn_disconnected}";
        return awayWhileTold;
    });
    ChooseOption("option_item_reset_default");
    ASSERT_TRUE(WaitFor([&] { return mBoxes->Answered(2); }, 15000));
    EXPECT_TRUE(mBoxes->SawLoading());
    EXPECT_TRUE(awayWhileTold) << "the amplifier left the bus and the program let it go";
    EXPECT_EQ(mBoxes->Texts()[1], toolkit::Translate("${device_reboot}"));
    // It connects again when the amplifier is back, reading its defaults.
    ASSERT_TRUE(WaitFor([&] { return Reconnected(); }, 20000));
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 0);
    EXPECT_FLOAT_EQ(mWindow->Manager().WorkingProfile().channels[4].gain, 0.0f);
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "0dB");
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_connected}");
    EXPECT_FALSE(SawUnplugNotice()) << "an expected restart is no unplugged cable";
}

TEST_F(OptionMenuTest, ACablePulledDuringTheFactoryDefaultIsReportedAsSuch) {
    TuneOutputFour();
    mBoxes->Expect(0, {"confirm_btn"});  // the question
    mBoxes->Expect(0, {"confirm_btn"});  // the unplug notice
    mDemo.amplifier->UnplugAtReport(1);  // the factory-default command never arrives
    ChooseOption("option_item_reset_default");
    ASSERT_TRUE(WaitFor([&] { return mBoxes->Answered(2); }, 15000)) << "no unplug notice";
    EXPECT_TRUE(SawUnplugNotice());
    EXPECT_TRUE(WaitFor([&] { return !mWindow->IsLoadingShown(); }, 5000));
    EXPECT_FALSE(mBoxes->Saw(toolkit::Translate("${device_reboot}")))
        << "a device that was not reset is not said to restart";
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");

    // Plugged in again, it still holds the tune, and the program shows it.
    mDemo.amplifier->Plug();
    ASSERT_TRUE(WaitFor([&] { return Reconnected(); }, 20000));
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 7);
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-7dB");
}

TEST_F(OptionMenuTest, ACablePulledDuringTheResetOfTheOutputsEndsTheLoadingWindow) {
    mBoxes->Expect(0, {"third_btn"});    // "${emptied}"
    mBoxes->Expect(0, {"confirm_btn"});  // the unplug notice
    mDemo.amplifier->UnplugAtReport(2);
    Click("btn_reset_output");
    ASSERT_TRUE(WaitFor([&] { return mBoxes->Answered(2); }, 15000)) << "no unplug notice";
    EXPECT_TRUE(SawUnplugNotice());
    EXPECT_TRUE(WaitFor([&] { return !mWindow->IsLoadingShown(); }, 5000))
        << "the loading window must not outlive the device";
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());

    // The amplifier took only what reached it; plugged in again, the program
    // shows what the amplifier really holds.
    mDemo.amplifier->Plug();
    ASSERT_TRUE(WaitFor([&] { return Reconnected(); }, 20000));
    const auto state = Amp();
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(mWindow->Manager().WorkingProfile().outputs[c], state.channels[c].type) << c;
    }
}

}  // namespace
}  // namespace ui
