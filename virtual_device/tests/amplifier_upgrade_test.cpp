// The amplifier's upgrade program from the wire: entering it reboots the
// amplifier, whole transfers of the stand-in images install their versions,
// a block out of its turn or a damaged body is refused, a cut transfer can be
// done again, and the not-ready and refusal faults.
#include <gtest/gtest.h>

#include <algorithm>

#include "firmware/test_images.h"
#include "upgrade_host.h"
#include "virtual_device/demo_amplifier.h"

namespace {

using namespace upgrade_test;
using device::UPG_ACK_NOT_READY;
using device::UPG_ACK_READY;
using firmware::UpgradeTarget;
using virtual_device::VersionNumber;

firmware::FirmwareImage ImageOf(const std::vector<uint8_t>& file) {
    auto image = firmware::ParseImageBytes(file);
    EXPECT_TRUE(image.has_value());
    return image.value_or(firmware::FirmwareImage{});
}

// A microcontroller stand-in that installs 1.40 (not the amplifier's 1.32).
firmware::FirmwareImage Mcu140() {
    return ImageOf(firmware::MakeTestImage(
        {firmware::FW_PART_MCU, 94, firmware::kMcuImageFileSize, 11, 1, 40}));
}

firmware::FirmwareImage FlashImage(uint8_t major, uint8_t minor, size_t size = 4021) {
    return ImageOf(firmware::MakeTestImage({firmware::FW_PART_FLASH, 94, size, 12, major, minor}));
}

class AmplifierUpgradeTest : public UpgradeHostTest {};

TEST_F(AmplifierUpgradeTest, EnteringRebootsIntoTheUpgradeProgram) {
    EXPECT_EQ(Handshake(), Bytes({0x00, 94, 1, 32}));
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_Enter_Upg_Mode), UPG_ACK_READY);
    ASSERT_TRUE(WaitFor([&] { return !mAmplifier->IsPlugged(); }));
    EXPECT_FALSE(Send(device::CMD_MCU, 0x08, device::OP_GET)) << "the old handle died";
    ASSERT_TRUE(WaitFor([&] { return mAmplifier->IsPlugged(); }));
    Reopen();
    ASSERT_NE(mDevice, nullptr);
    EXPECT_TRUE(mProtocol->InUpgradeProgram());
    ASSERT_TRUE(Handshake().has_value());
    EXPECT_EQ(Handshake()->at(0), 0xF0);
    // Entering again inside the upgrade program only acknowledges.
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_Enter_Upg_Mode), UPG_ACK_READY);
    EXPECT_FALSE(WaitFor([&] { return !mAmplifier->IsPlugged(); }, std::chrono::milliseconds(200)));
}

TEST_F(AmplifierUpgradeTest, UpgradeProgramAnswersNoDspSceneOrKaraokeCommand) {
    mProtocol->SetNormalMode(false);
    EXPECT_TRUE(Send(device::CMD_DSP, 0x02, device::OP_GET, {0}));
    EXPECT_TRUE(Send(device::CMD_DSP, 0x04, device::OP_SET, {1}));
    EXPECT_TRUE(Send(device::CMD_FLASH, 0x0F, device::OP_GET));
    EXPECT_TRUE(Send(device::CMD_FLASH, 0x08, device::OP_SET, {1, 0}));
    EXPECT_TRUE(Send(device::CMD_KTV, 0x01, device::OP_GET));
    EXPECT_FALSE(Read(100).has_value());
    EXPECT_EQ(mProtocol->State(0).mute, 0) << "nothing was taken";
    EXPECT_EQ(mProtocol->ValidMask(), 0);
    mProtocol->SetNormalMode(true);
    EXPECT_EQ(Ack(device::CMD_DSP, 0x04, {1}), UPG_ACK_READY);
}

