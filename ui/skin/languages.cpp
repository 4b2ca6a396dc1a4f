#include "ui/skin/languages.h"

#include <QString>

#include "app/log.h"
#include "app/settings.h"
#include "toolkit/skin.h"
#include "toolkit/text_resources.h"
#include "toolkit/window.h"
#include "toolkit/window_registry.h"

namespace ui {

namespace {

void Register(const char* path, const char* name) {
    auto text = toolkit::Skin::Instance().ReadFile(path);
    if (!text || !toolkit::Texts().RegisterLanguage(*text, name)) {
        app::Log("language file %s cannot be loaded\n", path);
    }
}

}  // namespace

std::string LanguageNameForSetting(int value) {
    switch (value) {
        case 0:
            return kLanguageEnglish;
        case 1:
            return kLanguageChinese;
        case 2:
            return kLanguageRussian;
        case 3:
            return kLanguageGerman;
        default:
            return {};
    }
}

void SetUpLanguages(const app::ModelCfg& model) {
    toolkit::TextResources& texts = toolkit::Texts();
    texts.Clear();
    texts.SetTextQuery([](const std::string&) { return std::optional<std::string>(); });
    Register("lan/lan_en.xml", kLanguageEnglish);
    Register("lan/lan_cn.xml", kLanguageChinese);
    if (model.mENABLE_RUSSIA) {
        Register("lan/lan_ru.xml", kLanguageRussian);
    }
    Register("lan/lan_de.xml", kLanguageGerman);
    int stored = app::ReadLanguageSetting();
    std::string name = LanguageNameForSetting(stored);
    if (!name.empty()) {
        texts.SetLanguage(name);
    }
}

bool SwitchLanguage(const std::string& name, const std::string& storedValue) {
    toolkit::TextResources& texts = toolkit::Texts();
    if (QString::fromStdString(texts.CurrentLanguage())
            .compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0) {
        return false;
    }
    app::Log("change language to %s - %s\n", name.c_str(), storedValue.c_str());
    texts.SetLanguage(name);
    app::WriteSetting("config", "lan", storedValue);
    for (toolkit::Window* window : toolkit::window_registry::All()) {
        window->Retranslate();
    }
    app::Log("change language finish\n");
    return true;
}

}  // namespace ui
