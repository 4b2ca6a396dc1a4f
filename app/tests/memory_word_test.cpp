// The words of the DSP memory window: the three bases, the blanks around a
// word, everything that names no word, and how words are shown and kept.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/memory_word.h"

namespace {

using app::ParseMemoryWord;

TEST(MemoryWord, ReadsDecimalHexadecimalAndOctal) {
    EXPECT_EQ(ParseMemoryWord("10"), 10u);
    EXPECT_EQ(ParseMemoryWord("0"), 0u);
    EXPECT_EQ(ParseMemoryWord("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseMemoryWord("0x1F"), 31u);
    EXPECT_EQ(ParseMemoryWord("0X1f"), 31u);
    EXPECT_EQ(ParseMemoryWord("0xabcdef12"), 0xABCDEF12u);
    EXPECT_EQ(ParseMemoryWord("0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseMemoryWord("0x0"), 0u);
    EXPECT_EQ(ParseMemoryWord("017"), 15u);
    EXPECT_EQ(ParseMemoryWord("00"), 0u);
    EXPECT_EQ(ParseMemoryWord("037777777777"), 0xFFFFFFFFu);
    // Leading zeros do not count towards the size.
    EXPECT_EQ(ParseMemoryWord("0x00000000FFFFFFFF"), 0xFFFFFFFFu);
}

TEST(MemoryWord, BlanksAroundTheWordAreIgnored) {
    EXPECT_EQ(ParseMemoryWord(" 12"), 12u);
    EXPECT_EQ(ParseMemoryWord("12 "), 12u);
    EXPECT_EQ(ParseMemoryWord("\t 0x10 \n"), 16u);
}

TEST(MemoryWord, TextThatNamesNoWordIsRefused) {
    for (const char* text :
         {"",           "   ",          "0x",          "0X",
          " 0x ",       "-1",           "-0",          "+5",
          "12ab",       "0x1g",         "08",          "019",
          "abc",        "1 2",          "0x 1",        "1.5",
          "1e3",        "0b101",        "x10",         "0xFFFFFFFF0",
          "4294967296", "040000000000", "0x100000000", "99999999999999999999999"}) {
        EXPECT_EQ(ParseMemoryWord(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(MemoryWord, IsShownInEightLowerCaseHexadecimalDigits) {
    EXPECT_EQ(app::FormatMemoryWord(10), "0x0000000a");
    EXPECT_EQ(app::FormatMemoryWord(0xFFFFFFFF), "0xffffffff");
    EXPECT_EQ(app::FormatMemoryWord(0), "0x00000000");
    EXPECT_EQ(app::FormatMemoryWord(0x12AB34CD), "0x12ab34cd");
}

TEST(MemoryWord, IsKeptAsTheSignedDecimalOfItsBits) {
    EXPECT_EQ(app::MemoryWordSetting(10), "10");
    EXPECT_EQ(app::MemoryWordSetting(0xFFFFFFFF), "-1");
    EXPECT_EQ(app::MemoryWordSetting(0x80000000), "-2147483648");
    EXPECT_EQ(app::MemoryWordSetting(0x7FFFFFFF), "2147483647");
    for (uint32_t word : {0u, 10u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(app::MemoryWordFromSetting(std::stoi(app::MemoryWordSetting(word))), word);
    }
}

}  // namespace
