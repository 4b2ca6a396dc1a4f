// The languages and display scales the program offers: the loops of the
// window tests walk all of them.
#pragma once

#include <string>
#include <vector>

namespace testkit {

struct Language {
    std::string code;    // the language file's name part ("en", "cn_zh", ...)
    std::string stored;  // the settings value "lan" that selects it
};

inline const std::vector<Language> kEveryLanguage = {
    {"en", "0"}, {"cn_zh", "1"}, {"ru", "2"}, {"de", "3"}};

inline const std::vector<int> kEveryScale = {100, 125, 150};

}  // namespace testkit