TEST_F(AmplifierUpgradeTest, WholeMicrocontrollerImageInstallsItsVersionAndReboots) {
    mProtocol->SetNormalMode(false);
    const firmware::FirmwareImage image = Mcu140();
    EXPECT_EQ(Transfer(kMcuCommands, image), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->FirmwareVersion(), (VersionNumber{1, 40}));
    EXPECT_EQ(mProtocol->UpgradeCount(), 1);
    // What arrived is the body, then the zeros the first block was padded with.
    const Bytes received = mProtocol->ReceivedImage();
    ASSERT_EQ(received.size(), (image.body.size() + 31) / 32 * 32);
    EXPECT_TRUE(std::equal(image.body.begin(), image.body.end(), received.begin()));
    EXPECT_TRUE(std::all_of(received.begin() + static_cast<long>(image.body.size()), received.end(),
                            [](uint8_t byte) { return byte == 0; }));
    ASSERT_TRUE(RebootSeen());
    EXPECT_FALSE(mProtocol->InUpgradeProgram());
    EXPECT_EQ(Handshake(), Bytes({0x00, 94, 1, 40}));
}

TEST_F(AmplifierUpgradeTest, FlashImageWaitsForTheRebootControl) {
    // The flash target enters as the microcontroller's does: a reboot.
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_CHIP_ERASE), UPG_ACK_READY);
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_Enter_Upg_Mode), UPG_ACK_READY);
    ASSERT_TRUE(RebootSeen());
    const firmware::FirmwareImage image = FlashImage(1, 33);
    EXPECT_EQ(Transfer(kFlashCommands, image), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->ReceivedImage(), image.body);
    EXPECT_EQ(mProtocol->Mcu().flashVersion, (std::array<uint8_t, 4>{1, 33, 0, 0}));
    EXPECT_EQ(mProtocol->FirmwareVersion(), (VersionNumber{1, 32})) << "the flash only";
    EXPECT_TRUE(mProtocol->InUpgradeProgram()) << "until the host asks for the reboot";
    EXPECT_FALSE(WaitFor([&] { return !mAmplifier->IsPlugged(); }, std::chrono::milliseconds(200)));
    EXPECT_EQ(Ack(device::CMD_MCU, 0x8F), UPG_ACK_READY);
    ASSERT_TRUE(RebootSeen());
    EXPECT_FALSE(mProtocol->InUpgradeProgram());
    ASSERT_TRUE(Send(device::CMD_MCU, 0x0B, device::OP_GET));
    auto report = Read(1000);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->data, Bytes({1, 33, 0, 0}));
}

TEST_F(AmplifierUpgradeTest, RebootControlInNormalModeReboots) {
    EXPECT_EQ(Ack(device::CMD_MCU, 0x8F), UPG_ACK_READY);
    ASSERT_TRUE(RebootSeen());
    EXPECT_EQ(Handshake(), Bytes({0x00, 94, 1, 32}));
}

TEST_F(AmplifierUpgradeTest, RunningApplicationUpdatesTheBootloaderWithoutReboot) {
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_BL_ENTER), UPG_ACK_READY);
    const auto image = ImageOf(firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU_BL));
    EXPECT_EQ(Transfer(kBootloaderCommands, image), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->BootloaderVersion(), (VersionNumber{2, 1}));
    ASSERT_TRUE(Send(device::CMD_MCU, 0x0C, device::OP_GET));
    auto report = Read(1000);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->data, Bytes({0x21}));
    EXPECT_FALSE(WaitFor([&] { return !mAmplifier->IsPlugged(); }, std::chrono::milliseconds(200)));
    EXPECT_EQ(Handshake(), Bytes({0x00, 94, 1, 32}));
}

TEST_F(AmplifierUpgradeTest, NormalModeTakesNoMicrocontrollerOrFlashImage) {
    const Bytes head(4, 0);
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_START, head), UPG_ACK_NOT_READY);
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_START, head), UPG_ACK_NOT_READY);
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_DATA, Bytes(36, 0)), UPG_ACK_NOT_READY);
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_FINISH), UPG_ACK_NOT_READY);
    EXPECT_EQ(mProtocol->UpgradeCount(), 0);
}

