// Units of measure in the current language. The program writes and reads its
// values with Latin units ("-3.5dB", "120Hz", "2.000 ms", "12 dB/oct"); the
// windows show each unit that follows a number as the language file names it
// (key "${unit_ms}" and so on), and what an edit holds is read back with the
// Latin unit again, so the program never sees the shown form.
#pragma once

#include <string>
#include <string_view>

namespace toolkit {

std::string LocalUnits(std::string_view text);
std::string LatinUnits(std::string_view text);

}  // namespace toolkit
