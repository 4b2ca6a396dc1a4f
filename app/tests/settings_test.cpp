// The settings file: where it lives, what its keys default to, and that a
// write never leaves a half-written file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings.h"
#include "testkit/temp_dir.h"

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : mName(name) {
        if (const char* old = std::getenv(name)) {
            mOld = old;
            mHadOld = true;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (mHadOld) {
            ::setenv(mName.c_str(), mOld.c_str(), 1);
        } else {
            ::unsetenv(mName.c_str());
        }
    }

private:
    std::string mName;
    std::string mOld;
    bool mHadOld = false;
};

class SettingsTest : public ::testing::Test {
protected:
    testkit::TempWorkingDir mDir;
    ScopedEnv mXdg{"XDG_CONFIG_HOME", (mDir.path() / "config").c_str()};
};

TEST_F(SettingsTest, LivesInTheApplicationConfigFolder) {
    EXPECT_EQ(app::SettingsFilePath(), (mDir.path() / "config/tq-dsp-audio/maravo.ini").string());
    EXPECT_TRUE(std::filesystem::is_directory(mDir.path() / "config/tq-dsp-audio"));
}

TEST_F(SettingsTest, UnresolvableFolderFallsBackToTheCurrentDirectory) {
    ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv noHome("HOME", nullptr);
    EXPECT_EQ(app::SettingsFilePath(), (std::filesystem::current_path() / "maravo.ini").string());

    // A configuration folder that cannot be created counts as unresolvable.
    std::ofstream(mDir.path() / "blocker") << "x";
    ScopedEnv blocked("XDG_CONFIG_HOME", (mDir.path() / "blocker").c_str());
    EXPECT_EQ(app::SettingsFilePath(), (std::filesystem::current_path() / "maravo.ini").string());
}

TEST_F(SettingsTest, LanguageDefaultsToEnglishAndReadsTheStoredValue) {
    EXPECT_EQ(app::ReadLanguageSetting(), 0);
    ASSERT_TRUE(app::WriteSetting("config", "lan", "1"));
    EXPECT_EQ(app::ReadLanguageSetting(), 1);
    ASSERT_TRUE(app::WriteSetting("config", "lan", "2"));
    EXPECT_EQ(app::ReadLanguageSetting(), 2);
}

TEST_F(SettingsTest, KeysOfSeveralSectionsLiveSideBySide) {
    ASSERT_TRUE(app::WriteSetting("config", "mem_addr", "4660"));
    ASSERT_TRUE(app::WriteSetting("DeviceNickNames", "dev_0000abcd", "Blue van"));
    ASSERT_TRUE(app::WriteSetting("DeviceMappings", "dev_0000abcd", "VTA3300-0001|Blue van"));
    ASSERT_TRUE(app::WriteSetting("config", "mem_data", "-5"));
    ASSERT_TRUE(app::WriteSetting("DeviceNickNames", "dev_0000abcd", "Red van"));

    EXPECT_EQ(app::ReadSettingInt("config", "mem_addr", 0), 4660);
    EXPECT_EQ(app::ReadSettingInt("config", "mem_data", 0), -5);
    EXPECT_EQ(app::ReadSettingString("DeviceNickNames", "dev_0000abcd", ""), "Red van");
    EXPECT_EQ(app::ReadSettingString("DeviceMappings", "dev_0000abcd", ""),
              "VTA3300-0001|Blue van");
    EXPECT_EQ(app::ReadSettingInt("config", "factoryEQ", 0), 0);
    EXPECT_EQ(app::ReadSettingString("DeviceNickNames", "dev_ffffffff", "fallback"), "fallback");

    // The file stays plain "key=value" text under "[section]" headings.
    std::ifstream in(app::SettingsFilePath());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text,
              "[config]\nmem_addr=4660\nmem_data=-5\n[DeviceNickNames]\ndev_0000abcd=Red van\n"
              "[DeviceMappings]\ndev_0000abcd=VTA3300-0001|Blue van\n");
}

TEST_F(SettingsTest, NicknamesAreReadIntoSixtyFourCharacters) {
    ASSERT_TRUE(app::WriteSetting("DeviceNickNames", "dev_1", std::string(100, 'n')));
    EXPECT_EQ(app::ReadSettingString("DeviceNickNames", "dev_1", ""), std::string(63, 'n'));
}

TEST_F(SettingsTest, AnUnwritableFileFailsQuietlyAndKeepsTheOldContents) {
    ASSERT_TRUE(app::WriteSetting("config", "lan", "1"));
    std::filesystem::path folder = std::filesystem::path(app::SettingsFilePath()).parent_path();
    // A directory where the temporary file would go makes the write fail.
    std::filesystem::create_directory(folder / "maravo.ini.tmp");
    std::filesystem::create_directory(folder / "maravo.ini.tmp" / "x");
    EXPECT_FALSE(app::WriteSetting("config", "lan", "2"));
    EXPECT_EQ(app::ReadLanguageSetting(), 1);
}

TEST_F(SettingsTest, MarkerFilesAreFoundInTheCurrentDirectoryOnly) {
    EXPECT_FALSE(app::MarkerFileExists(app::kDebugMarker));
    std::ofstream(app::kDebugMarker) << "";
    EXPECT_TRUE(app::MarkerFileExists(app::kDebugMarker));
    EXPECT_FALSE(app::MarkerFileExists(app::kNoForceUpdateMarker));
}

}  // namespace
