// The English texts of the language keys the tool prints (the filter
// import's summary and the filter file's errors), filled in as the program's
// windows fill them. The program's windows take every language from the
// skin; the tool speaks English only.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The text of "${key}" with its places filled; a text that is no key is
// filled as it stands.
std::string EnglishText(const std::string& keyText, const std::vector<std::string>& values = {});

}  // namespace cli
