#include "bench/soak/page.h"

namespace soak {

Control& Page::Get(const std::string& name) {
    auto& slot = mControls[name];
    if (!slot) {
        slot = std::make_unique<Control>(name);
    }
    return *slot;
}

}  // namespace soak
