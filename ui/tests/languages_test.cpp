// Choosing the language from the stored "lan" value, switching at run time,
// and the translation rule on the skin's own files.
#include <gtest/gtest.h>

#include <QLabel>
#include <cstdio>

#include "app/model_cfg.h"
#include "app/settings.h"
#include "toolkit/skin.h"
#include "toolkit/text_resources.h"
#include "toolkit/window.h"
#include "ui/skin/languages.h"
#include "ui_test_support.h"

namespace ui {
namespace {

class LanguagesTest : public ::testing::Test {
protected:
    void SetUp() override { std::remove(app::SettingsFilePath().c_str()); }
    void TearDown() override {
        std::remove(app::SettingsFilePath().c_str());
        SetUpLanguages(app::CurrentModelCfg());
    }
    static std::string StartWith(const char* stored) {
        std::remove(app::SettingsFilePath().c_str());
        if (stored != nullptr) {
            app::WriteSetting("config", "lan", stored);
        }
        SetUpLanguages(app::CurrentModelCfg());
        return toolkit::Texts().CurrentLanguage();
    }
};

TEST_F(LanguagesTest, StoredChoiceSelectsTheLanguage) {
    EXPECT_EQ(StartWith(nullptr), "en");
    EXPECT_EQ(toolkit::Translate("${tips}"), "Notice");
    EXPECT_EQ(StartWith("1"), "cn_zh");
    EXPECT_EQ(toolkit::Translate("${tips}"), "\xE6\x8F\x90\xE7\xA4\xBA");
    EXPECT_EQ(StartWith("2"), "ru");
    EXPECT_EQ(toolkit::Translate("${tips}"),
              "\xD0\x92\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5");
    EXPECT_EQ(StartWith("3"), "de");
    EXPECT_EQ(toolkit::Translate("${tips}"), "Hinweis");
    EXPECT_EQ(StartWith("0"), "en");
    // 7 is no language: the last registered one stays current.
    EXPECT_EQ(StartWith("7"), "de");
    EXPECT_EQ(toolkit::Texts().LanguageNames(),
              (std::vector<std::string>{"en", "cn_zh", "ru", "de"}));
}

// Every key shown in English has a German text and German has no key that
// English lacks, so no German window falls back to a raw "${key}".
TEST_F(LanguagesTest, GermanHasExactlyTheKeysOfEnglish) {
    auto english = toolkit::ParseLanguageFile(
        toolkit::Skin::Instance().ReadFile("lan/lan_en.xml").value_or(""));
    auto german = toolkit::ParseLanguageFile(
        toolkit::Skin::Instance().ReadFile("lan/lan_de.xml").value_or(""));
    ASSERT_TRUE(english.has_value());
    ASSERT_TRUE(german.has_value());
    EXPECT_GT(english->size(), 100U);
    for (const auto& [key, text] : *english) {
        auto found = german->find(key);
        ASSERT_NE(found, german->end()) << key << " has no German text";
        EXPECT_FALSE(found->second.empty()) << key;
    }
    for (const auto& entry : *german) {
        EXPECT_TRUE(english->count(entry.first)) << entry.first << " is German only";
    }
    StartWith("3");
    EXPECT_EQ(toolkit::Translate("${ui_crossover}"), "FREQUENZWEICHE");
    // The line break of a two-line German text is expanded like the English one.
    std::string twoLines = toolkit::Translate("${dsp_fw_new_tips}");
    EXPECT_NE(twoLines.find('\n'), std::string::npos);
    EXPECT_EQ(twoLines.find("{\\n}"), std::string::npos);
}

TEST_F(LanguagesTest, WithoutRussiaGermanIsStillRegistered) {
    app::ModelCfg model = app::CurrentModelCfg();
    model.mENABLE_RUSSIA = false;
    app::WriteSetting("config", "lan", "2");
    SetUpLanguages(model);
    // German is registered whatever the model says about Russian.
    EXPECT_EQ(toolkit::Texts().LanguageNames(), (std::vector<std::string>{"en", "cn_zh", "de"}));
    EXPECT_EQ(toolkit::Texts().CurrentLanguage(), "de");
}

TEST_F(LanguagesTest, TranslationEdgeCasesOnTheSkinFiles) {
    StartWith("0");
    EXPECT_EQ(toolkit::Translate("${no_such_key}"), "${no_such_key}");
    std::string twoLines = toolkit::Translate("${dsp_fw_new_tips}");
    EXPECT_NE(twoLines.find('\n'), std::string::npos);
    EXPECT_EQ(twoLines.find("{\\n}"), std::string::npos);
    EXPECT_EQ(toolkit::Translate("plain text"), "plain text");
    EXPECT_EQ(toolkit::Translate(""), "");
}

TEST_F(LanguagesTest, SwitchingStoresTheChoiceAndRedrawsOpenWindows) {
    StartWith("0");
    toolkit::Window window("MsgWnd", "msgwnd");
    window.Create(nullptr, "XML_MSG");
    auto* title = qobject_cast<QLabel*>(window.Find("MessageTitle")->Widget());
    EXPECT_EQ(title->text(), "Notice");
    EXPECT_TRUE(SwitchLanguage("ru", "2"));
    EXPECT_EQ(title->text(), QString::fromUtf8("Внимание"));
    EXPECT_EQ(app::ReadSettingInt("config", "lan", -1), 2);
    // Choosing the current language again writes nothing.
    app::WriteSetting("config", "lan", "9");
    EXPECT_FALSE(SwitchLanguage("RU", "2"));
    EXPECT_EQ(app::ReadSettingInt("config", "lan", -1), 9);
    EXPECT_EQ(LanguageNameForSetting(1), "cn_zh");
    EXPECT_EQ(LanguageNameForSetting(4), "");
}

}  // namespace
}  // namespace ui
