// Files that must never reach the device: each is refused with its message,
// and no image is kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/tests/image_fixture.h"

namespace firmware_test {
namespace {

using firmware::FlashUpgParsingFile;
using firmware::LoadedImage;
using firmware::MCUUpgBLParsingFile;
using firmware::MCUUpgParsingFile;

void ExpectRefused(const LoadedImage& loaded, int result = firmware::UPG_FILE_INVALID) {
    EXPECT_EQ(loaded.result, result);
    EXPECT_FALSE(loaded.image.has_value());
}

TEST_F(ImageFileTest, ImageForAnotherModelIsRefused) {
    const auto mcuPath = Write("MCU_UPG.BIN", Image(1, 93, 500));
    ExpectRefused(MCUUpgParsingFile(mcuPath, Rules(), true));
    EXPECT_TRUE(Logged("noCheckID=false, FW_PART=0x1, FW_MODEL_ID=0x5d, pc_model_id=0x5e\n"));
    EXPECT_TRUE(Logged("return UPG_FILE_INVALID " + mcuPath.string() + ", CopyFileToBuffer "));
    EXPECT_TRUE(Logged("MCUUpgParsingFile return as failed in MCUUpgParsingFile!\n"));
    EXPECT_FALSE(Logged("UPG_FILE_VALID\n"));

    const auto flashPath = Write("FLASH_UPG.BIN", Image(2, 95, 500));
    ExpectRefused(FlashUpgParsingFile(flashPath, Rules(), true));
    EXPECT_TRUE(Logged("return UPG_FILE_INVALID " + flashPath.string() + ", FlashUpgParsingFile "));
    EXPECT_FALSE(Logged("FlashUpgParsingFile return ok!"));
}

TEST_F(ImageFileTest, MicrocontrollerFileWithTheFlashPartByteIsRefusedEvenWithoutModelCheck) {
    ExpectRefused(MCUUpgParsingFile(Write("MCU_UPG.BIN", Image(2, kOurModel, 500)), Rules(), true));
    ExpectRefused(
        MCUUpgBLParsingFile(Write("BL_UPG.BIN", Image(2, kOurModel, 500)), Rules(true), true));
    EXPECT_TRUE(Logged("noCheckID=true, FW_PART=0x2\n"));
    EXPECT_TRUE(Logged("MCUUpgBLParsingFile return as failed in CopyFileToBuffer!\n"));
}

TEST_F(ImageFileTest, AnyChangedByteBeforeTheChecksumIsCaught) {
    const auto good = Image(1, kOurModel, 400);
    // The head, the body and the trailer are all covered, and so is the stored sum itself.
    for (size_t at : {size_t{3}, size_t{6}, size_t{200}, good.size() - 6, good.size() - 1}) {
        auto bad = good;
        bad[at] ^= 0x10;
        ExpectRefused(MCUUpgParsingFile(Write("MCU_UPG.BIN", bad), Rules(true), true));
        ExpectRefused(FlashUpgParsingFile(Write("FLASH_UPG.BIN", bad), Rules(true), true));
    }
}

TEST_F(ImageFileTest, ChecksumIsReadBigEndian) {
    // A sum whose bytes are all different: read little-endian it would not match.
    auto file = Image(2, kOurModel, 600, 3);
    const uint32_t sum = SumBeforeChecksum(file);
    ASSERT_NE(sum & 0xFF, sum >> 8 & 0xFF);
    std::swap(file[file.size() - 4], file[file.size() - 1]);
    std::swap(file[file.size() - 3], file[file.size() - 2]);
    ExpectRefused(FlashUpgParsingFile(Write("FLASH_UPG.BIN", file), Rules(), true));
}

TEST_F(ImageFileTest, TruncatedFilesAreRefused) {
    const auto good = Image(1, kOurModel, 400);
    const std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    ExpectRefused(MCUUpgParsingFile(Write("MCU_UPG.BIN", cut), Rules(), true));
    ExpectRefused(FlashUpgParsingFile(Write("FLASH_UPG.BIN", cut), Rules(), true));

    // Too short to hold the header, trailer and checksum: nothing is summed.
    const std::vector<uint8_t> tooShort(good.begin(), good.begin() + 13);
    ExpectRefused(MCUUpgParsingFile(Write("short_MCU_UPG.BIN", tooShort), Rules(), true));
    ExpectRefused(FlashUpgParsingFile(Write("short_FLASH_UPG.BIN", tooShort), Rules(), true));
    EXPECT_EQ(LogText().find("cal MCU"), LogText().rfind("cal MCU"));  // only the cut file
}

TEST_F(ImageFileTest, EmptyFileIsRefused) {
    const auto mcuPath = Write("MCU_UPG.BIN", {});
    ExpectRefused(MCUUpgParsingFile(mcuPath, Rules(), true));
    EXPECT_TRUE(Logged("return UPG_FILE_INVALID " + mcuPath.string() + ", CopyFileToBuffer "));
    ExpectRefused(FlashUpgParsingFile(Write("FLASH_UPG.BIN", {}), Rules(), true));
    EXPECT_FALSE(Logged("cal MCU"));
    EXPECT_FALSE(Logged("cal FLASH"));
}

TEST_F(ImageFileTest, OversizedFileIsRefusedBeforeItIsRead) {
    // One byte over 1 MiB, with a checksum that would otherwise match.
    const auto big = Image(2, kOurModel, 1048577);
    const auto flashPath = Write("FLASH_UPG.BIN", big);
    ExpectRefused(FlashUpgParsingFile(flashPath, Rules(), true));
    EXPECT_TRUE(Logged("return UPG_FILE_INVALID " + flashPath.string() + ", FlashUpgParsingFile "));
    EXPECT_FALSE(Logged("file size is"));

    const auto mcuPath = Write("MCU_UPG.BIN", Image(1, kOurModel, 1048577));
    ExpectRefused(MCUUpgParsingFile(mcuPath, Rules(), true));
    EXPECT_TRUE(Logged("Open file " + mcuPath.string() + " success!\n"));
    EXPECT_FALSE(Logged("cal MCU"));
}

TEST_F(ImageFileTest, FileThatCannotBeOpenedGivesItsOwnResult) {
    const auto missing = std::filesystem::path("/nonexistent/FLASH_UPG.BIN");
    ExpectRefused(FlashUpgParsingFile(missing, Rules(), true), firmware::UPG_FILE_UNREADABLE);
    EXPECT_TRUE(Logged("Error: Open file /nonexistent/FLASH_UPG.BIN error!\n"));
    ExpectRefused(MCUUpgParsingFile("/nonexistent/MCU_UPG.BIN", Rules(), true),
                  firmware::UPG_FILE_UNREADABLE);
    EXPECT_FALSE(Logged("success!"));

    // A folder opens on some systems but holds no image.
    const auto folder = Write("probe", {}).parent_path();
    ExpectRefused(MCUUpgParsingFile(folder, Rules(), true), firmware::UPG_FILE_UNREADABLE);
}

TEST_F(ImageFileTest, NothingIsReadWithoutADevice) {
    const auto mcuPath = Write("MCU_UPG.BIN", Image(1, kOurModel, 100));
    ExpectRefused(MCUUpgParsingFile(mcuPath, Rules(), false), firmware::UPG_CONNECT_FAIL);
    EXPECT_TRUE(Logged("MCUUpgParsingFile return UPG_CONNECT_FAIL!\n"));
    ExpectRefused(MCUUpgBLParsingFile(mcuPath, Rules(), false), firmware::UPG_CONNECT_FAIL);
    EXPECT_TRUE(Logged("MCUUpgBLParsingFile return UPG_CONNECT_FAIL!\n"));
    ExpectRefused(
        FlashUpgParsingFile(Write("FLASH_UPG.BIN", Image(2, kOurModel, 100)), Rules(), false),
        firmware::UPG_CONNECT_FAIL);
    EXPECT_TRUE(Logged("FlashUpgParsingFile return USB disconnected!\n"));
    EXPECT_FALSE(Logged("CopyFileToBuffer\n"));
    EXPECT_FALSE(Logged("file size is"));
}

}  // namespace
}  // namespace firmware_test
