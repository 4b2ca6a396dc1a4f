// The 32-bit words of the DSP memory service window: how a technician types
// an address or a data word, how it is shown, and how it is kept in the
// settings file.
//
// A typed word is read strictly: decimal, hexadecimal after "0x" or "0X",
// or octal after a leading "0", with blanks around it allowed. Anything
// else (nothing, a sign, a prefix without digits, a digit outside the base,
// trailing characters, a value above 0xFFFFFFFF) is refused, so the window
// never reads or writes an address the technician did not type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// The word the text names, or nothing when it names none.
std::optional<uint32_t> ParseMemoryWord(std::string_view text);

// "0x%08x": eight lower-case hexadecimal digits.
std::string FormatMemoryWord(uint32_t word);

// The settings file keeps a word as the signed decimal of its 32 bits
// ("%d"): 0xFFFFFFFF is kept as -1.
std::string MemoryWordSetting(uint32_t word);
uint32_t MemoryWordFromSetting(int stored);

}  // namespace app
