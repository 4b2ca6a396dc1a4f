// The forced firmware update as the controller runs it, against the virtual
// amplifier: who is asked and when, the built-in images written to the
// temporary folder, a failed preparation, the stand-in rule for a real
// amplifier, the connection handed to the open window, the device read
// again afterwards, and the connect and unplug events an upgrade ignores.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/settings.h"
#include "controller/controller_messages.h"
#include "controller_fixture.h"
#include "device/mcu_subcommands.h"
#include "device/packet.h"
#include "device/upgrade_commands.h"
#include "firmware/builtin_images.h"

namespace {

using test_support::ControllerTest;

// The virtual amplifiers as the system would list real ones: the same
// devices under paths that do not say "virtual:".
class RealLookingBackend final : public device::HidBackend {
public:
    explicit RealLookingBackend(std::shared_ptr<device::HidBackend> inner)
        : mInner(std::move(inner)) {}
    int Init() override { return mInner->Init(); }
    std::vector<device::HidDeviceInfo> Enumerate(uint16_t vendorId, uint16_t productId) override {
        std::vector<device::HidDeviceInfo> devices = mInner->Enumerate(vendorId, productId);
        for (device::HidDeviceInfo& info : devices) {
            info.path = kPrefix + info.path;
        }
        return devices;
    }
    std::unique_ptr<device::HidDevice> Open(uint16_t vendorId, uint16_t productId) override {
        return mInner->Open(vendorId, productId);
    }
    std::unique_ptr<device::HidDevice> OpenPath(const std::string& path) override {
        if (path.rfind(kPrefix, 0) != 0) {
            return nullptr;
        }
        return mInner->OpenPath(path.substr(std::string(kPrefix).size()));
    }

private:
    static constexpr const char* kPrefix = "\\\\?\\hid#vid_0483&pid_5750#";
    std::shared_ptr<device::HidBackend> mInner;
};

std::vector<uint8_t> FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> BuiltIn(firmware::UpgradeTarget target) {
    const auto image = firmware::BuiltInImage(target);
    return {image.begin(), image.end()};
}

class ForcedUpdateTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        mTemp = mDir.path() / "tmp";
        std::filesystem::create_directories(mTemp);
        const char* old = std::getenv("TMPDIR");
        mOldTemp = old != nullptr ? old : "";
        mHadTemp = old != nullptr;
        ::setenv("TMPDIR", mTemp.c_str(), 1);
    }
    void TearDown() override {
        ControllerTest::TearDown();
        if (mHadTemp) {
            ::setenv("TMPDIR", mOldTemp.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }

    // Puts an amplifier with this firmware in place of the demo one.
    std::shared_ptr<virtual_device::VirtualAmplifier> PlugOlderAmplifier(int major, int minor) {
        virtual_device::ProtocolOptions options;
        options.masterVersion = major;
        options.slaveVersion = minor;
        auto amplifier = std::make_shared<virtual_device::VirtualAmplifier>(L"OLD");
        mOldProtocol = virtual_device::AmplifierProtocol::InstallOn(amplifier, options);
        mDemo.amplifier->Unplug();
        mBackend->Add(amplifier);
        return amplifier;
    }
    std::string Question(int major, int minor) const {
        return "${tips}|device " + std::to_string(major) + "." + std::to_string(minor) +
               " older than 1.32, update?";
    }
    bool HasMessage(const std::string& text) const {
        for (const std::string& message : mUi.mMessages) {
            if (message == text) {
                return true;
            }
        }
        return false;
    }

    void ExpectReadAgain(int result) {
        PlugOlderAmplifier(1, 20);
        int shownBefore = 0;
        mUi.mInForceUpdateWindow = [&](const std::string&, const std::string&) {
            // The window's transfers leave the queue disabled.
            mManager->Link().DisableCmdCtrl();
            shownBefore = mUi.mLoadingShown;
            return result;
        };
        ASSERT_TRUE(ConnectAndSync());
        ASSERT_TRUE(Pump([&] { return !mUi.mForceUpdateWindows.empty(); }));
        ASSERT_TRUE(Pump([&] {
            return mUi.mLoadingShown > shownBefore && mManager->IsSynchronised() &&
                   mManager->Link().IsCmdCtrlEnabled();
        }));
        Settle();
        EXPECT_EQ(mUi.mAsked.size(), 1u) << "asked again right after the window";
        EXPECT_EQ(mUi.mForceUpdateWindows.size(), 1u);
        mPage.Get("edit_ch_volume_2").SetText("-7");
        mManager->SetChVolumeEdit(2);
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_EQ(mOldProtocol->State(0).channels[2].trimAttenuation, 7);
    }

    std::filesystem::path mTemp;
    std::string mOldTemp;
    bool mHadTemp = false;
    std::shared_ptr<virtual_device::AmplifierProtocol> mOldProtocol;
};

TEST_F(ForcedUpdateTest, TheMarkerFileSuppressesItEntirely) {
    PlugOlderAmplifier(1, 20);
    std::ofstream(app::kNoForceUpdateMarker) << "";
    ASSERT_TRUE(ConnectAndSync());
    Settle();
    mManager->StartForceUpdate();  // even when asked for
    EXPECT_TRUE(mUi.mAsked.empty());
    EXPECT_TRUE(mUi.mForceUpdateWindows.empty());
    EXPECT_FALSE(std::filesystem::exists(mTemp / "MCU_UPG.bin"));
}

TEST_F(ForcedUpdateTest, ADeclinedQuestionChangesNothing) {
    PlugOlderAmplifier(1, 20);
    mUi.mAnswers = {false};
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_TRUE(Pump([&] { return !mUi.mAsked.empty(); }));
    Settle();
    EXPECT_EQ(mUi.mAsked, std::vector<std::string>{Question(1, 20)});
    EXPECT_TRUE(mUi.mForceUpdateWindows.empty());
    EXPECT_FALSE(std::filesystem::exists(mTemp / "MCU_UPG.bin"));
    EXPECT_FALSE(std::filesystem::exists(mTemp / "FLASH_UPG.bin"));
    EXPECT_TRUE(mManager->IsSynchronised());
    EXPECT_TRUE(mManager->Link().IsCmdCtrlEnabled());
}

TEST_F(ForcedUpdateTest, AnAcceptedQuestionWritesTheImagesAndOpensTheWindow) {
    PlugOlderAmplifier(1, 20);
    bool pendingInside = false;
    mUi.mInForceUpdateWindow = [&](const std::string& mcu, const std::string& flash) {
        pendingInside = mManager->IsForceUpdatePending();
        EXPECT_EQ(FileBytes(mcu), BuiltIn(firmware::UpgradeTarget::UPG_DEVICE_MCU));
        EXPECT_EQ(FileBytes(flash), BuiltIn(firmware::UpgradeTarget::UPG_DEVICE_FLASH));
        return 0;
    };
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_TRUE(Pump([&] { return !mUi.mForceUpdateWindows.empty(); }));
    EXPECT_EQ(mUi.mForceUpdateWindows[0].first, (mTemp / "MCU_UPG.bin").string());
    EXPECT_EQ(mUi.mForceUpdateWindows[0].second, (mTemp / "FLASH_UPG.bin").string());
    EXPECT_TRUE(pendingInside);
    EXPECT_FALSE(mManager->IsForceUpdatePending());
}

// Whatever the window hands back, the device that is still there is read
// again, which enables the command queue; the user is not asked twice, and
// an edit reaches the amplifier.
TEST_F(ForcedUpdateTest, TheDeviceIsReadAgainAfterTheWindowReturnsNought) {
    ExpectReadAgain(0);
}

TEST_F(ForcedUpdateTest, TheDeviceIsReadAgainAfterTheWindowReturnsOne) {
    ExpectReadAgain(1);
}

TEST_F(ForcedUpdateTest, AFailedPreparationTellsTheCodeAndLeavesNoFile) {
    PlugOlderAmplifier(1, 20);
    // The flash image's file cannot be created: a folder has its name.
    std::filesystem::create_directories(mTemp / "FLASH_UPG.bin");
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_TRUE(Pump([&] { return HasMessage("${tips}|File prepare error. error code 11"); }));
    EXPECT_FALSE(std::filesystem::exists(mTemp / "MCU_UPG.bin"));
    EXPECT_FALSE(std::filesystem::is_regular_file(mTemp / "FLASH_UPG.bin"));
    EXPECT_TRUE(mUi.mForceUpdateWindows.empty());
    EXPECT_FALSE(mManager->IsForceUpdatePending());
}

// This build carries stand-in images: an amplifier that is not the virtual
// one is never offered them.
TEST_F(ForcedUpdateTest, ARealAmplifierIsToldInsteadOfGivenStandIns) {
    ASSERT_FALSE(firmware::BuiltInImagesAreReal());
    mManager.reset();
    mManager = std::make_unique<controller::EqualizerManager>(
        std::make_shared<RealLookingBackend>(mBackend));
    mManager->Init(mPage, mUi);
    PlugOlderAmplifier(1, 20);
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_TRUE(Pump(
        [&] { return HasMessage("${tips}|device 1.20 older than 1.32, no firmware carried"); }));
    Settle();
    EXPECT_TRUE(mUi.mAsked.empty());
    EXPECT_TRUE(mUi.mForceUpdateWindows.empty());
    EXPECT_FALSE(std::filesystem::exists(mTemp / "MCU_UPG.bin"));
    EXPECT_TRUE(mManager->IsSynchronised());
}

// While the window is open a new connection goes to it: the manual window
// is closed, the button looks connected, and nothing is read.
TEST_F(ForcedUpdateTest, AConnectionDuringTheUpdateIsHandedToTheWindow) {
    auto amplifier = PlugOlderAmplifier(1, 20);
    bool connectedLook = false;
    mUi.mInForceUpdateWindow = [&](const std::string&, const std::string&) {
        amplifier->Unplug();
        mManager->DevicePlugOut("");
        amplifier->Plug();
        mManager->DevicePlugin("");
        connectedLook = mManager->Look() == controller::ConnectLook::kConnected;
        return 0;
    };
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_TRUE(Pump([&] { return !mUi.mForceUpdateWindows.empty(); }));
    EXPECT_EQ(mUi.mForceUpdateResumes, 1);
    EXPECT_TRUE(connectedLook);
    EXPECT_GE(mUi.mUpdateFwCloses, 1);
    EXPECT_FALSE(HasMessage("${tips}|OLD was unplugged")) << "no unplug notice during the update";
}

// While the device is being put into its upgrade program its coming and
// going is the update's, not the user's.
TEST_F(ForcedUpdateTest, ConnectAndPlugEventsAreIgnoredWhileAnUpgradeIsUnderWay) {
    ASSERT_TRUE(ConnectAndSync());
    device::DeviceLink& link = mManager->Link();
    for (uint8_t status : {device::UPG_ENTER, device::UPG_START}) {
        link.SetUpgradeStatus(status);
        mManager->ConnectDevice(true);  // would disconnect
        mManager->DisconnectDevice();
        mManager->DevicePlugOut(mPath);
        mManager->DevicePlugin(mPath);
        mManager->OnSyncDone();
        EXPECT_TRUE(link.IsConnected());
        EXPECT_TRUE(mManager->IsSynchronised());
    }
    link.SetUpgradeStatus(device::UPG_IDLE);
    mManager->DisconnectDevice();
    EXPECT_FALSE(link.IsConnected());
    // Nor is a device opened meanwhile.
    link.SetUpgradeStatus(device::UPG_START);
    mManager->ConnectDevice(true);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_TRUE(mUi.mMessages.empty()) << "nothing to tell: the update reopens the device";
    link.SetUpgradeStatus(device::UPG_IDLE);
}

// A removal passed over during an upgrade leaves the link holding a device
// that left: plugging it in again connects it afresh.
TEST_F(ForcedUpdateTest, ADeviceThatLeftDuringAnUpgradeIsConnectedAgainWhenPluggedIn) {
    ASSERT_TRUE(ConnectAndSync());
    device::DeviceLink& link = mManager->Link();
    link.SetUpgradeStatus(device::UPG_START);
    mDemo.amplifier->Unplug();
    mManager->DevicePlugOut(mPath);
    link.SetUpgradeStatus(device::UPG_IDLE);
    ASSERT_TRUE(link.IsConnected());
    mDemo.amplifier->Plug();
    const int hiddenBefore = mUi.mLoadingHidden;
    mManager->DevicePlugin(mPath);
    ASSERT_TRUE(Pump([&] {
        return mManager->IsSynchronised() && mUi.mLoadingHidden > hiddenBefore &&
               !link.IsDeviceGone();
    }));
    EXPECT_TRUE(link.IsCmdCtrlEnabled());
}

// The manual window keeps the unplug notice back: the device restarts by
// itself at the end of an update.
TEST_F(ForcedUpdateTest, TheManualWindowSuppressesTheUnplugNotice) {
    ASSERT_TRUE(ConnectAndSync());
    mUi.mInUpdateFwWindow = [&] {
        mDemo.amplifier->Unplug();
        mManager->DevicePlugOut(mPath);
    };
    mManager->OpenFirmwareUpdate();
    Settle();
    EXPECT_FALSE(mManager->Link().IsConnected());
    EXPECT_FALSE(HasMessage("${tips}|AMP-A was unplugged"));

    mDemo.amplifier->Plug();
    mManager->DevicePlugin(mPath);
    ASSERT_TRUE(Pump([&] { return mManager->IsSynchronised(); }));
    mDemo.amplifier->Unplug();
    mManager->DevicePlugOut(mPath);
    ASSERT_TRUE(Pump([&] { return HasMessage("${tips}|AMP-A was unplugged"); }));
}

}  // namespace
