// The upgrade protocol step by step against a scripted device: the order,
// offsets and sizes of the blocks, the progress, and what each answer (or
// silence) does to the transfer.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/upgrade_commands.h"
#include "firmware/tests/image_fixture.h"
#include "firmware/tests/scripted_bootloader.h"
#include "firmware/upgrade_session.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace firmware_test {
namespace {

using device::CMD_FLASH;
using device::CMD_MCU;
using firmware::kUpgradeFailed;
using firmware::kUpgradeFinished;

// Short waits: the scripted device answers at once or never.
firmware::UpgradeTimings QuickTimings() {
    firmware::UpgradeTimings timings;
    timings.replyTimeoutMs = 100;
    timings.rebootWaitMs = 10;
    timings.reopenPauseMs = 10;
    return timings;
}

firmware::ImageRules OurRules() {
    firmware::ImageRules rules;
    rules.pc_model_id = kOurModel;
    rules.standInsAllowed = true;
    return rules;
}

class UpgradeStepsTest : public ImageFileTest {
protected:
    UpgradeStepsTest() {
        mBackend->Add(mAmplifier);
        mLink.OpenHIDDevice("");
        mDevice.AnswerAllReady();
    }

    // Steps until the end; the progress of every step that sent a block.
    std::vector<int> StepToTheEnd(firmware::UpgradeSession& session, uint8_t* last) {
        std::vector<int> progressAtBlocks;
        size_t blocksSeen = 0;
        for (int step = 0; step < 300; ++step) {
            const uint8_t result = session.UpgradeStep();
            if (result > 100) {
                *last = result;
                return progressAtBlocks;
            }
            const size_t blocks = mDevice.Blocks().size();
            if (blocks != blocksSeen) {
                blocksSeen = blocks;
                progressAtBlocks.push_back(result);
            }
        }
        ADD_FAILURE() << "the upgrade never ended";
        return progressAtBlocks;
    }

    size_t CountOf(uint8_t type, uint8_t sub) const {
        size_t count = 0;
        for (uint16_t command : mDevice.Commands()) {
            count += command == ScriptedBootloader::Key(type, sub) ? 1 : 0;
        }
        return count;
    }

    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> mAmplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"UPG-TEST");
    device::DeviceLink mLink{mBackend};
    ScriptedBootloader mDevice;
    std::atomic<bool> mUnplugSoon{false};
};

TEST_F(UpgradeStepsTest, AMicrocontrollerImageTravelsFromItsEndDownInAlignedBlocks) {
    const std::vector<uint8_t> file = Image(1, kOurModel, 100 + 14);
    const auto path = Write("MCU_UPG.BIN", file);
    mDevice.InstallOn(*mAmplifier);
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());

    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
    EXPECT_EQ(mDevice.StartHead(), std::vector<uint8_t>(file.begin() + 2, file.begin() + 6));
    uint8_t last = 0;
    const std::vector<int> progress = StepToTheEnd(session, &last);

    EXPECT_EQ(last, kUpgradeFinished);
    EXPECT_EQ(progress, (std::vector<int>{4, 36, 68, 100}));
    const std::vector<ReceivedBlock> blocks = mDevice.Blocks();
    ASSERT_EQ(blocks.size(), 4u);
    const std::vector<uint32_t> offsets{96, 64, 32, 0};
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].offset, offsets[i]);
        ASSERT_EQ(blocks[i].bytes.size(), 32u) << "every block carries 32 bytes";
    }
    // The first block holds the image's last 4 bytes, padded with zeros.
    const auto body = file.begin() + 6;
    EXPECT_EQ(std::vector<uint8_t>(blocks[0].bytes.begin(), blocks[0].bytes.begin() + 4),
              std::vector<uint8_t>(body + 96, body + 100));
    EXPECT_EQ(std::vector<uint8_t>(blocks[0].bytes.begin() + 4, blocks[0].bytes.end()),
              std::vector<uint8_t>(28, 0));
    EXPECT_EQ(blocks[3].bytes, std::vector<uint8_t>(body, body + 32));
    EXPECT_EQ(CountOf(CMD_MCU, device::MCU_UPG_FINISH), 1u);
    EXPECT_EQ(CountOf(CMD_MCU, 0x8F), 0u) << "the microcontroller restarts by itself";
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
}

