#include "bench/soak/soak_ui.h"

#include <cstdio>

namespace soak {

void SoakUi::ShowMessage(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "message: %s: %s\n", title.c_str(), text.c_str());
}

}  // namespace soak
