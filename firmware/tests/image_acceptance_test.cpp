// Good images of each target load with the fields the upgrade needs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "firmware/tests/image_fixture.h"
#include "testkit/build_paths.h"

namespace firmware_test {
namespace {

using firmware::FlashUpgParsingFile;
using firmware::LoadedImage;
using firmware::MCUUpgBLParsingFile;
using firmware::MCUUpgParsingFile;
using firmware::UpgradeTarget;

std::string Hex(const char* format, uint32_t value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void ExpectFieldsOf(const LoadedImage& loaded, const std::vector<uint8_t>& file) {
    ASSERT_EQ(loaded.result, firmware::UPG_FILE_VALID);
    ASSERT_TRUE(loaded.image.has_value());
    const firmware::FirmwareImage& image = *loaded.image;
    EXPECT_EQ(image.FW_PART, file[0]);
    EXPECT_EQ(image.FW_MODEL_ID, file[1]);
    EXPECT_EQ(std::vector<uint8_t>(image.head.begin(), image.head.end()),
              std::vector<uint8_t>(file.begin() + 2, file.begin() + 6));
    // The body is everything between the head and the trailer: n = size - 14.
    EXPECT_EQ(image.body, std::vector<uint8_t>(file.begin() + 6, file.end() - 8));
}

TEST_F(ImageFileTest, MicrocontrollerImageLoadsWithHeaderHeadAndBody) {
    const auto file = Image(1, kOurModel, 1000);
    const LoadedImage loaded = MCUUpgParsingFile(Write("MCU_UPG.BIN", file), Rules(), true);
    ExpectFieldsOf(loaded, file);
    EXPECT_TRUE(Logged("MCUUpgParsingFile!\n"));
    EXPECT_TRUE(Logged("CopyFileToBuffer\n"));
    EXPECT_TRUE(Logged("MCU_UPG.BIN success!\n"));
    EXPECT_TRUE(Logged(Hex("cal MCU encrypt_checksum=0x%x!\n", SumBeforeChecksum(file))));
    EXPECT_TRUE(Logged(Hex("encrypt_checksum=0x%x!\n", StoredChecksum(file))));
    EXPECT_TRUE(Logged("noCheckID=false, FW_PART=0x1, FW_MODEL_ID=0x5e, pc_model_id=0x5e\n"));
    EXPECT_TRUE(Logged("UPG_FILE_VALID\n"));
    EXPECT_TRUE(Logged("MCUUpgParsingFile return  ok!\n"));
}

TEST_F(ImageFileTest, BootloaderImageLoadsThroughItsOwnEntry) {
    const auto file = Image(1, kOurModel, 333, 11);
    const LoadedImage loaded = MCUUpgBLParsingFile(Write("BL_UPG.BIN", file), Rules(), true);
    ExpectFieldsOf(loaded, file);
    EXPECT_TRUE(Logged("MCUUpgBLParsingFile!\n"));
    EXPECT_TRUE(Logged("MCUUpgBLParsingFile return  ok!\n"));
    EXPECT_FALSE(Logged("MCUUpgParsingFile!"));
}

TEST_F(ImageFileTest, FlashImageLoadsAndReportsItsSize) {
    const auto file = Image(2, kOurModel, 1234, 5);
    const auto path = Write("FLASH_UPG.BIN", file);
    const LoadedImage loaded = FlashUpgParsingFile(path, Rules(), true);
    ExpectFieldsOf(loaded, file);
    EXPECT_TRUE(Logged("FlashUpgParsingFile!\n"));
    EXPECT_TRUE(Logged(path.string() + " file size is 1234\n"));
    EXPECT_TRUE(Logged(Hex("cal FLASH checksum=0x%x!\n", SumBeforeChecksum(file))));
    EXPECT_TRUE(Logged(Hex("encrypt_checksum=0x%x!\n", StoredChecksum(file))));
    EXPECT_TRUE(Logged("FlashUpgParsingFile return ok!\n"));
}

TEST_F(ImageFileTest, FileNameThatIsNotUtf8StillLoads) {
    const auto file = Image(2, kOurModel, 64);
    const auto path = Write("\xff\xfe_FLASH_UPG.BIN", file);
    ExpectFieldsOf(FlashUpgParsingFile(path, Rules(), true), file);
    ExpectFieldsOf(
        MCUUpgParsingFile(Write("\xff_MCU_UPG.BIN", Image(1, kOurModel, 64)), Rules(), true),
        Image(1, kOurModel, 64));
}

TEST_F(ImageFileTest, SmallestAndLargestImagesAreAccepted) {
    // Fourteen bytes hold an image with an empty body; 1 MiB is the largest file taken.
    const auto smallest = Image(1, kOurModel, 14);
    const LoadedImage small = MCUUpgParsingFile(Write("a_MCU_UPG.BIN", smallest), Rules(), true);
    ExpectFieldsOf(small, smallest);
    EXPECT_TRUE(small.image->body.empty());

    const auto largest = Image(2, kOurModel, 1048576);
    ExpectFieldsOf(FlashUpgParsingFile(Write("b_FLASH_UPG.BIN", largest), Rules(), true), largest);
}

TEST_F(ImageFileTest, ModelIsNotComparedWhenTheDeviceIsNotInNormalMode) {
    const auto mcu = Image(1, 17, 200);
    EXPECT_EQ(MCUUpgParsingFile(Write("MCU_UPG.BIN", mcu), Rules(true), true).result,
              firmware::UPG_FILE_VALID);
    EXPECT_TRUE(Logged("noCheckID=true, FW_PART=0x1\n"));

    const auto flash = Image(2, 17, 200);
    EXPECT_EQ(FlashUpgParsingFile(Write("FLASH_UPG.BIN", flash), Rules(true), true).result,
              firmware::UPG_FILE_VALID);
}

TEST_F(ImageFileTest, FlashImageDoesNotLookAtItsPartByte) {
    const auto file = Image(1, kOurModel, 300);
    ExpectFieldsOf(FlashUpgParsingFile(Write("FLASH_UPG.BIN", file), Rules(), true), file);
}

TEST_F(ImageFileTest, StandInImagesHaveTheCarriedSizesAndPassTheirChecks) {
    struct Case {
        UpgradeTarget target;
        size_t size;
        uint8_t part;
    };
    for (const Case& c : {Case{UpgradeTarget::UPG_DEVICE_MCU, 89517, 1},
                          Case{UpgradeTarget::UPG_DEVICE_MCU_BL, 16398, 1},
                          Case{UpgradeTarget::UPG_DEVICE_FLASH, 105538, 2}}) {
        const auto file = firmware::MakeTestImageFor(c.target);
        ASSERT_EQ(file.size(), c.size);
        EXPECT_EQ(file[0], c.part);
        EXPECT_EQ(file[1], 94);
        EXPECT_EQ(SumBeforeChecksum(file), StoredChecksum(file));
        const auto path = Write("image.bin", file);
        const LoadedImage loaded = c.target == UpgradeTarget::UPG_DEVICE_FLASH
                                       ? FlashUpgParsingFile(path, Rules(), true)
                                       : MCUUpgParsingFile(path, Rules(), true);
        ExpectFieldsOf(loaded, file);
    }
    // Different targets get different bodies, so a mix-up shows in a transfer.
    EXPECT_NE(firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU),
              firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU_BL));
}

TEST_F(ImageFileTest, ImagesTheBuildCarriesPassTheirChecks) {
    const std::filesystem::path dir(testkit::BuildPath("FIRMWARE_IMAGE_DIR"));
    const LoadedImage mcu = MCUUpgParsingFile(dir / "MCU_UPG.bin", Rules(), true);
    const LoadedImage bootloader = MCUUpgBLParsingFile(dir / "BL_UPG.bin", Rules(), true);
    const LoadedImage flash = FlashUpgParsingFile(dir / "FLASH_UPG.bin", Rules(), true);
    ASSERT_EQ(mcu.result, firmware::UPG_FILE_VALID);
    ASSERT_EQ(bootloader.result, firmware::UPG_FILE_VALID);
    ASSERT_EQ(flash.result, firmware::UPG_FILE_VALID);
    if (!TQ_FIRMWARE_REAL_IMAGES) {
        EXPECT_EQ(mcu.image->body.size() + 14, 89517u);
        EXPECT_EQ(flash.image->body.size() + 14, 105538u);
    }
}

}  // namespace
}  // namespace firmware_test