TEST_F(UpgradeStepsTest, ADspFlashImageTravelsUpwardsInBlocksOfFifty) {
    const std::vector<uint8_t> file = Image(2, kOurModel, 120 + 14);
    const auto path = Write("FLASH_UPG.BIN", file);
    mDevice.InstallOn(*mAmplifier);
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());

    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
    uint8_t last = 0;
    const std::vector<int> progress = StepToTheEnd(session, &last);

    EXPECT_EQ(last, kUpgradeFinished);
    EXPECT_EQ(progress, (std::vector<int>{41, 83, 100}));
    const std::vector<ReceivedBlock> blocks = mDevice.Blocks();
    ASSERT_EQ(blocks.size(), 3u);
    const auto body = file.begin() + 6;
    const std::vector<std::pair<uint32_t, size_t>> expected{{0, 50}, {50, 50}, {100, 20}};
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].offset, expected[i].first);
        EXPECT_EQ(blocks[i].bytes,
                  std::vector<uint8_t>(body + expected[i].first,
                                       body + expected[i].first + expected[i].second));
    }
    EXPECT_EQ(CountOf(CMD_FLASH, device::FLASH_UPG_FINISH), 1u);
    EXPECT_EQ(CountOf(CMD_MCU, 0x8F), 1u) << "the DSP flash ends with MCU_Reboot_Ctrl";
}

TEST_F(UpgradeStepsTest, EachNotReadyAnswerBringsOneMoreReadAndNoNewBlock) {
    const auto path = Write("MCU_UPG.BIN", Image(1, kOurModel, 100 + 14));
    // More not-ready answers in a row than unanswered reads are allowed:
    // a busy device is waited for, a silent one is not.
    mDevice.notReadyBlocks = {1};
    mDevice.notReadyRepeats = 4;
    mDevice.InstallOn(*mAmplifier);
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);

    std::vector<size_t> blocksAfterStep;
    uint8_t result = 0;
    while ((result = session.UpgradeStep()) <= 100) {
        blocksAfterStep.push_back(mDevice.Blocks().size());
    }
    EXPECT_EQ(result, kUpgradeFinished);
    EXPECT_EQ(mDevice.Blocks().size(), 4u) << "the block is not sent again";
    // Each block takes three steps (send, turn, read); each not-ready
    // answer two more (turn, read), all without a new block.
    size_t stepsWithTwoBlocks = 0;
    for (size_t blocks : blocksAfterStep) {
        stepsWithTwoBlocks += blocks == 2 ? 1 : 0;
    }
    EXPECT_EQ(stepsWithTwoBlocks, 3u + 2u * 4u);
}

TEST_F(UpgradeStepsTest, TheFileNameDecidesTheTargetWhateverItsCase) {
    mDevice.InstallOn(*mAmplifier);
    {
        const auto path = Write("my_mcu_upg.bin", Image(1, kOurModel, 64 + 14));
        firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
        EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
        EXPECT_EQ(session.Target(), firmware::UpgradeTarget::UPG_DEVICE_MCU);
    }
    {
        const auto path = Write("Amp_Bl_Upg.Bin", Image(1, kOurModel, 64 + 14));
        firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
        EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
        EXPECT_EQ(session.Target(), firmware::UpgradeTarget::UPG_DEVICE_MCU_BL);
        EXPECT_EQ(CountOf(CMD_MCU, device::MCU_BL_ENTER), 1u);
        EXPECT_EQ(CountOf(CMD_MCU, device::MCU_BL_START), 1u);
    }
    const size_t commandsBefore = mDevice.Commands().size();
    const auto other = Write("firmware.bin", Image(1, kOurModel, 64 + 14));
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    EXPECT_EQ(session.UpgradeStart(other, false), firmware::UPG_FILE_INVALID);
    EXPECT_EQ(mDevice.Commands().size(), commandsBefore) << "nothing is sent for an unknown name";
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
}

TEST_F(UpgradeStepsTest, RefusedImagesSendNothingAndLeaveNoUpgradeUnderWay) {
    mDevice.InstallOn(*mAmplifier);
    std::vector<uint8_t> badChecksum = Image(1, kOurModel, 64 + 14);
    badChecksum.back() ^= 0x01;
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> files{
        {"MCU_UPG.BIN", Image(1, 93, 64 + 14)},       // another model
        {"MCU_UPG.BIN", badChecksum},                 // damaged
        {"MCU_UPG.BIN", Image(2, kOurModel, 78)},     // a DSP flash image
        {"FLASH_UPG.BIN", std::vector<uint8_t>{}},    // empty
        {"FLASH_UPG.BIN", std::vector<uint8_t>(13)},  // shorter than any image
        {"FLASH_UPG.BIN", Image(2, kOurModel, firmware::kMaxImageFileSize + 1)},
    };
    for (const auto& [name, bytes] : files) {
        const auto path = Write(name, bytes);
        firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
        EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_FILE_INVALID) << name;
        EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
    }
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    EXPECT_EQ(session.UpgradeStart(std::filesystem::current_path() / "missing_MCU_UPG.BIN", false),
              firmware::UPG_FILE_UNREADABLE);
    EXPECT_TRUE(mDevice.Commands().empty());
}

