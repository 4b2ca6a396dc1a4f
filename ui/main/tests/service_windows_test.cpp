// The service windows through the running program: the preference window
// from the option menu, the DSP memory window from the debug button and the
// power-off delay window, each control down to what the amplifier received
// and holds; the closing paths, the system close among them; a pulled cable
// while the memory window is open; and every text fitting at every scale in
// every language.
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSlider>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/settings.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "ui/dialogs/memory_window.h"
#include "ui/dialogs/poweroff_delay_window.h"
#include "ui/dialogs/preference_window.h"

namespace ui {
namespace {

using testing::WaitFor;

constexpr uint8_t kUdpCode = 81 + 7;
constexpr uint8_t kScpCode = 81 + 8;

class ServiceWindowsTest : public testing::MainWindowTest {
protected:
    using Step = testing::ModalScript::Step;

    // The debug button is shown only with the marker file in the current
    // directory: each test runs in a folder of its own.
    void SetUp() override {
        mOldDirectory = std::filesystem::current_path();
        mDirectory = std::filesystem::temp_directory_path() /
                     ("tq_service_windows_" + std::to_string(::getpid()));
        std::filesystem::create_directories(mDirectory);
        std::filesystem::current_path(mDirectory);
        std::ofstream(app::kDebugMarker) << "";
        app::WriteSetting("config", "mem_addr", "0");
        app::WriteSetting("config", "mem_data", "0");
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        std::filesystem::current_path(mOldDirectory);
        std::error_code ignored;
        std::filesystem::remove_all(mDirectory, ignored);
    }
    void Start() {
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }

    static toolkit::Window* TopModal() { return testing::TopModalWindow(); }
    void Play(std::vector<Step> steps) { mScript.Play(std::move(steps)); }
    bool PlayedAll() { return mScript.PlayedAll(); }

    // ---- acting as the user does ----
    void Click(const std::string& name) {
        auto* button = qobject_cast<QAbstractButton*>(Control(name).Widget());
        ASSERT_NE(button, nullptr) << name;
        button->click();
        QApplication::processEvents();
    }
    static void Press(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        auto* button =
            control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
        ASSERT_NE(button, nullptr) << window.Title() << " " << name;
        button->click();
    }
    static void Type(toolkit::Window& window, const char* edit, const std::string& text,
                     bool pressReturn = false) {
        toolkit::Control* control = window.Find(edit);
        auto* line = control != nullptr ? qobject_cast<QLineEdit*>(control->Widget()) : nullptr;
        ASSERT_NE(line, nullptr) << edit;
        line->setFocus();
        line->selectAll();
        line->del();
        QTest::keyClicks(line, QString::fromStdString(text));
        if (pressReturn) {
            QTest::keyClick(line, Qt::Key_Return);
        }
    }
    static std::string Text(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        return control != nullptr ? control->Text() : "?";
    }
    static bool Checked(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        auto* button =
            control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
        return button != nullptr && button->isChecked();
    }
    // The label's text as the user reads it, empty when it is not shown.
    static std::string Problem(toolkit::Window& window, const char* label) {
        toolkit::Control* control = window.Find(label);
        if (control == nullptr || !control->Visible()) {
            return "";
        }
        auto* text = qobject_cast<QLabel*>(control->Widget());
        return text != nullptr ? text->text().toStdString() : "?";
    }
    void ChooseOption(const char* item) {
        Click("btn_option");
        toolkit::PopupMenu* menu = mWindow->OpenMenu();
        ASSERT_TRUE(menu != nullptr && menu->IsOpen());
        toolkit::ControlHandle* entry = menu->FindItem(item);
        ASSERT_NE(entry, nullptr) << item;
        ASSERT_TRUE(entry->Enabled()) << item << " is offered";
        entry->Activate();
        menu->CloseMenu();
        QApplication::processEvents();
    }
    bool WaitIdle() {
        return WaitFor([&] { return mWindow->Manager().Link().IsCmdQueueIdle(); }, 5000);
    }
    bool NothingSent() {
        Idle();
        return mDemo.amplifier->ReceivedReports().empty();
    }
    // Every memory read the amplifier received, by address.
    std::vector<uint32_t> MemoryReads() {
        std::vector<uint32_t> addresses;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report[4] == device::CMD_DSP && report[5] == 0x42 && report[6] == device::OP_GET) {
                addresses.push_back(
                    static_cast<uint32_t>(report[7] | report[8] << 8 | report[9] << 16) |
                    static_cast<uint32_t>(report[10]) << 24);
            }
        }
        return addresses;
    }
    bool ProgramGoesOn() {
        return mWindow->Widget()->isVisible() && mWindow->Manager().Link().IsConnected() &&
               !mClosed;
    }
    std::string T(const char* key) { return toolkit::Translate(key); }