TEST_F(AmplifierUpgradeTest, BlockOutOfItsTurnBreaksTheTransfer) {
    mProtocol->SetNormalMode(false);
    const firmware::FirmwareImage image = Mcu140();
    const Bytes head(image.head.begin(), image.head.end());
    std::vector<Bytes> blocks = McuBlocks(image.body);
    std::swap(blocks[5], blocks[6]);
    ASSERT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_START, head), UPG_ACK_READY);
    EXPECT_EQ(SendBlocks(kMcuCommands, std::vector<Bytes>(blocks.begin(), blocks.begin() + 5)), 5);
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_DATA, blocks[5]), UPG_ACK_NOT_READY);
    // Even the blocks after it, in their turn again, are refused: the transfer is broken.
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_DATA, blocks[6]), UPG_ACK_NOT_READY);
    EXPECT_EQ(SendBlocks(kMcuCommands, std::vector<Bytes>(blocks.begin() + 7, blocks.end())), 0);
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_FINISH), UPG_ACK_NOT_READY);
    EXPECT_EQ(mProtocol->FirmwareVersion(), (VersionNumber{1, 32}));
    EXPECT_EQ(mProtocol->UpgradeCount(), 0);
    EXPECT_TRUE(mProtocol->InUpgradeProgram()) << "a refused finish stays";
    // A fresh start takes the image.
    EXPECT_EQ(Transfer(kMcuCommands, image), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->FirmwareVersion(), (VersionNumber{1, 40}));
}

TEST_F(AmplifierUpgradeTest, MalformedBlocksAreRefused) {
    mProtocol->SetNormalMode(false);
    const firmware::FirmwareImage flash = FlashImage(1, 33, 300);
    const Bytes flashHead(flash.head.begin(), flash.head.end());
    struct Case {
        const char* what;
        uint8_t type;
        uint8_t start;
        uint8_t data;
        Bytes block;
    };
    Bytes tooMany = BigEndian(0);
    tooMany.push_back(51);
    tooMany.resize(5 + 51, 7);
    Bytes misaligned = BigEndian(96 + 4);
    misaligned.resize(36, 1);
    Bytes shortMcu = BigEndian(96);
    shortMcu.resize(20, 1);
    Bytes notFromZero = FlashBlocks(flash.body)[1];
    Bytes beyondAnyFlash = BigEndian(0x7FFFFFE0);
    beyondAnyFlash.resize(36, 1);
    for (const Case& c : {Case{"more than 50 bytes", device::CMD_FLASH, device::FLASH_UPG_START,
                               device::FLASH_UPG_DATA, tooMany},
                          Case{"flash not from 0", device::CMD_FLASH, device::FLASH_UPG_START,
                               device::FLASH_UPG_DATA, notFromZero},
                          Case{"misaligned", device::CMD_MCU, device::MCU_UPG_START,
                               device::MCU_UPG_DATA, misaligned},
                          Case{"short frame", device::CMD_MCU, device::MCU_UPG_START,
                               device::MCU_UPG_DATA, shortMcu},
                          Case{"beyond any flash", device::CMD_MCU, device::MCU_UPG_START,
                               device::MCU_UPG_DATA, beyondAnyFlash}}) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Ack(c.type, c.start, flashHead), UPG_ACK_READY);
        EXPECT_EQ(Ack(c.type, c.data, c.block), UPG_ACK_NOT_READY);
    }
    // A block before any start, after a refused finish.
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_FINISH), UPG_ACK_NOT_READY);
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_DATA, FlashBlocks(flash.body)[0]),
              UPG_ACK_NOT_READY);
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_FINISH), UPG_ACK_NOT_READY);
    EXPECT_EQ(mProtocol->UpgradeCount(), 0);
}

