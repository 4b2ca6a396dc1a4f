// Language tables and the translation rule. Texts written "${key}" are looked
// up in the current language when they are displayed, so switching the
// language only needs the windows to redraw. Process-wide, used on the
// user-interface thread.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

using TextTable = std::map<std::string, std::string>;

// Reads a language file: every element "Text" with attributes "id" and
// "value"; other elements are ignored and a later id replaces an earlier one.
// Nothing when the document cannot be parsed.
std::optional<TextTable> ParseLanguageFile(std::string_view text);

class TextResources {
public:
    static constexpr size_t kMaxLanguages = 4;
    // Supplies a text for a key missing from the current table, or nothing.
    using TextQuery = std::function<std::optional<std::string>(const std::string& key)>;

    // Loads the file into a new table that becomes current. Refused when four
    // languages are registered or the file cannot be parsed.
    bool RegisterLanguage(std::string_view fileText, const std::string& name);
    // Makes the registered language of that name current (case-insensitive;
    // the last registered match wins). Unknown names change nothing.
    bool SetLanguage(const std::string& name);
    std::string CurrentLanguage() const;
    std::vector<std::string> LanguageNames() const;
    void SetTextQuery(TextQuery query) { mTextQuery = std::move(query); }
    std::string Translate(std::string_view text) const;
    // Drops every table (tests and shutdown).
    void Clear();

private:
    struct Language {
        std::string name;
        TextTable table;
    };
    std::vector<Language> mLanguages;
    int mCurrent = -1;
    TextQuery mTextQuery;
};

// The process-wide text resources.
TextResources& Texts();
inline std::string Translate(std::string_view text) {
    return Texts().Translate(text);
}

// Replaces every "{\n}" (brace, backslash, n, brace) by a line break.
std::string ExpandLineBreaks(std::string text);

}  // namespace toolkit
