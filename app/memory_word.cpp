#include "app/memory_word.h"

#include <cstdio>

namespace app {
namespace {

constexpr uint64_t kLargestWord = 0xFFFFFFFFull;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The digit's value, or -1 when the character is no digit of the base.
int DigitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace

std::optional<uint32_t> ParseMemoryWord(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) {
        return std::nullopt;
    }
    unsigned base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
        if (text.empty()) {
            return std::nullopt;  // "0x" names no word
        }
    } else if (text.size() >= 2 && text[0] == '0') {
        base = 8;
        text.remove_prefix(1);
    }
    uint64_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + static_cast<uint64_t>(digit);
        if (value > kLargestWord) {
            return std::nullopt;
        }
    }
    return static_cast<uint32_t>(value);
}

std::string FormatMemoryWord(uint32_t word) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", word);
    return text;
}

std::string MemoryWordSetting(uint32_t word) {
    return std::to_string(static_cast<int32_t>(word));
}

uint32_t MemoryWordFromSetting(int stored) {
    return static_cast<uint32_t>(stored);
}

}  // namespace app