TEST_F(AmplifierUpgradeTest, OnlyAWholeUndamagedStandInIsInstalled) {
    mProtocol->SetNormalMode(false);
    const firmware::FirmwareImage good = FlashImage(1, 33);
    const Bytes head(good.head.begin(), good.head.end());

    // One byte changed on the way: the sum no longer matches the head.
    firmware::FirmwareImage damaged = good;
    damaged.body[1000] = static_cast<uint8_t>(damaged.body[1000] + 1);
    EXPECT_EQ(Transfer(kFlashCommands, damaged), UPG_ACK_NOT_READY);

    // The last block missing.
    std::vector<Bytes> blocks = FlashBlocks(good.body);
    blocks.pop_back();
    ASSERT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_START, head), UPG_ACK_READY);
    EXPECT_EQ(SendBlocks(kFlashCommands, blocks), static_cast<int>(blocks.size()));
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_FINISH), UPG_ACK_NOT_READY);

    // A body without the marker, though its head states its sum: a real image.
    firmware::FirmwareImage real = good;
    real.body[0] = 0x55;
    const uint16_t sum = firmware::StandInBodySum(real.body);
    real.head[2] = static_cast<uint8_t>(sum >> 8);
    real.head[3] = static_cast<uint8_t>(sum);
    EXPECT_EQ(Transfer(kFlashCommands, real), UPG_ACK_NOT_READY);

    // A finish of another target than the one started.
    ASSERT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_START, head), UPG_ACK_READY);
    EXPECT_EQ(SendBlocks(kFlashCommands, FlashBlocks(good.body)),
              static_cast<int>(FlashBlocks(good.body).size()));
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_FINISH), UPG_ACK_NOT_READY);

    EXPECT_EQ(mProtocol->UpgradeCount(), 0);
    EXPECT_EQ(mProtocol->Mcu().flashVersion, (std::array<uint8_t, 4>{1, 0, 3, 2}));
    EXPECT_EQ(Transfer(kFlashCommands, good), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->Mcu().flashVersion, (std::array<uint8_t, 4>{1, 33, 0, 0}));
}

TEST_F(AmplifierUpgradeTest, CutTransferCanBeDoneAgain) {
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_Enter_Upg_Mode), UPG_ACK_READY);
    ASSERT_TRUE(RebootSeen());
    const firmware::FirmwareImage image = Mcu140();
    const Bytes head(image.head.begin(), image.head.end());
    const std::vector<Bytes> blocks = McuBlocks(image.body);
    ASSERT_EQ(Ack(device::CMD_MCU, device::MCU_UPG_START, head), UPG_ACK_READY);
    EXPECT_EQ(SendBlocks(kMcuCommands, std::vector<Bytes>(blocks.begin(), blocks.begin() + 900)),
              900);
    mAmplifier->Unplug();  // the cable pulled half-way
    mAmplifier->Plug();
    Reopen();
    ASSERT_TRUE(Handshake().has_value());
    EXPECT_EQ(Handshake()->at(0), 0xF0) << "still in the upgrade program";
    EXPECT_EQ(Ack(device::CMD_MCU, device::MCU_Enter_Upg_Mode), UPG_ACK_READY);
    EXPECT_EQ(Transfer(kMcuCommands, image), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->FirmwareVersion(), (VersionNumber{1, 40}));
    ASSERT_TRUE(RebootSeen());
    EXPECT_EQ(Handshake(), Bytes({0x00, 94, 1, 40}));
}

TEST_F(AmplifierUpgradeTest, ChipEraseIsAcknowledgedOnceTheAmplifierIsDone) {
    ASSERT_TRUE(Send(device::CMD_FLASH, device::FLASH_CHIP_ERASE, device::OP_SET));
    EXPECT_FALSE(Read(0).has_value()) << "busy erasing";
    EXPECT_EQ(StatusOf(Read(2000), device::CMD_FLASH, device::FLASH_CHIP_ERASE), UPG_ACK_READY);
}

