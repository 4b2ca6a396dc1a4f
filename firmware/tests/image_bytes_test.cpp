// Taking image bytes apart without a file, as the virtual amplifier and the
// fuzz target do.
#include <gtest/gtest.h>

#include <vector>

#include "firmware/firmware_image.h"
#include "firmware/test_images.h"

namespace {

TEST(ImageBytes, TooShortOrTooLongGivesNoImage) {
    const std::vector<uint8_t> good = firmware::MakeTestImage({1, 94, 14, 9});
    for (size_t size = 0; size < 14; ++size) {
        // Copies of exactly that size, so a read past the end shows under the sanitizers.
        const std::vector<uint8_t> part(good.begin(), good.begin() + size);
        EXPECT_FALSE(firmware::ParseImageBytes(part).has_value()) << size << " bytes";
    }
    ASSERT_TRUE(firmware::ParseImageBytes(good).has_value());
    EXPECT_TRUE(firmware::ParseImageBytes(good)->checksumMatches());
    const std::vector<uint8_t> huge(1048577, 0);
    EXPECT_FALSE(firmware::ParseImageBytes(huge).has_value());
}

TEST(ImageBytes, ParsedFieldsFollowTheBytes) {
    const std::vector<uint8_t> file = firmware::MakeTestImage({2, 61, 40, 4});
    const auto image = firmware::ParseImageBytes(file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->FW_PART, 2);
    EXPECT_EQ(image->FW_MODEL_ID, 61);
    EXPECT_EQ(image->body.size(), 26u);
    EXPECT_EQ(image->body.front(), file[6]);
    EXPECT_EQ(image->body.back(), file[31]);
    EXPECT_TRUE(image->checksumMatches());
}

}  // namespace
