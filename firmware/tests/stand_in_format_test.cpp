// The stand-ins' own format: the marker at the start of the body, and a head
// that carries the version the image installs and the sum of its body. And
// the images compiled into the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "firmware/builtin_images.h"
#include "firmware/firmware_image.h"
#include "firmware/image_checks.h"
#include "firmware/test_images.h"

namespace {

using firmware::UpgradeTarget;

uint16_t SumOf(const std::vector<uint8_t>& bytes) {
    return static_cast<uint16_t>(
        std::accumulate(bytes.begin(), bytes.end(), uint32_t{0},
                        [](uint32_t sum, uint8_t byte) { return sum + byte; }));
}

TEST(StandInFormat, HeadCarriesVersionAndBodySum) {
    struct Case {
        UpgradeTarget target;
        uint8_t major;
        uint8_t minor;
    };
    for (const Case& c :
         {Case{UpgradeTarget::UPG_DEVICE_MCU, 1, 32}, Case{UpgradeTarget::UPG_DEVICE_MCU_BL, 2, 1},
          Case{UpgradeTarget::UPG_DEVICE_FLASH, 1, 32}}) {
        const auto image = firmware::ParseImageBytes(firmware::MakeTestImageFor(c.target));
        ASSERT_TRUE(image.has_value());
        EXPECT_TRUE(firmware::IsStandInImage(image->body));
        const std::string start(image->body.begin(), image->body.begin() + 17);
        EXPECT_EQ(start, "TQ STAND-IN IMAGE");
        const firmware::StandInHead head = firmware::DecodeStandInHead(image->head);
        EXPECT_EQ(head.major, c.major);
        EXPECT_EQ(head.minor, c.minor);
        EXPECT_EQ(head.bodySum, SumOf(image->body));
        EXPECT_EQ(firmware::StandInBodySum(image->body), SumOf(image->body));
        EXPECT_EQ(image->head[2], head.bodySum >> 8);
        EXPECT_EQ(image->head[3], head.bodySum & 0xFF);
    }
}

TEST(StandInFormat, VersionOfTheSpecGoesIntoTheHead) {
    const auto image = firmware::ParseImageBytes(firmware::MakeTestImage({1, 94, 200, 5, 1, 20}));
    ASSERT_TRUE(image.has_value());
    EXPECT_TRUE(image->checksumMatches());
    EXPECT_EQ(firmware::DecodeStandInHead(image->head).major, 1);
    EXPECT_EQ(firmware::DecodeStandInHead(image->head).minor, 20);
    EXPECT_EQ(firmware::DecodeStandInHead(image->head).bodySum, SumOf(image->body));
}

TEST(StandInFormat, OnlyABodyWithTheWholeMarkerIsAStandIn) {
    const auto body = firmware::ParseImageBytes(firmware::MakeTestImage({1, 94, 100, 2}))->body;
    EXPECT_TRUE(firmware::IsStandInImage(body));
    // Cut inside the marker, a changed letter, or an image too small for it.
    EXPECT_FALSE(firmware::IsStandInImage(std::span(body).first(16)));
    std::vector<uint8_t> changed = body;
    changed[16] = 'F';
    EXPECT_FALSE(firmware::IsStandInImage(changed));
    const auto tiny = firmware::ParseImageBytes(firmware::MakeTestImage({1, 94, 20, 2}));
    ASSERT_TRUE(tiny.has_value());
    EXPECT_TRUE(tiny->checksumMatches());
    EXPECT_FALSE(firmware::IsStandInImage(tiny->body));
    const std::vector<uint8_t> zeros(64, 0);
    EXPECT_FALSE(firmware::IsStandInImage(zeros));
}

TEST(StandInFormat, DecodedHeadIsBigEndian) {
    const firmware::StandInHead head = firmware::DecodeStandInHead({3, 7, 0x12, 0x34});
    EXPECT_EQ(head.major, 3);
    EXPECT_EQ(head.minor, 7);
    EXPECT_EQ(head.bodySum, 0x1234);
    // The sum wraps at 16 bits.
    const std::vector<uint8_t> many(300, 0xFF);
    EXPECT_EQ(firmware::StandInBodySum(many), static_cast<uint16_t>(300 * 0xFF));
}

TEST(BuiltInImages, CarryTheStandInsOfTheRightSizesForModel94) {
    EXPECT_EQ(firmware::BuiltInImagesAreReal(), TQ_FIRMWARE_REAL_IMAGES != 0);
    if (TQ_FIRMWARE_REAL_IMAGES) {
        GTEST_SKIP() << "this build carries the maker's images";
    }
    const firmware::ImageRules rules{94, false};
    const auto mcuBytes = firmware::BuiltInImage(UpgradeTarget::UPG_DEVICE_MCU);
    const auto flashBytes = firmware::BuiltInImage(UpgradeTarget::UPG_DEVICE_FLASH);
    const auto bootloaderBytes = firmware::BuiltInImage(UpgradeTarget::UPG_DEVICE_MCU_BL);
    EXPECT_EQ(mcuBytes.size(), 89517u);
    EXPECT_EQ(flashBytes.size(), 105538u);
    const auto mcu = firmware::ParseImageBytes(mcuBytes);
    const auto flash = firmware::ParseImageBytes(flashBytes);
    const auto bootloader = firmware::ParseImageBytes(bootloaderBytes);
    ASSERT_TRUE(mcu && flash && bootloader);
    EXPECT_TRUE(firmware::McuImageAcceptable(*mcu, rules));
    EXPECT_TRUE(firmware::FlashImageAcceptable(*flash, rules));
    EXPECT_TRUE(firmware::McuImageAcceptable(*bootloader, rules));
    EXPECT_EQ(mcu->FW_PART, 1);
    EXPECT_EQ(flash->FW_PART, 2);
    // The very bytes the stand-in generator makes, each in its place.
    const auto expectedMcu = firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU);
    const auto expectedFlash = firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_FLASH);
    const auto expectedBootloader = firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU_BL);
    EXPECT_TRUE(
        std::equal(mcuBytes.begin(), mcuBytes.end(), expectedMcu.begin(), expectedMcu.end()));
    EXPECT_TRUE(std::equal(flashBytes.begin(), flashBytes.end(), expectedFlash.begin(),
                           expectedFlash.end()));
    EXPECT_TRUE(std::equal(bootloaderBytes.begin(), bootloaderBytes.end(),
                           expectedBootloader.begin(), expectedBootloader.end()));
}

}  // namespace
