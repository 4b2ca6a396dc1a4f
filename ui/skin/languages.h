// The program's languages: registration from the skin's language files, the
// stored choice ("lan" in the settings file) and switching at run time.
#pragma once

#include <string>

#include "app/model_cfg.h"

namespace ui {

inline constexpr const char* kLanguageEnglish = "en";
inline constexpr const char* kLanguageChinese = "cn_zh";
inline constexpr const char* kLanguageRussian = "ru";
inline constexpr const char* kLanguageGerman = "de";

// The language name for a stored "lan" value (0..3), empty for any other.
std::string LanguageNameForSetting(int value);

// Registers English, Chinese and (when the model enables it) Russian from
// the skin, installs the text-query callback (which supplies nothing) and
// makes the stored language current. A stored value that names no
// registered language leaves the last registered one current.
void SetUpLanguages(const app::ModelCfg& model);

// Makes the language current, stores "lan" and redraws every open window.
// Choosing the current language does nothing; returns whether it switched.
bool SwitchLanguage(const std::string& name, const std::string& storedValue);

}  // namespace ui
