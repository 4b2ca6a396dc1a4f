// The firmware update windows through the running program: the manual
// window from the option menu with its file dialog, a refused file, its
// progress; the forced update's question with both versions and its window
// with the images the program carries; the device read again afterwards;
// and every text fitting at every scale in every language.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "controller/controller_messages.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "ui/dialogs/force_update_window.h"
#include "ui/dialogs/update_fw_window.h"

namespace ui {
namespace {

using testing::WaitFor;

constexpr const char* kUpdateWindowTitle = "updatefwwnd";

class FirmwareWindowsTest : public testing::MainWindowTest {
protected:
    using Step = testing::ModalScript::Step;

    // Each test runs in a folder of its own, which is also its temporary
    // folder, so the images written there are the test's.
    void SetUp() override {
        mOldDirectory = std::filesystem::current_path();
        mDirectory = std::filesystem::temp_directory_path() /
                     ("tq_fw_windows_" + std::to_string(::getpid()));
        std::filesystem::create_directories(mDirectory / "tmp");
        std::filesystem::current_path(mDirectory);
        const char* old = std::getenv("TMPDIR");
        mHadTemp = old != nullptr;
        mOldTemp = mHadTemp ? old : "";
        ::setenv("TMPDIR", (mDirectory / "tmp").c_str(), 1);
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        if (mOldAmplifier) {
            mOldAmplifier->SetPlugListener(nullptr);
        }
        MainWindowTest::TearDown();
        if (mHadTemp) {
            ::setenv("TMPDIR", mOldTemp.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        std::filesystem::current_path(mOldDirectory);
        std::error_code ignored;
        std::filesystem::remove_all(mDirectory, ignored);
    }

    // An amplifier with this firmware takes the demo one's place.
    void UseAmplifierWithFirmware(int major, int minor) {
        virtual_device::ProtocolOptions options;
        options.masterVersion = major;
        options.slaveVersion = minor;
        mOldAmplifier = std::make_shared<virtual_device::VirtualAmplifier>(L"AMP-OLD");
        mOldProtocol = virtual_device::AmplifierProtocol::InstallOn(mOldAmplifier, options);
        mDemo.amplifier->SetPlugListener(nullptr);
        mDemo.amplifier->Unplug();
        mOldPath = mBackend->Add(mOldAmplifier);
        AnnounceVirtualPlugging(*mOldAmplifier, mOldPath, mWindow->Handle());
    }

    void Start() {
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
    }
    void Play(std::vector<Step> steps) { mScript.Play(std::move(steps)); }
    bool PlayedAll(int ms = 25000) { return mScript.PlayedAll(ms); }

    void ChooseOption(const char* item) {
        auto* button = qobject_cast<QAbstractButton*>(Control("btn_option").Widget());
        ASSERT_NE(button, nullptr);
        button->click();
        QApplication::processEvents();
        toolkit::PopupMenu* menu = mWindow->OpenMenu();
        ASSERT_TRUE(menu != nullptr && menu->IsOpen());
        toolkit::ControlHandle* entry = menu->FindItem(item);
        ASSERT_NE(entry, nullptr) << item;
        ASSERT_TRUE(entry->Enabled()) << item << " is offered";
        entry->Activate();
        menu->CloseMenu();
        QApplication::processEvents();
    }
    static void Press(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        auto* button =
            control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
        ASSERT_NE(button, nullptr) << window.ClassName() << " " << name;
        ASSERT_TRUE(button->isEnabled()) << window.ClassName() << " " << name;
        button->click();
    }
    // The text as the user reads it.
    static std::string Shown(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        auto* label = control != nullptr ? qobject_cast<QLabel*>(control->Widget()) : nullptr;
        if (label != nullptr) {
            return label->text().toStdString();
        }
        return control != nullptr ? toolkit::Translate(control->Text()) : "?";
    }
    static int Bar(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        auto* bar = control != nullptr ? qobject_cast<QProgressBar*>(control->Widget()) : nullptr;
        return bar != nullptr ? bar->value() : -1;
    }
    static bool Enabled(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        return control != nullptr && control->Widget() != nullptr && control->Widget()->isEnabled();
    }
    static std::string T(const char* key) { return toolkit::Translate(key); }
    // Every upgrade command the amplifier received (enter, start, blocks,
    // finish of either target).
    std::vector<std::vector<uint8_t>> UpgradeFrames(virtual_device::VirtualAmplifier& amplifier) {
        std::vector<std::vector<uint8_t>> frames;
        for (const auto& report : amplifier.ReceivedReports()) {
            const bool mcu = report[4] == device::CMD_MCU &&
                             (report[5] <= 0x04 || (report[5] >= 0xA0 && report[5] <= 0xA3));
            const bool flash =
                report[4] == device::CMD_FLASH && report[5] >= 0x02 && report[5] <= 0x05;
            if ((mcu || flash) && report[6] == device::OP_SET) {
                frames.push_back(report);
            }
        }
        return frames;
    }
    bool Synchronised() {
        return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown() &&
               mWindow->Manager().Link().IsCmdCtrlEnabled();
    }

    std::filesystem::path mOldDirectory;
    std::filesystem::path mDirectory;
    std::string mOldTemp;
    bool mHadTemp = false;
    std::shared_ptr<virtual_device::VirtualAmplifier> mOldAmplifier;
    std::shared_ptr<virtual_device::AmplifierProtocol> mOldProtocol;
    std::string mOldPath;
    testing::ModalScript mScript;
};

constexpr const char* kFiveControls[] = {"closebtn", "cancel_btn", "file_btn", "update_btn",
                                         "file_path_edt"};

// The file dialog lists every file under the model's accepted names; a file
// the upgrade does not accept is refused at once, nothing reaches the
// amplifier and the window is usable again.
TEST_F(FirmwareWindowsTest, TheManualWindowRefusesAFileTheUpgradeDoesNotAccept) {
    Start();
    const std::string notes = (mDirectory / "notes.txt").string();
    std::ofstream(notes) << "not firmware";
    std::vector<controller::FileDialogRequest> requests;
    mWindow->SetFileChooser([&](const controller::FileDialogRequest& request) {
        requests.push_back(request);
        return notes;
    });
    mDemo.amplifier->ClearReceived();
    bool seen = false;
    Play({{kUpdateWindowTitle, [&](toolkit::Window& window) {
               seen = true;
               EXPECT_EQ(window.ClassName(), "UpdateFwWnd");
               EXPECT_TRUE(window.Find("file_path_edt")->Text().empty());
               Press(window, "file_btn");
               EXPECT_EQ(window.Find("file_path_edt")->Text(), notes);
               Press(window, "update_btn");
               ASSERT_TRUE(WaitFor(
                   [&] { return Shown(window, "update_tips") == T("${load_fw_fail}"); }, 10000))
                   << Shown(window, "update_tips");
               for (const char* name : kFiveControls) {
                   EXPECT_TRUE(Enabled(window, name)) << name;
               }
               Press(window, "cancel_btn");
           }}});
    ChooseOption("option_item_firmware_upgrade");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(seen);
    ASSERT_EQ(requests.size(), 1u);
    ASSERT_EQ(requests[0].filters.size(), 1u);
    EXPECT_EQ(requests[0].filters[0].first, "VTA33004KM_MCU_UPG.bin,VTA33004KM_FLASH_UPG.bin");
    EXPECT_EQ(requests[0].filters[0].second, "") << "no pattern: every file is listed";
    EXPECT_FALSE(requests[0].save);
    EXPECT_TRUE(UpgradeFrames(*mDemo.amplifier).empty());
    // The refused start left the command queue disabled: the amplifier is
    // read again, and the main page sends again.
    ASSERT_TRUE(WaitFor([&] { return Synchronised(); }));
    EXPECT_TRUE(mWindow->Manager().Link().IsConnected());
}

TEST_F(FirmwareWindowsTest, TheManualWindowShowsTheProgressAsAPercentAndABar) {
    Start();
    Play({{kUpdateWindowTitle, [&](toolkit::Window& window) {
               platform::PostMessage(window.Handle(), controller::WM_UPG_PROGRESS, 42, 0);
               EXPECT_TRUE(WaitFor([&] { return Bar(window, "progress") == 42; }, 5000));
               EXPECT_EQ(Shown(window, "update_tips"), "42%");
               platform::PostMessage(window.Handle(), controller::WM_UPG_PROGRESS, 7, 0);
               EXPECT_TRUE(WaitFor([&] { return Bar(window, "progress") == 7; }, 5000));
               EXPECT_EQ(Shown(window, "update_tips"), "7%");
               Press(window, "closebtn");
           }}});
    ChooseOption("option_item_firmware_upgrade");
    ASSERT_TRUE(PlayedAll());
}

// An amplifier older than the program's firmware: the question names both
// versions; the window shows the two images written to the temporary folder.
TEST_F(FirmwareWindowsTest, TheForcedUpdateAsksWithBothVersionsAndShowsTheImages) {
    UseAmplifierWithFirmware(1, 20);
    std::string question;
    bool windowSeen = false;
    Play({{"msgwnd",
           [&](toolkit::Window& box) {
               question = Shown(box, "MessageText");
               Press(box, "confirm_btn");
           }},
          {kUpdateWindowTitle, [&](toolkit::Window& window) {
               windowSeen = true;
               EXPECT_EQ(window.ClassName(), "ForceUpdateWnd");
               const std::string mcu = (mDirectory / "tmp" / "MCU_UPG.bin").string();
               const std::string flash = (mDirectory / "tmp" / "FLASH_UPG.bin").string();
               EXPECT_EQ(Shown(window, "mcu_file"), mcu);
               EXPECT_EQ(Shown(window, "flash_file"), flash);
               EXPECT_TRUE(std::filesystem::is_regular_file(mcu));
               EXPECT_TRUE(std::filesystem::is_regular_file(flash));
               EXPECT_TRUE(window.Find("check_box_facotry")->Visible());
               EXPECT_TRUE(mWindow->Manager().IsForceUpdatePending());
               for (const char* name : {"update_btn", "cancel_btn", "closebtn"}) {
                   EXPECT_TRUE(Enabled(window, name)) << name;
               }
               Press(window, "cancel_btn");
           }}});
    Start();
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(windowSeen);
    EXPECT_NE(question.find("1.20"), std::string::npos) << question;
    EXPECT_NE(question.find("1.32"), std::string::npos) << question;
    EXPECT_FALSE(mWindow->Manager().IsForceUpdatePending());
    ASSERT_TRUE(WaitFor([&] { return Synchronised(); }));
    EXPECT_TRUE(UpgradeFrames(*mOldAmplifier).empty()) << "cancelled before anything was sent";
}

// ---- how they look ----

// Each window as it shows part way through an update and at its end.
TEST_F(FirmwareWindowsTest, EveryTextFitsAtEveryScaleInEveryLanguage) {
    Start();
    const std::string mcu = (mDirectory / "tmp" / "MCU_UPG.bin").string();
    const std::string flash = (mDirectory / "tmp" / "FLASH_UPG.bin").string();
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] :
             {std::pair<const char*, const char*>{"en", "0"}, {"cn_zh", "1"}, {"ru", "2"}}) {
            SwitchLanguage(language, stored);
            const std::string what =
                std::string(language).substr(0, 2) + "_" + std::to_string(scale);
            SetDisplayScale(scale);
            CForceUpdateWnd forced(mWindow->Manager());
            forced.Prepare(mWindow.get(), mcu, flash);
            CUpdateFwWnd manual(mWindow->Manager(), *mWindow);
            manual.Prepare(mWindow.get(), mcu);
            SetDisplayScale(100);
            EXPECT_EQ(forced.Scale(), scale);
            for (const char* state : {"during", "after"}) {
                const bool during = std::string(state) == "during";
                // The forced window shows what its messages would: the
                // microcontroller image done, the DSP image part way.
                char text[256];
                std::snprintf(text, sizeof text, T("${update_progress_flash}").c_str(), 42);
                forced.Find("update_tips")->SetText(during ? text : "${update_finish}");
                forced.Find("mcu_progress")->SetValue(100);
                forced.Find("flash_progress")->SetValue(during ? 42 : 100);
                forced.Find("check_box_facotry")->SetSelected(true, false);
                platform::PostMessage(manual.Handle(), controller::WM_UPG_PROGRESS,
                                      during ? 42 : 100, 0);
                if (!during) {
                    platform::PostMessage(manual.Handle(), controller::WM_UPG_OK, 0, 0);
                }
                for (toolkit::Window* window : {static_cast<toolkit::Window*>(&forced),
                                                static_cast<toolkit::Window*>(&manual)}) {
                    window->Show();
                    QApplication::processEvents();
                    testing::ExpectEverythingFits(*window, window->ClassName() + " " + what);
                    testing::SaveScreenshot(*window,
                                            window->ClassName() + "_" + state + "_" + what);
                }
            }
            EXPECT_EQ(Shown(manual, "update_tips"), T("${update_ok}"));
            forced.Close(0);
            manual.Close(0);
        }
    }
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui
