// The firmware update windows through the running program, in a folder of
// the test's own that is also its temporary folder, optionally against an
// amplifier with older firmware whose restarts take a moment only.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "controller/controller_messages.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "modal_script.h"

namespace ui {

constexpr const char* kUpdateWindowTitle = "updatefwwnd";

class FirmwareWindowsTest : public testing::MainWindowTest {
protected:
    static constexpr int kRestartMs = 200;
    static constexpr int kWatchdogMs = 240000;
    static constexpr int kWatchdogRepeatMs = 2000;
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
        // A window that a failed step left open would hold the test in its
        // modal loop for good: end it, and every one after it, as a failure.
        QObject::connect(&mWatchdog, &QTimer::timeout, [this] {
            if (testing::TopModalWindow() == nullptr) {
                return;
            }
            ADD_FAILURE() << "a modal window outlived the test's patience";
            while (toolkit::Window* open = testing::TopModalWindow()) {
                open->Close(0);
                QApplication::processEvents();
            }
            mWatchdog.start(kWatchdogRepeatMs);
        });
        mWatchdog.start(kWatchdogMs);
    }
    void TearDown() override {
        mWatchdog.stop();
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
        // Restarts of a moment, so that a whole update takes seconds.
        options.upgradeRebootMs = kRestartMs;
        options.rebootMs = kRestartMs;
        mOldAmplifier = std::make_shared<virtual_device::VirtualAmplifier>(L"AMP-OLD");
        mOldProtocol = virtual_device::AmplifierProtocol::InstallOn(mOldAmplifier, options);
        mDemo.amplifier->SetPlugListener(nullptr);
        mDemo.amplifier->Unplug();
        mOldPath = mBackend->Add(mOldAmplifier);
        AnnounceVirtualPlugging(*mOldAmplifier, mOldPath, mWindow->Handle());
        firmware::UpgradeTimings timings;
        timings.rebootWaitMs = kRestartMs * 2;
        mWindow->Manager().SetUpgradeTimings(timings);
    }

    void Start() {
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
    }
    static void CloseIfOpen(toolkit::Window& window) {
        if (window.IsRunningModal()) {
            window.Close(0);
        }
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
    QTimer mWatchdog;
};

constexpr const char* kFiveControls[] = {"closebtn", "cancel_btn", "file_btn", "update_btn",
                                         "file_path_edt"};

}  // namespace ui
