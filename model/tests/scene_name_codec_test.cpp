// Scene names as the amplifier keeps them: 16 GBK bytes, and the text they
// show as.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "model/scene_name_codec.h"

namespace {

TEST(SceneNames, AreReadAsGbkText) {
    EXPECT_EQ(model::SceneNameFromBytes("Daily"), u"Daily");
    EXPECT_EQ(model::SceneNameFromBytes(std::string("Day\0ly", 6)), u"Day");
    EXPECT_EQ(model::SceneNameFromBytes("\xB3\xA1\xBE\xB0"), u"\u573A\u666F");  // 场景
    // A stray byte does not swallow the rest of the name.
    std::u16string garbled = model::SceneNameFromBytes("A\x80Z");
    ASSERT_FALSE(garbled.empty());
    EXPECT_EQ(garbled.front(), u'A');
    EXPECT_EQ(garbled.back(), u'Z');
}

TEST(SceneNameBytes, NamesTravelAsGbkPaddedToSixteenBytes) {
    const auto latin = model::SceneNameToBytes(u"Road");
    EXPECT_EQ(latin, (std::array<uint8_t, 16>{'R', 'o', 'a', 'd'}));
    // 低音 in GBK: B5 CD D2 F4.
    const auto chinese = model::SceneNameToBytes(u"低音");
    EXPECT_EQ(chinese, (std::array<uint8_t, 16>{0xB5, 0xCD, 0xD2, 0xF4}));
    EXPECT_EQ(model::SceneNameFromBytes(std::string(chinese.begin(), chinese.end())), u"低音");
    // A character GBK lacks becomes '?'; nothing spills past 16 bytes, and
    // a double-byte character is never split.
    EXPECT_EQ(model::SceneNameToBytes(u"a\U0001F600b"), (std::array<uint8_t, 16>{'a', '?', 'b'}));
    const auto full = model::SceneNameToBytes(u"123456789012345低");
    EXPECT_EQ(full[14], '5');
    EXPECT_EQ(full[15], 0);
}

}  // namespace
