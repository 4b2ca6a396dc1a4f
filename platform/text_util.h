// Small text helpers shared by the layers: trimming, comparing without case,
// and wide text to UTF-8.
#pragma once

#include <string>

namespace platform {

// The text without white space at either end.
std::string Trimmed(const std::string& text);

// Equal when compared letter by letter without regard to ASCII case.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// One code point as UTF-8; code points beyond Unicode become '?'.
void AppendUtf8(std::string& out, char32_t codePoint);

// Wide text (as hidapi reports it) as UTF-8.
std::string WideToUtf8(const std::wstring& wide);

}  // namespace platform
