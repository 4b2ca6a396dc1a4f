#include "app/settings.h"

#include "app/model_cfg.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace app {
namespace {

constexpr size_t kMaxPathChars = 260;

}  // namespace

std::string SettingsFilePath() {
    std::string folder = platform::AppConfigFolder();
    if (folder.empty()) {
        folder = platform::CurrentDirectory();
    }
    std::string path = folder + "/" + kSettingsFileName;
    if (path.size() > kMaxPathChars) {
        path = platform::CurrentDirectory() + "/" + kSettingsFileName;
    }
    return path;
}

bool MarkerFileExists(const std::string& name) {
    return platform::FileExistsInCurrentDirectory(name);
}

int ReadSettingInt(const std::string& section, const std::string& key, int fallback) {
    return platform::GetPrivateProfileInt(section, key, fallback, SettingsFilePath());
}

std::string ReadSettingString(const std::string& section, const std::string& key,
                              const std::string& fallback, size_t maxChars) {
    return platform::GetPrivateProfileString(section, key, fallback, SettingsFilePath(), maxChars);
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
    return platform::WritePrivateProfileString(section, key, value, SettingsFilePath());
}

int ReadLanguageSetting() {
    const ModelCfg& cfg = CurrentModelCfg();
    if (cfg.mFORCE_LANGUAGE_ENG) {
        return 0;
    }
    return ReadSettingInt("config", "lan", cfg.mENABLE_DEFAULT_ENG ? 0 : 1);
}

}  // namespace app
