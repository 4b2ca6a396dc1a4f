// The upgrade program seen by the program's own device link: the link reads
// the acknowledgements, loses the amplifier while it reboots, finds it again
// in its upgrade program, and hears the versions an upgrade installed.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>

#include "device/tests/link_fixture.h"
#include "firmware/test_images.h"
#include "upgrade_host.h"

namespace {

using namespace upgrade_test;
using device::UPG_ACK_READY;
using firmware::UpgradeTarget;

class UpgradeOverTheLinkTest : public test_support::LinkFixture {
protected:
    static virtual_device::ProtocolOptions Quick() {
        virtual_device::ProtocolOptions options;
        options.upgradeRebootMs = 60;
        return options;
    }

    UpgradeOverTheLinkTest() : LinkFixture(Quick()) {
        mLink.SetUpgradeTap([this](const device::Frame& frame) {
            if (frame.operation() == device::OP_ACK && frame.dataLength() > 0) {
                mLastStatus = frame.data()[0];
            }
        });
    }

    // Sends a command and reads one report; the status the tap saw.
    int Ack(uint8_t type, uint8_t sub, const Bytes& data = {}) {
        mLastStatus = kNoAnswer;
        if (!mLink.SendCtrlCommand(type, sub, device::OP_SET, data.data(),
                                   static_cast<uint8_t>(data.size()))) {
            return kNoAnswer;
        }
        uint8_t buffer[64];
        mLink.ReadHIDData(buffer, 2000);
        return mLastStatus;
    }

    int Transfer(const TargetCommands& target, const firmware::FirmwareImage& image) {
        if (Ack(target.type, target.start, Bytes(image.head.begin(), image.head.end())) !=
            UPG_ACK_READY) {
            return kNoAnswer;
        }
        const auto blocks =
            target.type == device::CMD_FLASH ? FlashBlocks(image.body) : McuBlocks(image.body);
        for (const Bytes& block : blocks) {
            if (Ack(target.type, target.data, block) != UPG_ACK_READY) {
                return kNoAnswer;
            }
        }
        return Ack(target.type, target.finish);
    }

    // The link closed, the amplifier gone and back, the link open again.
    bool ReopenedAfterReboot() {
        mLink.CloseHIDDevice(false);
        if (!WaitFor([&] { return !mAmplifier->IsPlugged(); }) ||
            !WaitFor([&] { return mAmplifier->IsPlugged(); })) {
            return false;
        }
        mLink.OpenHIDDevice("");
        return mLink.IsConnected();
    }

    std::atomic<int> mLastStatus{kNoAnswer};
};

firmware::FirmwareImage ImageOf(UpgradeTarget target) {
    return firmware::ParseImageBytes(firmware::MakeTestImageFor(target)).value();
}

TEST_F(UpgradeOverTheLinkTest, FlashUpgradeRebootsTwiceAndEndsInNormalMode) {
    ASSERT_TRUE(mLink.Hand_Connect());
    EXPECT_TRUE(mLink.IsMcuNormalMode());
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_Enter_Upg_Mode), UPG_ACK_READY);
    ASSERT_TRUE(ReopenedAfterReboot());
    ASSERT_TRUE(mLink.Hand_Connect());
    EXPECT_FALSE(mLink.IsMcuNormalMode()) << "the link sees the upgrade program";
    EXPECT_EQ(Transfer(kFlashCommands, ImageOf(UpgradeTarget::UPG_DEVICE_FLASH)), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->Mcu().flashVersion, (std::array<uint8_t, 4>{1, 32, 0, 0}));
    EXPECT_TRUE(mLink.MCU_Reboot_Ctrl());
    ASSERT_TRUE(ReopenedAfterReboot());
    ASSERT_TRUE(mLink.Hand_Connect());
    EXPECT_TRUE(mLink.IsMcuNormalMode());
    EXPECT_EQ(mLink.ModelId(), 94);
}

TEST_F(UpgradeOverTheLinkTest, InstalledBootloaderVersionReachesTheLink) {
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_BL_ENTER), UPG_ACK_READY);
    EXPECT_EQ(Transfer(kBootloaderCommands, ImageOf(UpgradeTarget::UPG_DEVICE_MCU_BL)),
              UPG_ACK_READY);
    ASSERT_TRUE(mLink.SendCtrlCommand(device::CMD_MCU, 0x0C, device::OP_GET, nullptr, 0));
    uint8_t buffer[64];
    ASSERT_TRUE(mLink.ReadHIDData(buffer, 2000));
    EXPECT_EQ(mLink.BootloaderVersion(), 0x21);
    EXPECT_TRUE(mLink.IsConnected()) << "no reboot for the bootloader";
}

}  // namespace
