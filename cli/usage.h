// The text of tq-dsp --help.
#pragma once

#include <string>

namespace cli {

std::string UsageText();

}  // namespace cli
