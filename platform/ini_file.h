// Private-profile (INI) access on plain "key=value" text with "[section]"
// headings, readable by the Windows profile functions too. Every call opens,
// reads and (for writes) replaces the file, so callers need no handle.
#pragma once

#include <string>

namespace platform {

// The integer at section/key, or fallback when the file, section or key is
// absent or the value does not start with a number.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int fallback,
                         const std::string& path);

// The text at section/key (at most maxChars - 1 characters), or fallback.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& path,
                                    size_t maxChars = 260);

// Sets section/key to value, creating the file and section when needed. The
// file is written beside the old one and then renamed over it, so a failed
// write never leaves a truncated settings file. Returns false on failure.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

}  // namespace platform