    std::filesystem::path mOldDirectory;
    std::filesystem::path mDirectory;
    testing::ModalScript mScript;
    bool mClosed = false;
};

// ---- the preference window ----

TEST_F(ServiceWindowsTest, ThePreferenceWindowShowsTheOptionsAndOpeningItSendsNothing) {
    Start();
    bool seen = false;
    Play({{"prefwnd", [&](toolkit::Window& pref) {
               seen = true;
               EXPECT_FALSE(Checked(pref, "ch_link_phase"));
               EXPECT_FALSE(Checked(pref, "ch_link_mute"));
               // The amplifier reports its socket serving SCP (the pin's 0).
               ASSERT_EQ(mDemo.protocol->Mcu().usbPowerOption, 0);
               EXPECT_FALSE(Checked(pref, "ch_usb_udp"));
               EXPECT_TRUE(Checked(pref, "ch_usb_scp"));
               EXPECT_TRUE(NothingSent()) << "opening the window sends nothing";
               Press(pref, "confirm_btn");
           }}});
    ChooseOption("option_item_preference");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(seen);
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
}

TEST_F(ServiceWindowsTest, LinkedOutputsFollowMuteAndPhaseOnlyWhenChosen) {
    Start();
    Click("ch_synchronize_2");
    Click("ch_synchronize_5");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(mWindow->Manager().WorkingProfile().linkGroup[5], 1);
    mDemo.amplifier->ClearReceived();

    Play({{"prefwnd", [&](toolkit::Window& pref) {
               Press(pref, "ch_link_mute");
               EXPECT_TRUE(NothingSent()) << "the link options are not sent";
               Press(pref, "closebtn");
           }}});
    ChooseOption("option_item_preference");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(mWindow->Manager().LinksMute());
    EXPECT_FALSE(mWindow->Manager().LinksPhase());

    Click("ch_mute_2");
    Click("ch_phase_2");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Amp().channels[2].mute, 1);
    EXPECT_EQ(Amp().channels[5].mute, 1) << "mute is copied to the group";
    EXPECT_EQ(Amp().channels[2].phase, 1);
    EXPECT_EQ(Amp().channels[5].phase, 0) << "phase is not copied";
    EXPECT_EQ(Amp().channels[4].mute, 0) << "outside the group";

    // The window shows what was chosen; now phase on, mute off.
    Play({{"prefwnd", [&](toolkit::Window& pref) {
               EXPECT_TRUE(Checked(pref, "ch_link_mute"));
               EXPECT_FALSE(Checked(pref, "ch_link_phase"));
               Press(pref, "ch_link_mute");
               Press(pref, "ch_link_phase");
               Press(pref, "confirm_btn");
           }}});
    ChooseOption("option_item_preference");
    ASSERT_TRUE(PlayedAll());
    Click("ch_phase_5");  // output 5 to reversed phase: output 2 already is
    Click("ch_phase_5");  // and back to positive, which output 2 now follows
    Click("ch_mute_5");   // output 5 unmuted alone
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Amp().channels[5].phase, 0);
    EXPECT_EQ(Amp().channels[2].phase, 0) << "phase is copied to the group";
    EXPECT_EQ(Amp().channels[5].mute, 0);
    EXPECT_EQ(Amp().channels[2].mute, 1) << "mute is no longer copied";
}

TEST_F(ServiceWindowsTest, ChoosingScpMovesTheUsbAudioSourceToScpAndBack) {
    auto state = Amp();
    state.sourceCode = kUdpCode;
    mDemo.protocol->SetState(0, state);
    // The socket serves USB audio (the pin's 1) when the program connects.
    auto mcu = mDemo.protocol->Mcu();
    mcu.usbPowerOption = 1;
    mDemo.protocol->SetMcu(mcu);
    Start();
    ASSERT_EQ(mWindow->Manager().WorkingProfile().source, 7);

    Play({{"prefwnd", [&](toolkit::Window& pref) {
               Press(pref, "ch_usb_scp");
               ASSERT_TRUE(WaitIdle());
               EXPECT_FALSE(Checked(pref, "ch_usb_udp")) << "one mode at a time";
               EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 0) << "SCP: pin 0";
               EXPECT_EQ(Amp().sourceCode, kScpCode);
               Press(pref, "closebtn");
           }}});
    ChooseOption("option_item_preference");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(mWindow->Manager().UsbModeIsScp());
    EXPECT_EQ(mWindow->Manager().WorkingProfile().source, 8);

    Play({{"prefwnd", [&](toolkit::Window& pref) {
               EXPECT_TRUE(Checked(pref, "ch_usb_scp"));
               Press(pref, "ch_usb_udp");
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 1) << "USB audio: pin 1";
               EXPECT_EQ(Amp().sourceCode, kUdpCode);
               Press(pref, "confirm_btn");
           }}});
    ChooseOption("option_item_preference");
    ASSERT_TRUE(PlayedAll());
    EXPECT_FALSE(mWindow->Manager().UsbModeIsScp());
}