TEST_F(UpgradeStepsTest, WithoutADeviceNothingIsLoaded) {
    const auto path = Write("MCU_UPG.BIN", Image(1, kOurModel, 64 + 14));
    mLink.CloseHIDDevice(false);
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_CONNECT_FAIL);
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
}

TEST_F(UpgradeStepsTest, ARefusedEraseDoesNotStopAnUpgradeWhoseEnterIsAcknowledged) {
    mDevice.statusOf[ScriptedBootloader::Key(CMD_FLASH, device::FLASH_CHIP_ERASE)] =
        device::UPG_ACK_NOT_READY;
    mDevice.InstallOn(*mAmplifier);
    const auto path = Write("FLASH_UPG.BIN", Image(2, kOurModel, 60 + 14));
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    ASSERT_EQ(session.UpgradeStart(path, true), firmware::UPG_STARTED);
    uint8_t last = 0;
    StepToTheEnd(session, &last);
    EXPECT_EQ(last, kUpgradeFinished);
    EXPECT_EQ(CountOf(CMD_FLASH, device::FLASH_CHIP_ERASE), 1u);
}

TEST_F(UpgradeStepsTest, AnUnansweredEnterOrARefusedStartEndsBeforeAnyBlock) {
    const auto path = Write("FLASH_UPG.BIN", Image(2, kOurModel, 60 + 14));
    mDevice.statusOf.erase(ScriptedBootloader::Key(CMD_MCU, device::MCU_Enter_Upg_Mode));
    mDevice.InstallOn(*mAmplifier);
    {
        firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
        EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_NOT_ENTERED);
        EXPECT_EQ(CountOf(CMD_FLASH, device::FLASH_UPG_START), 0u)
            << "no further command after an unanswered enter";
    }
    mDevice.statusOf[ScriptedBootloader::Key(CMD_MCU, device::MCU_Enter_Upg_Mode)] =
        device::UPG_ACK_READY;
    mDevice.statusOf[ScriptedBootloader::Key(CMD_FLASH, device::FLASH_UPG_START)] =
        device::UPG_ACK_NOT_READY;
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_NOT_ENTERED);
    EXPECT_TRUE(mDevice.Blocks().empty());
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
}

TEST_F(UpgradeStepsTest, AnImageTheDeviceRefusesAtTheFinishIsAFailure) {
    mDevice.statusOf[ScriptedBootloader::Key(CMD_MCU, device::MCU_UPG_FINISH)] =
        device::UPG_ACK_NOT_READY;
    mDevice.InstallOn(*mAmplifier);
    const auto path = Write("MCU_UPG.BIN", Image(1, kOurModel, 64 + 14));
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
    uint8_t last = 0;
    StepToTheEnd(session, &last);
    EXPECT_EQ(last, kUpgradeFailed);
}

TEST_F(UpgradeStepsTest, ADeviceThatFallsSilentEndsTheUpgradeAfterTheBoundedReads) {
    mDevice.silentBlocks = {1, 2, 3, 4, 5};
    mDevice.InstallOn(*mAmplifier);
    const auto path = Write("FLASH_UPG.BIN", Image(2, kOurModel, 200 + 14));
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
    uint8_t last = 0;
    StepToTheEnd(session, &last);
    EXPECT_EQ(last, kUpgradeFailed);
    EXPECT_EQ(mDevice.Blocks().size(), 2u) << "the unanswered block is not followed by another";
    EXPECT_EQ(CountOf(CMD_MCU, 0x8F), 0u) << "a silent device is left in its upgrade program";
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
}

TEST_F(UpgradeStepsTest, APulledCableEndsTheTransferOnTheNextStep) {
    mDevice.InstallOn(*mAmplifier);
    const auto path = Write("MCU_UPG.BIN", Image(1, kOurModel, 320 + 14));
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
    while (mDevice.Blocks().size() < 3) {
        ASSERT_LE(session.UpgradeStep(), 100);
    }
    mAmplifier->Unplug();
    uint8_t result = 0;
    int steps = 0;
    while ((result = session.UpgradeStep()) <= 100) {
        ASSERT_LT(++steps, 4) << "the failure comes within the following steps";
    }
    EXPECT_EQ(result, kUpgradeFailed);
    EXPECT_EQ(mDevice.Blocks().size(), 3u);
}