TEST(DemoAmplifierFirmware, ReportsTheVersionItWasMadeWith) {
    auto older = virtual_device::MakeDemoAmplifier(L"DEMO-OLD", VersionNumber{1, 20});
    EXPECT_EQ(older.protocol->FirmwareVersion(), (VersionNumber{1, 20}));
    virtual_device::VirtualHidBackend backend;
    backend.Add(older.amplifier);
    auto device = backend.Open(0x0483, 0x5750);
    ASSERT_NE(device, nullptr);
    device::OutputReport handshake =
        device::BuildOutputReport(device::CMD_MCU, 0x08, device::OP_GET, nullptr, 0);
    ASSERT_EQ(device->Write(handshake.data(), handshake.size()), 65);
    uint8_t answer[64];
    ASSERT_GT(device->ReadTimeout(answer, sizeof answer, 1000), 0);
    // AA 55 L 03 08 DD 00 model major minor
    EXPECT_EQ(Bytes(answer + 6, answer + 10), Bytes({0x00, 94, 1, 20}));
    EXPECT_EQ(virtual_device::MakeDemoAmplifier().protocol->FirmwareVersion(),
              (VersionNumber{1, 32}));
}

class NotReadyUpgradeTest : public UpgradeHostTest {
protected:
    static virtual_device::ProtocolOptions Options() {
        auto options = QuickOptions();
        options.notReadyEvery = 3;
        options.notReadyMs = 40;
        return options;
    }
    NotReadyUpgradeTest() : UpgradeHostTest(Options()) {}
};

TEST_F(NotReadyUpgradeTest, EveryThirdBlockIsReadyOnlyOnTheSecondReport) {
    mProtocol->SetNormalMode(false);
    const firmware::FirmwareImage image = FlashImage(1, 34, 14 + 6 * 50);
    const Bytes head(image.head.begin(), image.head.end());
    ASSERT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_START, head), UPG_ACK_READY);
    std::vector<int> firstAnswers;
    for (const Bytes& block : FlashBlocks(image.body)) {
        const int status = Ack(device::CMD_FLASH, device::FLASH_UPG_DATA, block);
        firstAnswers.push_back(status);
        if (status == UPG_ACK_NOT_READY) {
            EXPECT_FALSE(Read(0).has_value()) << "the ready comes later";
            EXPECT_EQ(StatusOf(Read(2000), device::CMD_FLASH, device::FLASH_UPG_DATA),
                      UPG_ACK_READY);
        }
    }
    EXPECT_EQ(firstAnswers, std::vector<int>({0x0A, 0x0A, 0x60, 0x0A, 0x0A, 0x60}));
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_FINISH), UPG_ACK_READY);
    EXPECT_EQ(mProtocol->Mcu().flashVersion, (std::array<uint8_t, 4>{1, 34, 0, 0}));
}

class RefusingUpgradeTest : public UpgradeHostTest {
protected:
    static virtual_device::ProtocolOptions Options() {
        auto options = QuickOptions();
        options.refuseUpgradeStart = true;
        return options;
    }
    RefusingUpgradeTest() : UpgradeHostTest(Options()) {}
};

TEST_F(RefusingUpgradeTest, RefusedStartTakesNoBlock) {
    mProtocol->SetNormalMode(false);
    const firmware::FirmwareImage image = FlashImage(1, 33, 114);
    const Bytes head(image.head.begin(), image.head.end());
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_START, head), UPG_ACK_NOT_READY);
    EXPECT_EQ(SendBlocks(kFlashCommands, FlashBlocks(image.body)), 0);
    EXPECT_EQ(Ack(device::CMD_FLASH, device::FLASH_UPG_FINISH), UPG_ACK_NOT_READY);
    EXPECT_EQ(mProtocol->UpgradeCount(), 0);
}

}  // namespace