TEST_F(ServiceWindowsTest, TheSystemCloseOfThePreferenceWindowClosesOnlyIt) {
    Start();
    mWindow->SetOnClosed([this] { mClosed = true; });
    Play({{"prefwnd", [](toolkit::Window& pref) { pref.Widget()->close(); }}});
    const int code = ui::OpenPreferenceWindow(mWindow.get(), mWindow->Manager());
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(code, 1) << "as its close button";
    EXPECT_TRUE(ProgramGoesOn());

    // Through the menu, the same.
    Play({{"prefwnd", [](toolkit::Window& pref) { pref.Widget()->close(); }}});
    ChooseOption("option_item_preference");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(ProgramGoesOn());
}

// ---- the memory window ----

TEST_F(ServiceWindowsTest, TheDebugButtonIsShownOnlyWithItsMarkerFile) {
    Start();
    EXPECT_TRUE(Control("btn_debug").Visible());
    // It takes no other button's place: the noise gate stays in reach.
    QWidget* debug = Control("btn_debug").Widget();
    QWidget* gate = Control("win_btn_noise_gate").Widget();
    EXPECT_TRUE(gate->isVisible());
    const QRect debugArea(debug->mapTo(mWindow->Widget(), QPoint()), debug->size());
    const QRect gateArea(gate->mapTo(mWindow->Widget(), QPoint()), gate->size());
    EXPECT_FALSE(debugArea.intersects(gateArea));
    EXPECT_TRUE(testing::OverlappingControls(*mWindow).empty());
    CloseWindow();
    std::filesystem::remove(app::kDebugMarker);
    MakeWindow();
    ASSERT_TRUE(StartAndSync());
    EXPECT_FALSE(Control("btn_debug").Visible());
}

TEST_F(ServiceWindowsTest, ReadingAnAddressShowsTheAmplifiersWordAndKeepsTheAddress) {
    Start();
    Play({{"memwrwnd", [&](toolkit::Window& mem) {
               EXPECT_EQ(Text(mem, "addr_edit"), "0x00000000");
               // A word first, at 8; address 10 falls in it.
               Type(mem, "addr_edit", "8");
               Type(mem, "data_edit", "0x1234abcd");
               Press(mem, "write_btn");
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Memory(8), 0x1234ABCDu);
               EXPECT_EQ(Text(mem, "data_edit"), "0x1234abcd");
               EXPECT_EQ(app::ReadSettingInt("config", "mem_data", 0), 0x1234ABCD);

               Type(mem, "data_edit", "0");
               Type(mem, "addr_edit", "10");
               Press(mem, "read_btn");
               EXPECT_EQ(Text(mem, "addr_edit"), "0x0000000a");
               EXPECT_EQ(app::ReadSettingInt("config", "mem_addr", 0), 10);
               EXPECT_TRUE(WaitFor([&] { return Text(mem, "data_edit") == "0x1234abcd"; }, 5000))
                   << "the amplifier's answer shows: " << Text(mem, "data_edit");
               EXPECT_EQ(Text(mem, "addr_edit"), "0x0000000a");
               EXPECT_EQ(MemoryReads(), std::vector<uint32_t>{10});

               // The largest address: shown in lower case, kept as -1.
               Type(mem, "addr_edit", "0xFFFFFFFF");
               Press(mem, "read_btn");
               EXPECT_EQ(Text(mem, "addr_edit"), "0xffffffff");
               EXPECT_EQ(app::ReadSettingInt("config", "mem_addr", 0), -1);
               EXPECT_TRUE(WaitFor([&] { return Text(mem, "data_edit") == "0x00000000"; }, 5000))
                   << "nothing lives above the memory";
               Press(mem, "closebtn");
           }}});
    Click("btn_debug");
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(mWindow->Manager().Link().MemWnd(), platform::kNoWindow)
        << "a closed window no longer takes memory reports";

    // Opened again, it shows what was kept.
    Play({{"memwrwnd", [&](toolkit::Window& mem) {
               EXPECT_EQ(Text(mem, "addr_edit"), "0xffffffff");
               EXPECT_EQ(Text(mem, "data_edit"), "0x00000000");
               EXPECT_EQ(Problem(mem, "mem_problem"), "");
               mem.Widget()->close();
           }}});
    Click("btn_debug");
    ASSERT_TRUE(PlayedAll());
}

