// The firmware updates end to end, through the running program against the
// virtual amplifier's upgrade program (short restart times): a manual
// update of each target, the forced update of an amplifier at 1.20 with and
// without the factory default, and a cable pulled in the middle of a
// transfer in either window followed by a second attempt that completes.
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "app/settings.h"
#include "device/mcu_subcommands.h"
#include "device/upgrade_commands.h"
#include "firmware/test_images.h"
#include "firmware_windows_fixture.h"
#include "ui/main/display_restart.h"

namespace ui {
namespace {

// The output report, counted from the enter command, on which a test pulls
// the cable: well inside the microcontroller image's 2797 blocks.
constexpr int kCutAtReport = 1000;

using testing::WaitFor;

constexpr int kTransferPatienceMs = 90000;

class FirmwareUpdateEndToEndTest : public FirmwareWindowsTest {
protected:
    // An amplifier at 1.20 whose update the user does by hand: the program
    // is told not to force it.
    void UseOlderAmplifierUpdatedByHand() {
        std::ofstream(app::kNoForceUpdateMarker) << "";
        UseAmplifierWithFirmware(1, 20);
    }
    // An image file of this name in the test's folder, from these bytes.
    std::string WriteImage(const std::string& name, std::span<const uint8_t> bytes) {
        const std::string path = (mDirectory / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::vector<uint8_t> Body(std::span<const uint8_t> file) {
        return {file.begin() + 6, file.end() - 8};
    }
    void ChooseFileInDialog(const std::string& path) {
        mWindow->SetFileChooser([path](const controller::FileDialogRequest&) { return path; });
    }
    // In the manual window: the file chosen and sent.
    static void ChooseAndSend(toolkit::Window& window) {
        Press(window, "file_btn");
        Press(window, "update_btn");
    }
    bool Tips(toolkit::Window& window, const char* key, int ms = kTransferPatienceMs) {
        return WaitFor([&] { return Shown(window, "update_tips") == T(key); }, ms);
    }
    // The DSP flash starts the amplifier received.
    static size_t FlashStarts(virtual_device::VirtualAmplifier& amplifier) {
        size_t starts = 0;
        for (const auto& report : amplifier.ReceivedReports()) {
            starts += report[4] == device::CMD_FLASH && report[5] == device::FLASH_UPG_START;
        }
        return starts;
    }
    // The factory defaults the amplifier was told to restore.
    static size_t FactoryDefaults(virtual_device::VirtualAmplifier& amplifier) {
        size_t count = 0;
        for (const auto& report : amplifier.ReceivedReports()) {
            count += report[4] == device::CMD_MCU && report[5] == device::MCU_FACTORY_DEFAULT;
        }
        return count;
    }
    void RunForcedUpdate(bool factory) {
        UseAmplifierWithFirmware(1, 20);
        bool finished = false;
        int mcuBar = -1;
        int flashBar = -1;
        Play({{"msgwnd", [&](toolkit::Window& box) { Press(box, "confirm_btn"); }},
              {kUpdateWindowTitle, [&](toolkit::Window& window) {
                   if (factory) {
                       Press(window, "check_box_facotry");
                   }
                   Press(window, "update_btn");
                   EXPECT_FALSE(Enabled(window, "closebtn")) << "no closing while it runs";
                   finished = Tips(window, "${update_finish}", kTransferPatienceMs * 2);
                   mcuBar = Bar(window, "mcu_progress");
                   flashBar = Bar(window, "flash_progress");
                   Press(window, "closebtn");
                   CloseIfOpen(window);
               }}});
        Start();
        ASSERT_TRUE(PlayedAll(kTransferPatienceMs * 3));
        EXPECT_TRUE(finished);
        EXPECT_EQ(mcuBar, 100);
        EXPECT_EQ(flashBar, 100);
        EXPECT_EQ(FactoryDefaults(*mOldAmplifier), factory ? 1u : 0u);
        ASSERT_TRUE(WaitFor([&] { return Synchronised(); }, 30000));
        EXPECT_EQ(mOldProtocol->FirmwareVersion(), (virtual_device::VersionNumber{1, 32}));
        EXPECT_EQ(mOldProtocol->UpgradeCount(), 2);
        EXPECT_EQ(mWindow->Manager().WorkingProfile().fwMainVersion, 1);
        EXPECT_EQ(mWindow->Manager().WorkingProfile().fwSlaveVersion, 32);
        ExpectATrimReaches(*mOldProtocol);
    }
    // A trim typed on the main page reaches the amplifier.
    void ExpectATrimReaches(virtual_device::AmplifierProtocol& protocol) {
        auto* edit = qobject_cast<QLineEdit*>(Control("edit_ch_volume_1").Widget());
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        edit->del();
        QTest::keyClicks(edit, "-9");
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_TRUE(
            WaitFor([&] { return protocol.State(0).channels[1].trimAttenuation == 9; }, 5000))
            << "the trim did not reach the amplifier";
    }
};

// Each target through the manual window: the amplifier ends with the image
// it was sent, the microcontroller's version, and the program connected.
TEST_F(FirmwareUpdateEndToEndTest, AManualUpdateOfEachTargetInstallsTheImage) {
    UseOlderAmplifierUpdatedByHand();
    Start();
    struct Case {
        firmware::UpgradeTarget target;
        const char* name;
        bool restarts;  // the amplifier restarts at the end
    };
    for (const Case& c :
         {Case{firmware::UpgradeTarget::UPG_DEVICE_MCU, "VTA33004KM_MCU_UPG.bin", true},
          Case{firmware::UpgradeTarget::UPG_DEVICE_MCU_BL, "VTA33004KM_BL_UPG.bin", false},
          Case{firmware::UpgradeTarget::UPG_DEVICE_FLASH, "VTA33004KM_FLASH_UPG.bin", true}}) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> image = firmware::MakeTestImageFor(c.target);
        ChooseFileInDialog(WriteImage(c.name, image));
        const int installedBefore = mOldProtocol->UpgradeCount();
        bool finished = false;
        Play({{kUpdateWindowTitle, [&](toolkit::Window& window) {
                   ChooseAndSend(window);
                   finished = Tips(window, "${update_ok}");
                   EXPECT_EQ(Bar(window, "progress"), 100);
                   // A restarting amplifier is connected again and the
                   // window closes; another one is closed by the user.
                   if (!c.restarts) {
                       Press(window, "closebtn");
                   }
                   if (!finished) {
                       CloseIfOpen(window);
                   }
               }}});
        ChooseOption("option_item_firmware_upgrade");
        ASSERT_TRUE(PlayedAll(kTransferPatienceMs));
        EXPECT_TRUE(finished);
        ASSERT_TRUE(WaitFor([&] { return Synchronised(); }, 30000));
        EXPECT_EQ(mOldProtocol->UpgradeCount(), installedBefore + 1);
        const std::vector<uint8_t> received = mOldProtocol->ReceivedImage();
        const std::vector<uint8_t> body = Body(image);
        ASSERT_GE(received.size(), body.size());
        EXPECT_TRUE(std::equal(body.begin(), body.end(), received.begin()));
        EXPECT_FALSE(mOldProtocol->InUpgradeProgram());
    }
    EXPECT_EQ(mOldProtocol->FirmwareVersion(), (virtual_device::VersionNumber{1, 32}));
    ExpectATrimReaches(*mOldProtocol);
}

// The monitors change in the middle of an update: the restart the new
// scale asks for waits until the update has ended and its window is
// closed, so the transfer is never cut short.
TEST_F(FirmwareUpdateEndToEndTest, ADisplayChangeDuringAnUpdateWaitsForItsEnd) {
    UseOlderAmplifierUpdatedByHand();
    Start();
    std::vector<std::string> events;
    mWindow->SetRestartStarter([&](std::string*) {
        events.push_back(mWindow->Manager().Link().IsUpgradeUnderWay() ? "start, mid-update"
                                                                       : "start");
        return true;
    });
    mWindow->SetOnClosed([&] { events.push_back("closed"); });
    const std::vector<uint8_t> image =
        firmware::MakeTestImageFor(firmware::UpgradeTarget::UPG_DEVICE_MCU_BL);
    ChooseFileInDialog(WriteImage("VTA33004KM_BL_UPG.bin", image));
    bool finished = false;
    bool waitedWhileOpen = false;
    Play({{kUpdateWindowTitle, [&](toolkit::Window& window) {
               ChooseAndSend(window);
               mWindow->OnDisplayChanged(125);
               finished = Tips(window, "${update_ok}");
               // Finished, but the window is still open: still waiting.
               QTest::qWait(3 * DisplayRestart::kBusyRecheckMs);
               waitedWhileOpen = events.empty();
               Press(window, "closebtn");
               CloseIfOpen(window);
           }}});
    ChooseOption("option_item_firmware_upgrade");
    ASSERT_TRUE(PlayedAll(kTransferPatienceMs));
    EXPECT_TRUE(finished);
    EXPECT_TRUE(waitedWhileOpen);
    EXPECT_EQ(mOldProtocol->UpgradeCount(), 1);
    ASSERT_TRUE(WaitFor([&] { return events.size() == 2; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"start", "closed"}));
}

// An amplifier at 1.20 is updated by force: the microcontroller image, the
// restart, the DSP image, the restart; with the box ticked the factory
// settings too. It ends at 1.32, read again, and the main page sends again.
TEST_F(FirmwareUpdateEndToEndTest, TheForcedUpdateBringsAnOlderAmplifierTo132) {
    RunForcedUpdate(false);
}

TEST_F(FirmwareUpdateEndToEndTest, TheForcedUpdateWithTheFactorySettingsEndsAt132Too) {
    RunForcedUpdate(true);
}

// The cable pulled in the middle of a manual transfer: the failure is told
// and the window is usable; plugged in again, the amplifier runs its upgrade
// program, the program says so and opens the window, and a second attempt
// completes.
TEST_F(FirmwareUpdateEndToEndTest, ACablePulledDuringAManualUpdateAndASecondAttempt) {
    UseOlderAmplifierUpdatedByHand();
    Start();
    const std::vector<uint8_t> image =
        firmware::MakeTestImageFor(firmware::UpgradeTarget::UPG_DEVICE_MCU);
    ChooseFileInDialog(WriteImage("VTA33004KM_MCU_UPG.bin", image));
    bool failed = false;
    bool usable = true;
    std::string notice;
    bool completed = false;
    Play({{kUpdateWindowTitle,
           [&](toolkit::Window& window) {
               // The cable comes out a third of the way through the image: the
               // enter and start commands, then a thousand blocks.
               mOldAmplifier->UnplugAtReport(kCutAtReport);
               ChooseAndSend(window);
               failed = Tips(window, "${update_fail}", 30000);
               for (const char* name : kFiveControls) {
                   usable = usable && Enabled(window, name);
               }
               mOldAmplifier->Plug();
           }},
          {"msgwnd",
           [&](toolkit::Window& box) {
               notice = Shown(box, "MessageText");
               Press(box, "confirm_btn");
           }},
          {kUpdateWindowTitle, [&](toolkit::Window& window) {
               ChooseAndSend(window);
               completed = Tips(window, "${update_ok}");
               if (!completed) {
                   CloseIfOpen(window);
               }
           }}});
    ChooseOption("option_item_firmware_upgrade");
    ASSERT_TRUE(PlayedAll(kTransferPatienceMs * 2));
    EXPECT_TRUE(failed);
    EXPECT_TRUE(usable) << "the window's controls after the failure";
    EXPECT_EQ(notice, T("${device_status_unnormal}"));
    EXPECT_TRUE(completed);
    ASSERT_TRUE(WaitFor([&] { return Synchronised(); }, 30000));
    EXPECT_EQ(mOldProtocol->FirmwareVersion(), (virtual_device::VersionNumber{1, 32}));
    EXPECT_FALSE(mOldProtocol->InUpgradeProgram());
}

// A cut transfer in the forced window is not followed by the next image:
// once the amplifier is back the buttons come back with the failure still
// shown, and the same image goes again.
TEST_F(FirmwareUpdateEndToEndTest, ACutForcedTransferLetsTheUserSendTheSameImageAgain) {
    UseAmplifierWithFirmware(1, 20);
    bool failed = false;
    bool reenabled = false;
    bool failureKept = false;
    size_t flashStartsAfterTheCut = 99;
    bool finished = false;
    Play({{"msgwnd", [&](toolkit::Window& box) { Press(box, "confirm_btn"); }},
          {kUpdateWindowTitle, [&](toolkit::Window& window) {
               // The cable comes out a third of the way through the image: the
               // enter and start commands, then a thousand blocks.
               mOldAmplifier->UnplugAtReport(kCutAtReport);
               Press(window, "update_btn");
               failed = Tips(window, "${update_fail}", 30000);
               mOldAmplifier->Plug();
               reenabled = WaitFor([&] { return Enabled(window, "update_btn"); }, 30000);
               Idle();
               failureKept = Shown(window, "update_tips") == T("${update_fail}");
               flashStartsAfterTheCut = FlashStarts(*mOldAmplifier);
               Press(window, "update_btn");
               finished = Tips(window, "${update_finish}", kTransferPatienceMs * 2);
               Press(window, "closebtn");
               CloseIfOpen(window);
           }}});
    Start();
    ASSERT_TRUE(PlayedAll(kTransferPatienceMs * 3));
    EXPECT_TRUE(failed);
    EXPECT_TRUE(reenabled);
    EXPECT_TRUE(failureKept);
    EXPECT_EQ(flashStartsAfterTheCut, 0u) << "the DSP image went after a failed one";
    EXPECT_TRUE(finished);
    ASSERT_TRUE(WaitFor([&] { return Synchronised(); }, 30000));
    EXPECT_EQ(mOldProtocol->FirmwareVersion(), (virtual_device::VersionNumber{1, 32}));
}

// The amplifier pulled during the forced update and not put back: the
// buttons wait for it, but the system's close still ends the window.
TEST_F(FirmwareUpdateEndToEndTest, AForcedWindowWaitingForAnAbsentAmplifierCanBeClosed) {
    UseAmplifierWithFirmware(1, 20);
    bool failed = false;
    bool buttonsWait = false;
    Play({{"msgwnd", [&](toolkit::Window& box) { Press(box, "confirm_btn"); }},
          {kUpdateWindowTitle, [&](toolkit::Window& window) {
               // The cable comes out a third of the way through the image: the
               // enter and start commands, then a thousand blocks.
               mOldAmplifier->UnplugAtReport(kCutAtReport);
               Press(window, "update_btn");
               failed = Tips(window, "${update_fail}", 30000);
               buttonsWait = !Enabled(window, "closebtn") && !Enabled(window, "update_btn");
               window.Widget()->close();
           }}});
    Start();
    ASSERT_TRUE(PlayedAll(kTransferPatienceMs));
    EXPECT_TRUE(failed);
    EXPECT_TRUE(buttonsWait) << "the buttons wait for the amplifier";
    EXPECT_FALSE(mWindow->Manager().IsForceUpdatePending());
}

}  // namespace
}  // namespace ui
