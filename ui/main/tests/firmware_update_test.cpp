// The firmware update windows through the running program: the manual
// window from the option menu with its file dialog, a refused file, its
// progress; the forced update's question with both versions and its window
// with the images the program carries; the device read again afterwards;
// and every text fitting at every scale in every language.
#include <cstdio>
#include <fstream>

#include "firmware_windows_fixture.h"
#include "ui/dialogs/force_update_window.h"
#include "ui/dialogs/update_fw_window.h"

namespace ui {
namespace {

using testing::WaitFor;

// Update before any file was chosen: the window says so and sends nothing.
TEST_F(FirmwareWindowsTest, TheManualWindowAsksForAFileBeforeItUpdates) {
    Start();
    mDemo.amplifier->ClearReceived();
    bool seen = false;
    Play({{kUpdateWindowTitle, [&](toolkit::Window& window) {
               seen = true;
               Press(window, "update_btn");
               EXPECT_EQ(Shown(window, "update_tips"), T("${update_no_file}"));
               for (const char* name : kFiveControls) {
                   EXPECT_TRUE(Enabled(window, name)) << name;
               }
               Press(window, "cancel_btn");
               CloseIfOpen(window);
           }}});
    ChooseOption("option_item_firmware_upgrade");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(seen);
    EXPECT_TRUE(UpgradeFrames(*mDemo.amplifier).empty());
    EXPECT_TRUE(mWindow->Manager().Link().IsCmdCtrlEnabled()) << "nothing started, nothing to undo";
}

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
               CloseIfOpen(window);
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
               CloseIfOpen(window);
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
               CloseIfOpen(window);
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
        for (const auto& [language, stored] : testing::kEveryLanguage) {
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
                // While a transfer runs, its buttons are disabled.
                for (const char* name : {"update_btn", "cancel_btn", "closebtn"}) {
                    forced.Find(name)->SetEnabled(!during);
                }
                for (const char* name : kFiveControls) {
                    manual.Find(name)->SetEnabled(!during);
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