TEST_F(ServiceWindowsTest, TextThatNamesNoWordIsRefusedAndNothingIsSent) {
    Start();
    Play({{"memwrwnd", [&](toolkit::Window& mem) {
               for (const char* bad : {"12ab", "0x", "-1", "", "0x100000000", "08"}) {
                   Type(mem, "addr_edit", bad);
                   Press(mem, "read_btn");
                   EXPECT_EQ(Problem(mem, "mem_problem"), T("${mem_bad_address}")) << bad;
                   EXPECT_EQ(Text(mem, "addr_edit"), bad) << "left for the user to mend";
                   Press(mem, "write_btn");
                   EXPECT_EQ(Problem(mem, "mem_problem"), T("${mem_bad_address}")) << bad;
               }
               Type(mem, "addr_edit", "0x40");
               Type(mem, "data_edit", "5 words");
               Press(mem, "write_btn");
               EXPECT_EQ(Problem(mem, "mem_problem"), T("${mem_bad_data}"));
               EXPECT_TRUE(NothingSent());
               EXPECT_EQ(app::ReadSettingInt("config", "mem_addr", 7), 0) << "nothing kept";

               // Blanks around a word are fine, and the message goes.
               Type(mem, "addr_edit", " 0x40 ");
               Type(mem, "data_edit", "017");
               Press(mem, "write_btn");
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(Problem(mem, "mem_problem"), "");
               EXPECT_EQ(Text(mem, "addr_edit"), "0x00000040");
               EXPECT_EQ(Text(mem, "data_edit"), "0x0000000f");
               EXPECT_EQ(mDemo.protocol->Memory(0x40), 15u);
               Press(mem, "closebtn");
           }}});
    Click("btn_debug");
    ASSERT_TRUE(PlayedAll());
}

TEST_F(ServiceWindowsTest, TheSystemCloseOfTheMemoryWindowClosesOnlyIt) {
    Start();
    mWindow->SetOnClosed([this] { mClosed = true; });
    Play({{"memwrwnd", [](toolkit::Window& mem) { mem.Widget()->close(); }}});
    const int code = ui::OpenMemoryWindow(mWindow.get(), mWindow->Manager().Link());
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(code, 0) << "as its close button";
    EXPECT_TRUE(ProgramGoesOn());
    EXPECT_EQ(mWindow->Manager().Link().MemWnd(), platform::kNoWindow);
}

// A pulled cable closes the boxes over the main window, the memory window
// among them, and the main window tells the user; the window can still be
// opened without an amplifier, and a read then gets no answer.
TEST_F(ServiceWindowsTest, ACablePulledWhileTheMemoryWindowIsOpen) {
    Start();
    std::string notice;
    Play({{"memwrwnd", [&](toolkit::Window&) { mDemo.amplifier->Unplug(); }},
          {"msgwnd", [&](toolkit::Window& box) {
               notice = Text(box, "MessageText");
               Press(box, "confirm_btn");
           }}});
    Click("btn_debug");
    ASSERT_TRUE(PlayedAll());
    char expected[256];
    std::snprintf(expected, sizeof expected, T("${device_plugout}").c_str(), "AMP-UI");
    EXPECT_EQ(toolkit::Translate(notice), expected);
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());
    EXPECT_EQ(mWindow->Manager().Link().MemWnd(), platform::kNoWindow);

    Play({{"memwrwnd", [&](toolkit::Window& mem) {
               mDemo.amplifier->ClearReceived();
               Type(mem, "addr_edit", "0x10");
               Type(mem, "data_edit", "7");
               Press(mem, "read_btn");
               Idle();
               EXPECT_EQ(Text(mem, "addr_edit"), "0x00000010") << "normalised";
               EXPECT_EQ(Text(mem, "data_edit"), "7") << "no answer came";
               EXPECT_EQ(Problem(mem, "mem_problem"), "");
               EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
               Press(mem, "closebtn");
           }}});
    Click("btn_debug");
    ASSERT_TRUE(PlayedAll());

    mDemo.amplifier->Plug();
    EXPECT_TRUE(WaitFor(
        [&] {
            return mWindow->Manager().Link().IsConnected() && mWindow->Manager().IsSynchronised() &&
                   !mWindow->IsLoadingShown();
        },
        20000));
}

// ---- the power-off delay window ----

TEST_F(ServiceWindowsTest, ThePowerOffDelayIsTypedSteppedAndDraggedWithinItsLimits) {
    Start();
    // This model's record leaves the window out of the advanced menu.
    Click("btn_advance");
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    toolkit::ControlHandle* item = mWindow->OpenMenu()->FindItem("advance_item_poweroff_delay");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->Visible());
    mWindow->OpenMenu()->CloseMenu();

    Play({{"msgwnd", [&](toolkit::Window& delay) {
               EXPECT_EQ(Text(delay, "value_edt"), "0 ms");
               Type(delay, "value_edt", "250", true);
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, 250);
               EXPECT_EQ(Text(delay, "value_edt"), "250 ms");
               EXPECT_EQ(delay.Find("slider_poweroff_delay")->Value(), 250);

               Type(delay, "value_edt", "5000", true);
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, 1000) << "limited";
               auto* edit = qobject_cast<QLineEdit*>(delay.Find("value_edt")->Widget());
               QTest::keyClick(edit, Qt::Key_Down);
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, 999);
               EXPECT_EQ(Text(delay, "value_edt"), "999 ms");
               QTest::keyClick(edit, Qt::Key_Up);
               QTest::keyClick(edit, Qt::Key_Up);
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, 1000) << "no step above 1000";

               auto* slider = qobject_cast<QSlider*>(delay.Find("slider_poweroff_delay")->Widget());
               ASSERT_NE(slider, nullptr);
               slider->setValue(420);
               ASSERT_TRUE(WaitIdle());
               EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, 420);
               EXPECT_EQ(Text(delay, "value_edt"), "420 ms");

               // Garbage sends nothing and shows the delay again.
               mDemo.amplifier->ClearReceived();
               Type(delay, "value_edt", "soon", true);
               EXPECT_TRUE(NothingSent());
               EXPECT_EQ(Text(delay, "value_edt"), "420 ms");
               EXPECT_EQ(Problem(delay, "value_problem"), T("${ui_poweroff_bad_value}"));

               Type(delay, "value_edt", "-5");
               Press(delay, "confirm_btn");  // applies the edit, then closes
           }}});
    mWindow->OpenPowerOffDelayWindow();
    ASSERT_TRUE(PlayedAll());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().powerOffDelayMs, 0);
    EXPECT_EQ(mWindow->Manager().WorkingProfile().powerOffDelay, 0u);

    // Cancel leaves a typed value unsent.
    Play({{"msgwnd", [&](toolkit::Window& delay) {
               mDemo.amplifier->ClearReceived();
               Type(delay, "value_edt", "300");
               Press(delay, "cancel_btn");
           }}});
    mWindow->OpenPowerOffDelayWindow();
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(NothingSent());
    EXPECT_EQ(mWindow->Manager().WorkingProfile().powerOffDelay, 0u);
}

// ---- how they look ----

TEST_F(ServiceWindowsTest, EveryTextFitsAtEveryScaleInEveryLanguage) {
    Start();
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            const std::string what =
                std::string(language).substr(0, 2) + "_" + std::to_string(scale);
            SetDisplayScale(scale);
            CPreferenceWnd pref(mWindow->Manager());
            pref.Prepare(mWindow.get());
            CMemWrWnd mem(mWindow->Manager().Link());
            mem.Prepare(mWindow.get());
            CPowerOffDelayWnd delay(mWindow->Manager());
            delay.Prepare(mWindow.get());
            SetDisplayScale(100);
            EXPECT_EQ(pref.Scale(), scale);
            // The messages shown, so they are measured too.
            mem.Find("mem_problem")->SetText("${mem_bad_address}");
            mem.Find("mem_problem")->SetVisible(true);
            delay.Find("value_problem")->SetVisible(true);
            for (toolkit::Window* window :
                 {static_cast<toolkit::Window*>(&pref), static_cast<toolkit::Window*>(&mem),
                  static_cast<toolkit::Window*>(&delay)}) {
                window->Show();
                QApplication::processEvents();
                testing::ExpectEverythingFits(*window, window->ClassName() + " " + what);
                testing::SaveScreenshot(*window, window->ClassName() + "_" + what);
                window->Close(0);
            }
        }
    }
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui
