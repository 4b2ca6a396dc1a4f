// The settings file "maravo.ini" and the marker files that switch diagnostic
// features on.
#pragma once

#include <string>

namespace app {

inline constexpr const char* kSettingsFileName = "maravo.ini";
inline constexpr const char* kSaveLogMarker = "savelog.ini";
inline constexpr const char* kDebugMarker = "debug.ini";
inline constexpr const char* kNoForceUpdateMarker = "noForceUpdate.ini";
inline constexpr const char* kLogFileName = "save.log";

// The path of "maravo.ini": in the application configuration folder, or in
// the current directory when that folder cannot be resolved or the path
// would be longer than 260 characters. Formed afresh by every caller.
std::string SettingsFilePath();

// Whether the marker file exists in the current directory (its content is
// never read).
bool MarkerFileExists(const std::string& name);

// Settings of the "config" section and the device nicknames, each read or
// written through the settings file on demand. Reads fall back to the
// default; writes that fail are silent.
int ReadSettingInt(const std::string& section, const std::string& key, int fallback);
std::string ReadSettingString(const std::string& section, const std::string& key,
                              const std::string& fallback, size_t maxChars = 64);
bool WriteSetting(const std::string& section, const std::string& key, const std::string& value);

// The stored language ("lan"): 0 English when English is the model's default
// language, else 1 Chinese; 0 when English is forced.
int ReadLanguageSetting();

}  // namespace app