TEST_F(UpgradeStepsTest, ADeviceThatDoesNotComeBackFromItsRestartEndsWithConnectFail) {
    // A handshake in normal operation: the enter command restarts the device.
    mAmplifier->SetHandler(
        CMD_MCU, 0x08, [](const virtual_device::HostFrame&, virtual_device::Replies& replies) {
            replies.Frame(CMD_MCU, 0x08, device::OP_UPDATE, {0x00, kOurModel, 1, 32});
        });
    ASSERT_TRUE(mLink.Hand_Connect());
    ASSERT_TRUE(mLink.IsMcuNormalMode());
    mDevice.InstallOn(*mAmplifier);
    mAmplifier->SetHandler(
        CMD_MCU, device::MCU_Enter_Upg_Mode,
        [this](const virtual_device::HostFrame&, virtual_device::Replies& replies) {
            replies.Frame(CMD_MCU, device::MCU_Enter_Upg_Mode, device::OP_ACK,
                          {device::UPG_ACK_READY});
            mUnplugSoon = true;
        });
    const auto path = Write("MCU_UPG.BIN", Image(1, kOurModel, 64 + 14));
    firmware::UpgradeTimings timings = QuickTimings();
    timings.rebootWaitMs = 1000;  // time enough for the cable to come out, however busy the machine
    firmware::UpgradeSession session(mLink, OurRules(), timings);
    // Once the acknowledged enter has made the link let go for the restart,
    // the cable comes out, and the amplifier never comes back.
    std::thread pull([this] {
        while (!mUnplugSoon.load() || mLink.IsConnected()) {
            std::this_thread::yield();
        }
        mAmplifier->Unplug();
    });
    EXPECT_EQ(session.UpgradeStart(path, false), firmware::UPG_CONNECT_FAIL);
    pull.join();
    EXPECT_FALSE(mLink.IsConnected());
    EXPECT_EQ(CountOf(CMD_MCU, device::MCU_UPG_START), 0u);
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
}

TEST_F(UpgradeStepsTest, AStandInImageGoesOnlyToTheVirtualAmplifier) {
    mDevice.InstallOn(*mAmplifier);
    firmware::ImageRules realAmplifier = OurRules();
    realAmplifier.standInsAllowed = false;
    const std::vector<uint8_t> standIn = Image(1, kOurModel, 64 + 14);
    {
        firmware::UpgradeSession session(mLink, realAmplifier, QuickTimings());
        EXPECT_EQ(session.UpgradeStart(Write("MCU_UPG.BIN", standIn), false),
                  firmware::UPG_FILE_INVALID);
        EXPECT_TRUE(mDevice.Commands().empty());
    }
    // The same bytes without the marker, as a maker's image: accepted.
    std::vector<uint8_t> real = standIn;
    real[6] = 'X';
    const size_t checksumAt = real.size() - 4;
    uint32_t sum = 0;
    for (size_t i = 0; i < checksumAt; ++i) {
        sum += real[i];
    }
    for (int i = 0; i < 4; ++i) {
        real[checksumAt + static_cast<size_t>(i)] = static_cast<uint8_t>(sum >> (24 - 8 * i));
    }
    firmware::UpgradeSession session(mLink, realAmplifier, QuickTimings());
    EXPECT_EQ(session.UpgradeStart(Write("MCU_UPG.BIN", real), false), firmware::UPG_STARTED);
}

TEST_F(UpgradeStepsTest, AStrayEnterAcknowledgementDuringTheBlocksChangesNothing) {
    mDevice.strayEnterAckAtBlock = 1;
    mDevice.InstallOn(*mAmplifier);
    const auto path = Write("MCU_UPG.BIN", Image(1, kOurModel, 100 + 14));
    firmware::UpgradeSession session(mLink, OurRules(), QuickTimings());
    ASSERT_EQ(session.UpgradeStart(path, false), firmware::UPG_STARTED);
    uint8_t last = 0;
    StepToTheEnd(session, &last);
    EXPECT_EQ(last, kUpgradeFinished);
    EXPECT_EQ(mDevice.Blocks().size(), 4u);
}

}  // namespace
}  // namespace firmware_test
