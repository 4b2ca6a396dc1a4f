#include "toolkit/text_resources.h"

#include <cctype>

#include "toolkit/xml_document.h"

namespace toolkit {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

void CollectTexts(const XmlElement& element, TextTable& table) {
    if (element.name == "Text") {
        const std::string* id = element.Attribute("id");
        const std::string* value = element.Attribute("value");
        if (id != nullptr && value != nullptr) {
            table[*id] = *value;
        }
    }
    for (const auto& child : element.children) {
        CollectTexts(child, table);
    }
}

}  // namespace

std::optional<TextTable> ParseLanguageFile(std::string_view text) {
    auto root = ParseXml(text);
    if (!root) {
        return std::nullopt;
    }
    TextTable table;
    CollectTexts(*root, table);
    return table;
}

bool TextResources::RegisterLanguage(std::string_view fileText, const std::string& name) {
    if (mLanguages.size() >= kMaxLanguages) {
        return false;
    }
    auto table = ParseLanguageFile(fileText);
    if (!table) {
        return false;
    }
    mLanguages.push_back({name, std::move(*table)});
    mCurrent = static_cast<int>(mLanguages.size()) - 1;
    return true;
}

bool TextResources::SetLanguage(const std::string& name) {
    for (int i = static_cast<int>(mLanguages.size()) - 1; i >= 0; --i) {
        if (EqualsIgnoringCase(mLanguages[static_cast<size_t>(i)].name, name)) {
            mCurrent = i;
            return true;
        }
    }
    return false;
}

std::string TextResources::CurrentLanguage() const {
    return mCurrent >= 0 ? mLanguages[static_cast<size_t>(mCurrent)].name : std::string();
}

std::vector<std::string> TextResources::LanguageNames() const {
    std::vector<std::string> names;
    for (const auto& language : mLanguages) {
        names.push_back(language.name);
    }
    return names;
}

std::string TextResources::Translate(std::string_view text) const {
    if (text.empty()) {
        return {};
    }
    if (text.substr(0, 2) != "${") {
        return std::string(text);
    }
    std::string key(text);
    if (mCurrent >= 0) {
        const TextTable& table = mLanguages[static_cast<size_t>(mCurrent)].table;
        auto found = table.find(key);
        if (found != table.end()) {
            return ExpandLineBreaks(found->second);
        }
    }
    if (mTextQuery) {
        if (auto supplied = mTextQuery(key)) {
            return ExpandLineBreaks(*supplied);
        }
    }
    return ExpandLineBreaks(key);
}

void TextResources::Clear() {
    mLanguages.clear();
    mCurrent = -1;
    mTextQuery = nullptr;
}

TextResources& Texts() {
    static TextResources texts;
    return texts;
}

std::string ExpandLineBreaks(std::string text) {
    static constexpr std::string_view kBreak = "{\\n}";
    size_t at = 0;
    while ((at = text.find(kBreak, at)) != std::string::npos) {
        text.replace(at, kBreak.size(), "\n");
        at += 1;
    }
    return text;
}

}  // namespace toolkit
